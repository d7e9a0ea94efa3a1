#pragma once

#include <vector>

namespace arbolith {

struct PointF {
    double x;
    double y;
};

struct RectF {
    double left;
    double top;
    double right;
    double bottom;
};

// Clips a closed polygon to a rectangle, one side of the rectangle at a time. Inside the
// rectangle every point keeps its winding number, so either fill rule fills the same area
// there; the cut is closed along the rectangle's border, which callers keep out of sight.
std::vector<PointF> ClipPolygon(const std::vector<PointF>& polygon, const RectF& bounds);

} // namespace arbolith
