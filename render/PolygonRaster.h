#pragma once

#include <cstddef>

#include "render/PixelImage.h"
#include "surface/DrawingSurface.h"

namespace arbolith {

// The rows [top, bottom) of an image that a drawing may change; the rest stays as it is.
struct RowBand {
    int top;
    int bottom;
};

// A polygon's pixels exactly as the Windows drawing system sets them (surface/PixelRules.h).
// The fill is drawn first, then the outline over it. Both are exact for every 32-bit corner: no
// corner is moved, however far off the image.
void DrawPolygon(PixelImage& image, RowBand band, const SurfacePoint* points, int count,
                 PolyFillMode mode, Pixel fill, Pixel outline);

// `count` polygons of four corners each, one after another.
void DrawQuadrilaterals(PixelImage& image, RowBand band, const SurfacePoint* corners,
                        std::size_t count, PolyFillMode mode, Pixel fill, Pixel outline);

} // namespace arbolith
