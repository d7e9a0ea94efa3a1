#include "render/RasterSurface.h"

#include <algorithm>
#include <cstdint>

namespace arbolith {

void RasterSurface::FillRectWhite(const SurfaceRect& rect) {
    const int left = std::max(rect.left, 0);
    const int right = std::min(rect.right, image_.Width());
    const int top = std::max(rect.top, band_.top);
    const int bottom = std::min(rect.bottom, band_.bottom);
    for (int y = top; y < bottom && left < right; ++y) {
        std::fill(image_.Row(y) + left, image_.Row(y) + right, kWhitePixel);
    }
}

SurfaceObject RasterSurface::CreatePen(PenStyle style, int width, Rgb colour) {
    return objects_.CreatePen(style, width, colour);
}

SurfaceObject RasterSurface::CreateSolidBrush(Rgb colour) {
    return objects_.CreateBrush(colour);
}

void RasterSurface::SetPolyFillMode(PolyFillMode mode) {
    fillMode_ = mode;
}

SurfaceObject RasterSurface::SelectObject(SurfaceObject object) {
    const SurfaceObject replaced = objects_.Select(object);
    penPixel_ = PixelOf(objects_.SelectedPen().colour);
    brushPixel_ = PixelOf(objects_.SelectedBrush().colour);
    return replaced;
}

void RasterSurface::Polygon(const SurfacePoint* points, int count) {
    DrawPolygon(image_, band_, points, count, fillMode_, brushPixel_, penPixel_);
}

bool RasterSurface::DeleteObject(SurfaceObject object) {
    return objects_.Delete(object);
}

} // namespace arbolith
