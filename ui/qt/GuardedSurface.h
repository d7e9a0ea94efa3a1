#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <limits>

#include "tree/DrawingSurface.h"
#include "tree/TreePainter.h"

namespace arbolith {

// What a run shares with the thread that watches it: the polygons drawn and a stop request.
struct RunControl {
    static constexpr std::uint64_t kNoLimit = std::numeric_limits<std::uint64_t>::max();

    std::atomic<bool> stop{false};
    std::atomic<std::uint64_t> polygonsDrawn{0};
    // Polygons beyond this many are dropped.
    std::uint64_t polygonLimit = kNoLimit;
};

// Ends the generator's work once a stop is requested or the polygon limit is reached; the
// surface below already drops the polygons, this spares the work of growing them.
class RunControlMonitor final : public RunMonitor {
public:
    explicit RunControlMonitor(const RunControl& control) : control_(control) {}
    bool KeepGoing(std::uint64_t) override {
        return !control_.stop.load() && control_.polygonsDrawn.load() < control_.polygonLimit;
    }

private:
    const RunControl& control_;
};

// Hands a run's drawing on to another surface. It counts the polygons passed on and drops every
// polygon after the limit or once a stop is requested: a stopped run leaves the picture at once,
// and a rerun can reproduce exactly what a stopped run drew. While polygons come, it calls
// `drawnSoFar` whenever `interval` has passed since the last call, so that a picture drawn on
// one thread can be shown on another as it grows, without a lock per polygon.
class GuardedSurface final : public DrawingSurface {
public:
    using Clock = std::chrono::steady_clock;

    GuardedSurface(DrawingSurface& target, RunControl& control,
                   std::function<void()> drawnSoFar = {},
                   Clock::duration interval = std::chrono::milliseconds(20))
        : target_(target), control_(control), drawnSoFar_(std::move(drawnSoFar)),
          interval_(interval), lastCall_(Clock::now()) {}

    void FillRectWhite(const SurfaceRect& rect) override;
    SurfaceObject CreatePen(PenStyle style, int width, Rgb colour) override;
    SurfaceObject CreateSolidBrush(Rgb colour) override;
    void SetPolyFillMode(PolyFillMode mode) override;
    SurfaceObject SelectObject(SurfaceObject object) override;
    void Polygon(const SurfacePoint* points, int count) override;
    bool DeleteObject(SurfaceObject object) override;

private:
    // Reading the clock costs more than a small polygon; it is read every this many.
    static constexpr std::uint64_t kPolygonsPerClockReading = 64;

    DrawingSurface& target_;
    RunControl& control_;
    std::function<void()> drawnSoFar_;
    Clock::duration interval_;
    Clock::time_point lastCall_;
};

} // namespace arbolith
