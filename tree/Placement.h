#pragma once

namespace arbolith {

// Where a picture puts the tree: the canvas's point (x, y) is drawn at
// (scale * x + dx, scale * y + dy), each branch `scale` times as wide and its outline
// OutlineWidth(scale) pixels. The identity draws the canvas itself, pixel for pixel.
struct Placement {
    double scale = 1.0;
    double dx = 0.0;
    double dy = 0.0;
    bool IsIdentity() const { return scale == 1.0 && dx == 0.0 && dy == 0.0; }
    friend bool operator==(const Placement&, const Placement&) = default;
};

// The scales a picture may be drawn at.
inline constexpr double kSmallestScale = 0.1;
inline constexpr double kLargestScale = 16.0;

// The outline's width at a scale: the nearest whole number of pixels, at least one.
inline int OutlineWidth(double scale) {
    return !(scale >= 1.5) ? 1 : static_cast<int>(scale + 0.5);
}

} // namespace arbolith
