#pragma once

#include <cstddef>
#include <functional>

#include "render/PixelImage.h"

namespace arbolith {

// Takes encoded bytes as they are made; returns false to give up.
using ByteSink = std::function<bool(const void* data, std::size_t size)>;

// Writes the picture as a PNG file: with at most 256 colours (a tree has three) as an 8-bit
// palette image, otherwise as 24-bit RGB; either way it decodes to exactly these pixels. False
// when the sink gave up or the encoder failed.
bool WritePng(const PixelImage& image, const ByteSink& sink);

} // namespace arbolith
