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

// The same with an outline `penWidth` pixels wide: every pixel the one-pixel outline sets grows
// into a square of penWidth x penWidth pixels with that pixel at its top left. A rectangle's
// corners K times as far apart, outlined K pixels wide, then cover exactly the pixels of its
// one-pixel picture magnified K times.
void DrawWidePolygon(PixelImage& image, RowBand band, const SurfacePoint* points, int count,
                     PolyFillMode mode, Pixel fill, Pixel outline, int penWidth);

} // namespace arbolith
