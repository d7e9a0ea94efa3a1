#include "render/PolygonClip.h"

namespace arbolith {

namespace {

// Keeps the part of `polygon` on the inside of one border line. `inside` tells whether a
// point is on the kept side, `cross` where the edge from a to b meets the line.
template <typename Inside, typename Cross>
QPolygonF ClipAgainst(const QPolygonF& polygon, Inside inside, Cross cross) {
    QPolygonF kept;
    if (polygon.isEmpty()) {
        return kept;
    }
    QPointF previous = polygon.last();
    bool previousInside = inside(previous);
    for (const QPointF& current : polygon) {
        const bool currentInside = inside(current);
        if (currentInside != previousInside) {
            kept.append(cross(previous, current));
        }
        if (currentInside) {
            kept.append(current);
        }
        previous = current;
        previousInside = currentInside;
    }
    return kept;
}

QPointF AtX(const QPointF& a, const QPointF& b, double x) {
    return {x, a.y() + (b.y() - a.y()) * ((x - a.x()) / (b.x() - a.x()))};
}

QPointF AtY(const QPointF& a, const QPointF& b, double y) {
    return {a.x() + (b.x() - a.x()) * ((y - a.y()) / (b.y() - a.y())), y};
}

} // namespace

QPolygonF ClipPolygon(const QPolygonF& polygon, const QRectF& bounds) {
    const double left = bounds.left();
    const double right = bounds.right();
    const double top = bounds.top();
    const double bottom = bounds.bottom();
    QPolygonF clipped = ClipAgainst(
        polygon, [&](const QPointF& p) { return p.x() >= left; },
        [&](const QPointF& a, const QPointF& b) { return AtX(a, b, left); });
    clipped = ClipAgainst(
        clipped, [&](const QPointF& p) { return p.x() <= right; },
        [&](const QPointF& a, const QPointF& b) { return AtX(a, b, right); });
    clipped = ClipAgainst(
        clipped, [&](const QPointF& p) { return p.y() >= top; },
        [&](const QPointF& a, const QPointF& b) { return AtY(a, b, top); });
    return ClipAgainst(
        clipped, [&](const QPointF& p) { return p.y() <= bottom; },
        [&](const QPointF& a, const QPointF& b) { return AtY(a, b, bottom); });
}

} // namespace arbolith
