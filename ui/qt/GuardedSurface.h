#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>

#include "surface/DrawingSurface.h"
#include "tree/TreePainter.h"

namespace arbolith {

// Ends a growth once a stop is asked for, and a writer's output with it.
class StopMonitor final : public RunMonitor {
public:
    explicit StopMonitor(const std::atomic<bool>& stop) : stop_(stop) {}
    bool KeepGoing(std::uint64_t) override { return !stop_.load(); }
    bool MayFinish() override { return !stop_.load(); }

private:
    const std::atomic<bool>& stop_;
};

// Hands a run's drawing on to another surface. It counts the polygons passed on and drops every
// polygon once a stop is asked for: a stopped run leaves the picture at once, and drawing the
// counted polygons again reproduces exactly what it drew. While polygons come, it calls
// `drawnSoFar` whenever `interval` has passed since the last call, so that a picture drawn on
// one thread can be shown on another as it grows, without a lock per polygon.
class GuardedSurface final : public DrawingSurface {
public:
    using Clock = std::chrono::steady_clock;

    GuardedSurface(DrawingSurface& target, const std::atomic<bool>& stop,
                   std::atomic<std::uint64_t>& polygonsDrawn, std::function<void()> drawnSoFar = {},
                   Clock::duration interval = std::chrono::milliseconds(20))
        : target_(target), stop_(stop), polygonsDrawn_(polygonsDrawn),
          drawnSoFar_(std::move(drawnSoFar)), interval_(interval), lastCall_(Clock::now()) {}

    void FillRectWhite(const SurfaceRect& rect) override;
    SurfaceObject CreatePen(PenStyle style, int width, Rgb colour) override;
    SurfaceObject CreateSolidBrush(Rgb colour) override;
    void SetPolyFillMode(PolyFillMode mode) override;
    SurfaceObject SelectObject(SurfaceObject object) override;
    void Polygon(const SurfacePoint* points, int count) override;
    bool DeleteObject(SurfaceObject object) override;
    bool TakesBlocks() const override { return target_.TakesBlocks(); }
    void Quadrilaterals(const SurfacePoint* corners, std::size_t count) override;

private:
    // Counts polygons passed on, and hands the drawing over when the interval has passed.
    void Passed(std::uint64_t polygons);

    // Reading the clock costs more than a small polygon; it is read every this many.
    static constexpr std::uint64_t kPolygonsPerClockReading = 64;

    DrawingSurface& target_;
    const std::atomic<bool>& stop_;
    std::atomic<std::uint64_t>& polygonsDrawn_;
    std::function<void()> drawnSoFar_;
    Clock::duration interval_;
    Clock::time_point lastCall_;
};

} // namespace arbolith
