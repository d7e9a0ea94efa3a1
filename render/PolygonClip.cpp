#include "render/PolygonClip.h"

namespace arbolith {

namespace {

// Keeps the part of `polygon` on the inside of one border line. `inside` tells whether a
// point is on the kept side, `cross` where the edge from a to b meets the line.
template <typename Inside, typename Cross>
std::vector<PointF> ClipAgainst(const std::vector<PointF>& polygon, Inside inside, Cross cross) {
    std::vector<PointF> kept;
    if (polygon.empty()) {
        return kept;
    }
    PointF previous = polygon.back();
    bool previousInside = inside(previous);
    for (const PointF& current : polygon) {
        const bool currentInside = inside(current);
        if (currentInside != previousInside) {
            kept.push_back(cross(previous, current));
        }
        if (currentInside) {
            kept.push_back(current);
        }
        previous = current;
        previousInside = currentInside;
    }
    return kept;
}

PointF AtX(const PointF& a, const PointF& b, double x) {
    return {x, a.y + (b.y - a.y) * ((x - a.x) / (b.x - a.x))};
}

PointF AtY(const PointF& a, const PointF& b, double y) {
    return {a.x + (b.x - a.x) * ((y - a.y) / (b.y - a.y)), y};
}

} // namespace

std::vector<PointF> ClipPolygon(const std::vector<PointF>& polygon, const RectF& bounds) {
    std::vector<PointF> clipped = ClipAgainst(
        polygon, [&](const PointF& p) { return p.x >= bounds.left; },
        [&](const PointF& a, const PointF& b) { return AtX(a, b, bounds.left); });
    clipped = ClipAgainst(
        clipped, [&](const PointF& p) { return p.x <= bounds.right; },
        [&](const PointF& a, const PointF& b) { return AtX(a, b, bounds.right); });
    clipped = ClipAgainst(
        clipped, [&](const PointF& p) { return p.y >= bounds.top; },
        [&](const PointF& a, const PointF& b) { return AtY(a, b, bounds.top); });
    return ClipAgainst(
        clipped, [&](const PointF& p) { return p.y <= bounds.bottom; },
        [&](const PointF& a, const PointF& b) { return AtY(a, b, bounds.bottom); });
}

} // namespace arbolith
