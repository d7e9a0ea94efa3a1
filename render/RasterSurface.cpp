#include "render/RasterSurface.h"

#include <algorithm>

namespace arbolith {

void RasterSurface::FillRectWhite(const SurfaceRect& rect) {
    const int left = std::max(rect.left, 0);
    const int right = std::min(rect.right, image_.Width());
    const int top = std::max(rect.top, band_.top);
    const int bottom = std::min(rect.bottom, band_.bottom);
    for (int y = top; y < bottom && left < right; ++y) {
        image_.FillRow(y, left, right, kWhitePixel);
    }
}

void RasterSurface::StyleChanged() {
    penPixel_ = PixelOf(SelectedPen().colour);
    brushPixel_ = PixelOf(SelectedBrush().colour);
    penWidth_ = SelectedPen().width;
}

void RasterSurface::Polygon(const SurfacePoint* points, int count) {
    if (penWidth_ > 1) {
        DrawWidePolygon(image_, band_, points, count, FillMode(), brushPixel_, penPixel_,
                        penWidth_);
        return;
    }
    DrawPolygon(image_, band_, points, count, FillMode(), brushPixel_, penPixel_);
}

void RasterSurface::Quadrilaterals(const SurfacePoint* corners, std::size_t count) {
    if (penWidth_ > 1) {
        for (std::size_t i = 0; i < count; ++i) {
            Polygon(corners + 4 * i, 4);
        }
        return;
    }
    DrawQuadrilaterals(image_, band_, corners, count, FillMode(), brushPixel_, penPixel_);
}

} // namespace arbolith
