#pragma once

#include <QPolygonF>
#include <QRectF>

namespace arbolith {

// Clips a closed polygon to a rectangle, one edge of the rectangle at a time. Inside the
// rectangle every point keeps its winding number, so either fill rule fills the same pixels
// there; the cut is closed along the rectangle's border, which callers keep out of sight.
QPolygonF ClipPolygon(const QPolygonF& polygon, const QRectF& bounds);

} // namespace arbolith
