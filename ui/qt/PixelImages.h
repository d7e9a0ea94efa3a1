#pragma once

#include <QImage>

#include "render/PixelImage.h"

namespace arbolith {

// Pictures drawn by the rasterizer, as Qt shows them, and back: both keep a pixel as
// 0xFFRRGGBB in 32 bits, so the rows are copied as they are.
QImage ToQImage(const PixelImage& picture);
// Copies the picture into an image of its size.
void CopyInto(QImage& image, const PixelImage& picture);
PixelImage FromQImage(const QImage& image);

} // namespace arbolith
