#include "ui/win32/GdiSurface.h"

#include <algorithm>
#include <vector>

#include "surface/VisiblePolygon.h"
#include "ui/win32/HandleOwners.h"

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

std::vector<POINT> ToPoints(const std::vector<SurfacePoint>& points) {
    std::vector<POINT> converted;
    converted.reserve(points.size());
    for (const SurfacePoint& point : points) {
        converted.push_back(POINT{point.x, point.y});
    }
    return converted;
}

} // namespace

GdiSurface::GdiSurface(HDC deviceContext) : deviceContext_(deviceContext) {
    // Only what lies within the clip box can show: the window's client area as far as it is
    // visible, or a memory bitmap.
    RECT box{};
    if (GetClipBox(deviceContext_, &box) != ERROR) {
        width_ = std::max<LONG>(box.right, 0);
        height_ = std::max<LONG>(box.bottom, 0);
    }
}

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
    if (ReachesFar(points, count, width_, height_)) {
        DrawVisiblePart(points, count);
        return;
    }
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

void GdiSurface::DrawVisiblePart(const SurfacePoint* points, int count) {
    if (WhollyOff(points, count, width_, height_)) {
        return;
    }
    const VisiblePolygon visible = VisiblePartOf(points, count, width_, height_);
    if (visible.fill.size() >= 3) {
        const std::vector<POINT> fill = ToPoints(visible.fill);
        const SelectedObject noOutline(deviceContext_, GetStockObject(NULL_PEN));
        ::Polygon(deviceContext_, fill.data(), static_cast<int>(fill.size()));
    }
    if (!visible.runs.empty()) {
        const std::vector<POINT> runs = ToPoints(visible.runs);
        const std::vector<DWORD> counts(runs.size() / 2, 2);
        ::PolyPolyline(deviceContext_, runs.data(), counts.data(),
                       static_cast<DWORD>(counts.size()));
    }
}

bool GdiSurface::DeleteObject(SurfaceObject object) {
    return ::DeleteObject(ToHandle(object)) != FALSE;
}

} // namespace arbolith
