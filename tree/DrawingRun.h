#pragma once

#include "tree/DrawingSurface.h"
#include "tree/TreePainter.h"
#include "tree/TreeParameters.h"

namespace arbolith {

// Every run first whitens this rectangle, larger than any canvas, whatever the surface's size.
inline constexpr SurfaceRect kClearRect{0, 0, 1000, 1000};

// One drawing run on a surface the caller has acquired: clear to white, draw the trunk from
// the reference point along the first vector, and grow the tree above it. Returns false if
// the monitor stopped it before the end.
bool DrawTreeRun(DrawingSurface& surface, const TreeParameters& parameters,
                 RunMonitor* monitor = nullptr, GrowthPath path = GrowthPath::RepeatsOnce);

} // namespace arbolith
