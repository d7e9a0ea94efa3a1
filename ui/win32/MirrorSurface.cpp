#include "ui/win32/MirrorSurface.h"

namespace arbolith {

SurfaceObject MirrorSurface::Remember(Pair pair) {
    if (pair.first == 0 && pair.second == 0) {
        return 0;
    }
    for (const auto& [object, known] : pairs_) {
        if (known == pair) {
            return object;
        }
    }
    const SurfaceObject object = nextObject_++;
    pairs_.emplace(object, pair);
    return object;
}

void MirrorSurface::FillRectWhite(const SurfaceRect& rect) {
    first_.FillRectWhite(rect);
    second_.FillRectWhite(rect);
}

SurfaceObject MirrorSurface::CreatePen(PenStyle style, int width, Rgb colour) {
    return Remember(
        {first_.CreatePen(style, width, colour), second_.CreatePen(style, width, colour)});
}

SurfaceObject MirrorSurface::CreateSolidBrush(Rgb colour) {
    return Remember({first_.CreateSolidBrush(colour), second_.CreateSolidBrush(colour)});
}

void MirrorSurface::SetPolyFillMode(PolyFillMode mode) {
    first_.SetPolyFillMode(mode);
    second_.SetPolyFillMode(mode);
}

// The surfaces may have had different objects selected before; the pair of those becomes an
// object of its own, so that selecting it back restores each surface to its own.
SurfaceObject MirrorSurface::SelectObject(SurfaceObject object) {
    const auto found = pairs_.find(object);
    if (found == pairs_.end()) {
        return 0;
    }
    const Pair pair = found->second;
    return Remember({first_.SelectObject(pair.first), second_.SelectObject(pair.second)});
}

void MirrorSurface::Polygon(const SurfacePoint* points, int count) {
    first_.Polygon(points, count);
    second_.Polygon(points, count);
}

bool MirrorSurface::DeleteObject(SurfaceObject object) {
    const auto found = pairs_.find(object);
    if (found == pairs_.end()) {
        return false;
    }
    const Pair pair = found->second;
    pairs_.erase(found);
    const bool firstDeleted = first_.DeleteObject(pair.first);
    const bool secondDeleted = second_.DeleteObject(pair.second);
    return firstDeleted && secondDeleted;
}

} // namespace arbolith
