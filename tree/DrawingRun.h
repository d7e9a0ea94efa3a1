#pragma once

#include "tree/DrawingSurface.h"
#include "tree/TreePainter.h"
#include "tree/TreeParameters.h"
#include "tree/ViewTurn.h"

namespace arbolith {

// Every run first whitens this rectangle, larger than any canvas, whatever the surface's size.
inline constexpr SurfaceRect kClearRect{0, 0, 1000, 1000};

// One drawing run on a surface the caller has acquired: clear to white, draw the trunk from
// the reference point along the first vector, and grow the tree above it. Returns false if
// the monitor stopped it before the end.
bool DrawTreeRun(DrawingSurface& surface, const TreeParameters& parameters,
                 RunMonitor* monitor = nullptr, GrowthPath path = GrowthPath::RepeatsOnce);

// The same run with the tree seen from the side `view` names. The front view is DrawTreeRun
// itself, so its picture is exactly the one above.
bool DrawTurnedTreeRun(DrawingSurface& surface, const TreeParameters& parameters, ViewAngles view,
                       RunMonitor* monitor = nullptr, GrowthPath path = GrowthPath::RepeatsOnce);

// A run's work after the clearing, on a painter the caller has made for these parameters: the
// trunk, then the tree above it. False if the monitor stopped it.
bool PaintTree(CTreePainter& painter, const TreeParameters& parameters, RunMonitor* monitor,
               GrowthPath path);

} // namespace arbolith
