#pragma once

#include "render/PixelImage.h"
#include "tree/DrawingSurface.h"

namespace arbolith {

// The rows [top, bottom) of an image that a drawing may change; the rest stays as it is.
struct RowBand {
    int top;
    int bottom;
};

// A polygon's pixels exactly as the Windows drawing system sets them, found by experiment on it:
//
// Fill: the pixel (x, y) is inside when the point (x, y) itself is, by the fill mode, counting
// an edge's crossing of row y when the edge's upper end is at or above the row and its lower end
// below it, and the crossing is at or left of x. So a polygon's left and top borders fill and
// its right and bottom ones do not.
//
// Outline: each edge from its start to its end, the end left out (it starts the next edge).
// Along the edge's longer axis every pixel is set, on the shorter axis the exact position
// rounded to the nearest pixel, a half rounded toward the smaller coordinate.
//
// The fill is drawn first, then the outline over it. Both are exact for every 32-bit corner: no
// corner is moved, however far off the image.
void DrawPolygon(PixelImage& image, RowBand band, const SurfacePoint* points, int count,
                 PolyFillMode mode, Pixel fill, Pixel outline);

} // namespace arbolith
