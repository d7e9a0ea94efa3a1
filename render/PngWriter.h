#pragma once

#include "render/ByteSink.h"
#include "render/PixelImage.h"

namespace arbolith {

// Writes the picture as a PNG file: with at most 256 colours (a tree has three) as an 8-bit
// palette image, otherwise as 24-bit RGB; either way it decodes to exactly these pixels. False
// when the sink gave up or the encoder failed.
bool WritePng(const PixelImage& image, const ByteSink& sink);

} // namespace arbolith
