#include "ui/qt/GuardedSurface.h"

namespace arbolith {

void GuardedSurface::FillRectWhite(const SurfaceRect& rect) {
    Locked([&] { target_.FillRectWhite(rect); });
}

SurfaceObject GuardedSurface::CreatePen(PenStyle style, int width, Rgb colour) {
    return Locked([&] { return target_.CreatePen(style, width, colour); });
}

SurfaceObject GuardedSurface::CreateSolidBrush(Rgb colour) {
    return Locked([&] { return target_.CreateSolidBrush(colour); });
}

void GuardedSurface::SetPolyFillMode(PolyFillMode mode) {
    Locked([&] { target_.SetPolyFillMode(mode); });
}

SurfaceObject GuardedSurface::SelectObject(SurfaceObject object) {
    return Locked([&] { return target_.SelectObject(object); });
}

void GuardedSurface::Polygon(const SurfacePoint* points, int count) {
    const std::uint64_t drawn = control_.polygonsDrawn.load(std::memory_order_relaxed);
    if (drawn >= control_.polygonLimit || control_.stop.load(std::memory_order_relaxed)) {
        return;
    }
    Locked([&] { target_.Polygon(points, count); });
    control_.polygonsDrawn.store(drawn + 1, std::memory_order_relaxed);
}

bool GuardedSurface::DeleteObject(SurfaceObject object) {
    return Locked([&] { return target_.DeleteObject(object); });
}

} // namespace arbolith
