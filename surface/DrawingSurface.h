#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>

namespace arbolith {

// The graphics operations a drawing run needs, in pixels with the origin at the top left and
// y growing downward. Front ends implement it on their own graphics; the core never knows
// which.
struct SurfacePoint {
    std::int32_t x;
    std::int32_t y;
    friend auto operator<=>(const SurfacePoint&, const SurfacePoint&) = default;
};

struct SurfaceRect {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
    friend bool operator==(const SurfaceRect&, const SurfaceRect&) = default;
};

struct Rgb {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// An opaque handle to a pen or brush owned by the surface; 0 is "no object".
using SurfaceObject = std::uintptr_t;

enum class PenStyle : int { Solid = 0 };
enum class PolyFillMode : int { Alternate = 1, Winding = 2 };

class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;

    // Fills the rectangle (right and bottom exclusive) with the stock white brush.
    virtual void FillRectWhite(const SurfaceRect& rect) = 0;
    virtual SurfaceObject CreatePen(PenStyle style, int width, Rgb colour) = 0;
    virtual SurfaceObject CreateSolidBrush(Rgb colour) = 0;
    virtual void SetPolyFillMode(PolyFillMode mode) = 0;
    // Makes the pen or brush current and returns the one of its kind it replaces.
    virtual SurfaceObject SelectObject(SurfaceObject object) = 0;
    // Outlines the closed polygon with the current pen and fills it with the current brush.
    virtual void Polygon(const SurfacePoint* points, int count) = 0;
    virtual bool DeleteObject(SurfaceObject object) = 0;

    // Draws `count` polygons of four corners each, the corners one after another, as `count`
    // calls of Polygon in that order would. A surface that draws a block faster than polygon by
    // polygon says so with TakesBlocks, and a run then hands it its branches in blocks; any other
    // gets one Polygon call per branch, as a drawing system of windows expects.
    virtual bool TakesBlocks() const { return false; }
    virtual void Quadrilaterals(const SurfacePoint* corners, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            Polygon(corners + 4 * i, 4);
        }
    }
};

} // namespace arbolith
