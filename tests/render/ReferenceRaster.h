#pragma once

#include <cstdint>
#include <vector>

#include "render/PixelImage.h"
#include "surface/DrawingSurface.h"

namespace arbolith::testing {

// The rasterizer's rules written as plainly as possible, pixel by pixel, in exact 128-bit
// arithmetic: slow, but with nothing in it that could be subtly wrong.
class ReferenceRaster {
public:
    __extension__ using Wide = __int128;

    static bool Inside(const std::vector<SurfacePoint>& polygon, std::int64_t x, std::int64_t y,
                       PolyFillMode mode) {
        int winding = 0;
        int crossings = 0;
        for (std::size_t i = 0; i < polygon.size(); ++i) {
            SurfacePoint a = polygon[i];
            SurfacePoint b = polygon[(i + 1) % polygon.size()];
            int direction = 1;
            if (a.y > b.y) {
                std::swap(a, b);
                direction = -1;
            }
            if (a.y == b.y || y < a.y || y >= b.y) {
                continue;
            }
            // The crossing a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y) is at or left of x.
            const Wide lhs = Wide{a.x} * (Wide{b.y} - a.y) + (Wide{y} - a.y) * (Wide{b.x} - a.x);
            if (lhs <= Wide{x} * (Wide{b.y} - a.y)) {
                winding += direction;
                ++crossings;
            }
        }
        return mode == PolyFillMode::Winding ? winding != 0 : crossings % 2 == 1;
    }

    // The pixels of the edge from a to b, b left out: the exact minor position at each step,
    // rounded to nearest with halves toward the smaller coordinate.
    static void Line(PixelImage& image, SurfacePoint a, SurfacePoint b, Pixel colour) {
        const std::int64_t dx = std::int64_t{b.x} - a.x;
        const std::int64_t dy = std::int64_t{b.y} - a.y;
        const bool alongX = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
        const std::int64_t length = alongX ? (dx < 0 ? -dx : dx) : (dy < 0 ? -dy : dy);
        const std::int64_t step = (alongX ? dx : dy) < 0 ? -1 : 1;
        const std::int64_t minorChange = alongX ? dy : dx;
        // Only the steps that can land on the image are visited.
        const std::int64_t start = alongX ? a.x : a.y;
        const std::int64_t limit = alongX ? image.Width() : image.Height();
        for (std::int64_t at = 0; at < limit; ++at) {
            const std::int64_t i = (at - start) * step;
            if (i < 0 || i >= length) {
                continue;
            }
            // round(i * minorChange / length), halves down: floor((2 i m + length - 1) / 2 length)
            const Wide numerator = 2 * Wide{i} * minorChange + length - 1;
            const Wide denominator = 2 * Wide{length};
            Wide offset = numerator / denominator;
            if (numerator % denominator != 0 && numerator < 0) {
                --offset;
            }
            const Wide minor = Wide{alongX ? a.y : a.x} + offset;
            const Wide x = alongX ? Wide{at} : minor;
            const Wide y = alongX ? minor : Wide{at};
            if (x >= 0 && x < image.Width() && y >= 0 && y < image.Height()) {
                image.Row(static_cast<int>(y))[static_cast<int>(x)] = colour;
            }
        }
    }

    static void Polygon(PixelImage& image, const std::vector<SurfacePoint>& polygon,
                        PolyFillMode mode, Pixel fill, Pixel outline) {
        if (polygon.size() >= 3) {
            for (int y = 0; y < image.Height(); ++y) {
                for (int x = 0; x < image.Width(); ++x) {
                    if (Inside(polygon, x, y, mode)) {
                        image.Row(y)[x] = fill;
                    }
                }
            }
        }
        if (polygon.size() >= 2) {
            for (std::size_t i = 0; i < polygon.size(); ++i) {
                Line(image, polygon[i], polygon[(i + 1) % polygon.size()], outline);
            }
        }
    }
};

} // namespace arbolith::testing
