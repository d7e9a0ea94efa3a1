#include "ui/qt/GuardedSurface.h"

namespace arbolith {

void GuardedSurface::FillRectWhite(const SurfaceRect& rect) {
    target_.FillRectWhite(rect);
}

SurfaceObject GuardedSurface::CreatePen(PenStyle style, int width, Rgb colour) {
    return target_.CreatePen(style, width, colour);
}

SurfaceObject GuardedSurface::CreateSolidBrush(Rgb colour) {
    return target_.CreateSolidBrush(colour);
}

void GuardedSurface::SetPolyFillMode(PolyFillMode mode) {
    target_.SetPolyFillMode(mode);
}

SurfaceObject GuardedSurface::SelectObject(SurfaceObject object) {
    return target_.SelectObject(object);
}

void GuardedSurface::Polygon(const SurfacePoint* points, int count) {
    if (stop_.load(std::memory_order_relaxed)) {
        return;
    }
    target_.Polygon(points, count);
    const std::uint64_t drawn = polygonsDrawn_.load(std::memory_order_relaxed);
    polygonsDrawn_.store(drawn + 1, std::memory_order_relaxed);
    if (drawnSoFar_ && (drawn + 1) % kPolygonsPerClockReading == 0) {
        const Clock::time_point now = Clock::now();
        if (now - lastCall_ >= interval_) {
            lastCall_ = now;
            drawnSoFar_();
        }
    }
}

bool GuardedSurface::DeleteObject(SurfaceObject object) {
    return target_.DeleteObject(object);
}

} // namespace arbolith
