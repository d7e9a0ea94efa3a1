#pragma once

#include "surface/DrawingSurface.h"
#include "tree/TreeOrder.h"
#include "tree/TreePainter.h"

namespace arbolith {

// Every run first whitens this rectangle, larger than any canvas, whatever the surface's size.
inline constexpr SurfaceRect kClearRect{0, 0, 1000, 1000};

// One drawing run on a surface the caller has acquired: clear to white, draw the trunk from the
// reference point along the first vector, and grow the tree above it, as the order says and seen
// from its view. The run draws from a generator of its own, or from `generator` when the caller
// keeps one across runs.
RunResult DrawTree(DrawingSurface& surface, const TreeOrder& order, RunMonitor* monitor = nullptr,
                   RandomGenerator* generator = nullptr);

// A run's work after the clearing, on a painter the caller has made for the order's values: the
// trunk, then the tree above it.
RunResult PaintTree(CTreePainter& painter, const TreeOrder& order, RunMonitor* monitor = nullptr,
                    RandomGenerator* generator = nullptr);

} // namespace arbolith
