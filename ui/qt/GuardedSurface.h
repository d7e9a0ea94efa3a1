#pragma once

#include <atomic>
#include <cstdint>
#include <limits>
#include <mutex>

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

// Hands a run's drawing on to another surface. Each operation runs under the given lock (if
// any), so another thread may copy the picture between two branches. It counts the polygons
// passed on and drops every polygon after the limit or once a stop is requested: a stopped run
// leaves the picture at once, and a rerun can reproduce exactly what a stopped run drew.
class GuardedSurface final : public DrawingSurface {
public:
    GuardedSurface(DrawingSurface& target, RunControl& control, std::mutex* lock)
        : target_(target), control_(control), lock_(lock) {}

    void FillRectWhite(const SurfaceRect& rect) override;
    SurfaceObject CreatePen(PenStyle style, int width, Rgb colour) override;
    SurfaceObject CreateSolidBrush(Rgb colour) override;
    void SetPolyFillMode(PolyFillMode mode) override;
    SurfaceObject SelectObject(SurfaceObject object) override;
    void Polygon(const SurfacePoint* points, int count) override;
    bool DeleteObject(SurfaceObject object) override;

private:
    template <typename Operation> auto Locked(Operation operation) {
        if (lock_ == nullptr) {
            return operation();
        }
        const std::lock_guard guard(*lock_);
        return operation();
    }

    DrawingSurface& target_;
    RunControl& control_;
    std::mutex* lock_;
};

} // namespace arbolith
