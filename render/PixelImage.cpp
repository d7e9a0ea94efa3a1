#include "render/PixelImage.h"

#include <algorithm>
#include <cstring>

namespace arbolith {

PixelImage::PixelImage(int width, int height, Pixel ground)
    : width_(width), height_(height), ground_(ground),
      // Left unwritten: a row is written when it is first drawn on.
      pixels_(new Pixel[static_cast<std::size_t>(width) * static_cast<std::size_t>(height)]),
      drawn_(static_cast<std::size_t>(height), 0),
      groundRow_(static_cast<std::size_t>(width), ground) {}

PixelImage::PixelImage(const PixelImage& other)
    : PixelImage(other.width_, other.height_, other.ground_) {
    const auto rowBytes = static_cast<std::size_t>(width_) * sizeof(Pixel);
    for (int y = 0; y < height_; ++y) {
        if (!other.IsBlank(y)) {
            std::memcpy(Row(y), other.Row(y), rowBytes);
        }
    }
}

PixelImage& PixelImage::operator=(const PixelImage& other) {
    if (this != &other) {
        *this = PixelImage(other);
    }
    return *this;
}

void PixelImage::Clear(int y) {
    std::fill_n(Stored(y), width_, ground_);
    drawn_[static_cast<std::size_t>(y)] = 1;
}

void PixelImage::FillRow(int y, int left, int right, Pixel colour) {
    if (colour == ground_ && (IsBlank(y) || (left == 0 && right == width_))) {
        drawn_[static_cast<std::size_t>(y)] = 0;
        return;
    }
    Pixel* row = Row(y);
    std::fill(row + left, row + right, colour);
}

bool operator==(const PixelImage& a, const PixelImage& b) {
    if (a.width_ != b.width_ || a.height_ != b.height_) {
        return false;
    }
    for (int y = 0; y < a.height_; ++y) {
        if (!std::equal(a.Row(y), a.Row(y) + a.width_, b.Row(y))) {
            return false;
        }
    }
    return true;
}

} // namespace arbolith
