#pragma once

#include "render/ByteSink.h"
#include "render/PixelImage.h"

namespace arbolith {

// Writes the picture as a PNG file: with at most 256 colours as a palette image of as few bits a
// pixel as they need (a tree has three colours: two bits), otherwise as 24-bit RGB; either way
// it decodes to exactly these pixels. False when the sink gave up or the encoder failed.
bool WritePng(const PixelImage& image, const ByteSink& sink);

} // namespace arbolith
