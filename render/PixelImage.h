#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
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

// A picture in memory, row by row from the top, without padding. A tree covers little of its
// picture, so a row costs nothing until it is drawn on: until then it is blank, every pixel the
// ground colour, and its memory is neither written nor touched.
class PixelImage {
public:
    PixelImage() = default;
    PixelImage(int width, int height, Pixel ground = kWhitePixel);
    PixelImage(const PixelImage& other);
    PixelImage& operator=(const PixelImage& other);
    PixelImage(PixelImage&&) noexcept = default;
    PixelImage& operator=(PixelImage&&) noexcept = default;

    int Width() const { return width_; }
    int Height() const { return height_; }
    Pixel Ground() const { return ground_; }
    bool IsBlank(int y) const { return drawn_[static_cast<std::size_t>(y)] == 0; }

    // A row to draw on: a blank one is given the ground colour first.
    Pixel* Row(int y) {
        if (IsBlank(y)) {
            Clear(y);
        }
        return Stored(y);
    }
    // A blank row reads as the ground colour.
    const Pixel* Row(int y) const { return IsBlank(y) ? groundRow_.data() : Stored(y); }
    Pixel At(int x, int y) const { return Row(y)[x]; }
    // Whether the pixels [left, right) of row y all have the ground colour.
    bool IsGround(int y, int left, int right) const {
        return IsBlank(y) ||
               std::memcmp(Stored(y) + left, groundRow_.data(),
                           static_cast<std::size_t>(right - left) * sizeof(Pixel)) == 0;
    }

    // Sets the pixels [left, right) of row y, which must lie in the picture.
    void FillRow(int y, int left, int right, Pixel colour);

    friend bool operator==(const PixelImage& a, const PixelImage& b);

private:
    void Clear(int y);
    Pixel* Stored(int y) const {
        return pixels_.get() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
    }

    int width_ = 0;
    int height_ = 0;
    Pixel ground_ = kWhitePixel;
    std::unique_ptr<Pixel[]> pixels_; // left unwritten: a row is stored once it is drawn on
    std::vector<std::uint8_t> drawn_; // one byte a row, so that bands of rows may be drawn apart
    std::vector<Pixel> groundRow_;    // what a blank row reads as
};

} // namespace arbolith
