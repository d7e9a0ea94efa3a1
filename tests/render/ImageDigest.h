#pragma once

#include "render/PixelImage.h"
#include "tests/render/GdiGrid.h"

namespace arbolith::testing {

// The grid's digest of a picture drawn by the rasterizer.
inline std::uint64_t DigestOf(const PixelImage& image) {
    PictureDigest digest;
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            digest.Add(RgbOf(image.At(x, y)));
        }
    }
    return digest.Value();
}

} // namespace arbolith::testing
