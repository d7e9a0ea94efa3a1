#pragma once

#include <optional>

#include "surface/DrawingSurface.h"
#include "tree/ShownPainter.h"
#include "tree/TreeOrder.h"
#include "tree/TreePainter.h"

namespace arbolith {

// Every run first whitens this rectangle, larger than any canvas, whatever the surface's size.
inline constexpr SurfaceRect kClearRect{0, 0, 1000, 1000};

// One drawing run on a surface the caller has acquired: clear to white, draw the trunk from the
// reference point along the first vector, and grow the tree above it, as the order says and seen
// from its view. The run draws from a generator of its own, or from `generator` when the caller
// keeps one across runs. It goes on at once wherever its monitor pauses it.
RunResult DrawTree(DrawingSurface& surface, const TreeOrder& order, RunMonitor* monitor = nullptr,
                   RandomGenerator* generator = nullptr);

// A drawing run as DrawTree's that stops where its monitor pauses it (RunMonitor::Pause) and
// goes on when asked: growth that waits for something it cannot wait for on its thread. The
// surface sees the same calls as DrawTree's; the last ones, which give back its pens and
// brushes, when the run is destroyed.
class PausableRun {
public:
    PausableRun(DrawingSurface& surface, const TreeOrder& order, RunMonitor* monitor = nullptr,
                RandomGenerator* generator = nullptr);
    PausableRun(const PausableRun&) = delete;
    PausableRun& operator=(const PausableRun&) = delete;

    // Draws until the run pauses or ends: the first call from the start, every later one from
    // where the run paused.
    RunResult Go();

private:
    TreeOrder order_;
    RunMonitor* monitor_;
    RandomGenerator* generator_;
    std::optional<CTreePainter> front_;
    std::optional<ShownPainter> shown_;
    CTreePainter* painter_;
    bool started_ = false;
};

// A run's work after the clearing, on a painter the caller has made for the order's values: the
// trunk, then the tree above it.
RunResult PaintTree(CTreePainter& painter, const TreeOrder& order, RunMonitor* monitor = nullptr,
                    RandomGenerator* generator = nullptr);

} // namespace arbolith
