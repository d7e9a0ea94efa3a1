#include "ui/qt/GuardedSurface.h"

#include <algorithm>

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
    Passed(1);
}

// In pieces, so that a stop leaves the picture as soon as it does polygon by polygon.
void GuardedSurface::Quadrilaterals(const SurfacePoint* corners, std::size_t count) {
    for (std::size_t done = 0; done < count; done += kPolygonsPerClockReading) {
        if (stop_.load(std::memory_order_relaxed)) {
            return;
        }
        const std::size_t piece = std::min<std::size_t>(count - done, kPolygonsPerClockReading);
        target_.Quadrilaterals(corners + 4 * done, piece);
        Passed(piece);
    }
}

void GuardedSurface::Passed(std::uint64_t polygons) {
    const std::uint64_t before = polygonsDrawn_.load(std::memory_order_relaxed);
    const std::uint64_t drawn = before + polygons;
    polygonsDrawn_.store(drawn, std::memory_order_relaxed);
    if (drawnSoFar_ && drawn / kPolygonsPerClockReading != before / kPolygonsPerClockReading) {
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
