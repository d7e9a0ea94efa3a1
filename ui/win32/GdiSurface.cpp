#include "ui/win32/GdiSurface.h"

#include <vector>

namespace arbolith {

namespace {

COLORREF ToColorRef(Rgb colour) {
    return RGB(colour.red, colour.green, colour.blue);
}

HGDIOBJ ToHandle(SurfaceObject object) {
    return reinterpret_cast<HGDIOBJ>(object);
}

SurfaceObject FromHandle(HGDIOBJ handle) {
    return reinterpret_cast<SurfaceObject>(handle);
}

} // namespace

void GdiSurface::FillRectWhite(const SurfaceRect& rect) {
    const RECT area{rect.left, rect.top, rect.right, rect.bottom};
    FillRect(deviceContext_, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

SurfaceObject GdiSurface::CreatePen(PenStyle style, int width, Rgb colour) {
    return FromHandle(::CreatePen(static_cast<int>(style), width, ToColorRef(colour)));
}

SurfaceObject GdiSurface::CreateSolidBrush(Rgb colour) {
    return FromHandle(::CreateSolidBrush(ToColorRef(colour)));
}

void GdiSurface::SetPolyFillMode(PolyFillMode mode) {
    ::SetPolyFillMode(deviceContext_, static_cast<int>(mode));
}

SurfaceObject GdiSurface::SelectObject(SurfaceObject object) {
    return FromHandle(::SelectObject(deviceContext_, ToHandle(object)));
}

void GdiSurface::Polygon(const SurfacePoint* points, int count) {
    // Branches have four corners; only longer outlines need the heap.
    constexpr int kLocalCorners = 8;
    POINT local[kLocalCorners] = {};
    std::vector<POINT> heap;
    POINT* corners = local;
    if (count > kLocalCorners) {
        heap.resize(static_cast<std::size_t>(count));
        corners = heap.data();
    }
    for (int i = 0; i < count; ++i) {
        corners[i] = POINT{points[i].x, points[i].y};
    }
    ::Polygon(deviceContext_, corners, count);
}

bool GdiSurface::DeleteObject(SurfaceObject object) {
    return ::DeleteObject(ToHandle(object)) != FALSE;
}

} // namespace arbolith
