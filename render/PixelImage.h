#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "surface/DrawingSurface.h"

namespace arbolith {

// A pixel as 0xFFRRGGBB: opaque, in the byte order a little-endian 32-bit RGB image expects.
using Pixel = std::uint32_t;

constexpr Pixel PixelOf(Rgb colour) {
    return 0xFF000000u | (Pixel{colour.red} << 16) | (Pixel{colour.green} << 8) | colour.blue;
}

constexpr Rgb RgbOf(Pixel pixel) {
    return {static_cast<std::uint8_t>(pixel >> 16), static_cast<std::uint8_t>(pixel >> 8),
            static_cast<std::uint8_t>(pixel)};
}

inline constexpr Pixel kWhitePixel = PixelOf({255, 255, 255});

// A picture in memory, row by row from the top, without padding.
class PixelImage {
public:
    PixelImage() = default;
    PixelImage(int width, int height, Pixel fill = kWhitePixel)
        : width_(width), height_(height),
          pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

    int Width() const { return width_; }
    int Height() const { return height_; }
    Pixel* Row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * Stride(); }
    const Pixel* Row(int y) const {
        return pixels_.data() + static_cast<std::size_t>(y) * Stride();
    }
    Pixel At(int x, int y) const { return Row(y)[x]; }
    const std::vector<Pixel>& Pixels() const { return pixels_; }
    friend bool operator==(const PixelImage&, const PixelImage&) = default;

private:
    std::size_t Stride() const { return static_cast<std::size_t>(width_); }

    int width_ = 0;
    int height_ = 0;
    std::vector<Pixel> pixels_;
};

} // namespace arbolith
