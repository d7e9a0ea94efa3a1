#pragma once

#include <algorithm>
#include <cstdint>

#include "surface/DrawingSurface.h"

namespace arbolith {

// What a polygon's pixels are, exactly as the Windows drawing system sets them (found by
// experiment on it), in 64-bit arithmetic that is exact for every 32-bit corner:
//
// Fill: the pixel (x, y) is inside when the point (x, y) itself is, by the fill mode, counting
// an edge's crossing of row y when the edge's upper end is at or above the row and its lower end
// below it, and the crossing is at or left of x. So a polygon's left and top borders fill and
// its right and bottom ones do not.
//
// Outline: each edge from its start to its end, the end left out (it starts the next edge).
// Along the edge's longer axis every pixel is set, on the shorter axis the exact position
// rounded to the nearest pixel, a half rounded toward the smaller coordinate.

// An edge walked down one row at a time. Its crossing of row y is x0 + (y - y0) * dx / dy
// exactly, kept as whole + remainder / dy with 0 <= remainder < dy; the first pixel at or right
// of it is whole + (remainder > 0).
struct EdgeWalk {
    std::int64_t top;    // first row it crosses
    std::int64_t bottom; // first row it no longer crosses
    std::int64_t whole;
    std::int64_t remainder;
    std::int64_t dy;
    std::int64_t stepWhole;
    std::int64_t stepRemainder;
    int direction; // +1 downward, -1 upward

    // Sets up the edge from a to b (not horizontal) at the first row it crosses at or below
    // `firstRow`. Every product fits 64 bits: rows and widths are below 2^32.
    static EdgeWalk Start(SurfacePoint a, SurfacePoint b, std::int64_t firstRow) {
        int direction = 1;
        if (a.y > b.y) {
            std::swap(a, b);
            direction = -1;
        }
        EdgeWalk edge{};
        edge.top = a.y;
        edge.bottom = b.y;
        edge.dy = std::int64_t{b.y} - a.y;
        const std::int64_t dx = std::int64_t{b.x} - a.x;
        edge.stepWhole = dx / edge.dy - (dx % edge.dy < 0 ? 1 : 0);
        edge.stepRemainder = dx - edge.stepWhole * edge.dy;
        edge.direction = direction;
        edge.whole = a.x;
        if (firstRow <= a.y) {
            return edge;
        }
        const auto rows = static_cast<std::uint64_t>(firstRow - a.y);
        const auto span = static_cast<std::uint64_t>(dx < 0 ? -dx : dx);
        const std::uint64_t product = rows * span; // below 2^64
        const auto divisor = static_cast<std::uint64_t>(edge.dy);
        auto quotient = static_cast<std::int64_t>(product / divisor);
        auto remainder = static_cast<std::int64_t>(product % divisor);
        if (dx < 0 && remainder != 0) {
            quotient = -quotient - 1;
            remainder = edge.dy - remainder;
        } else if (dx < 0) {
            quotient = -quotient;
        }
        edge.whole += quotient;
        edge.remainder = remainder;
        return edge;
    }

    std::int64_t Crossing() const { return whole + (remainder > 0 ? 1 : 0); }
    void Step() {
        whole += stepWhole;
        remainder += stepRemainder;
        if (remainder >= dy) {
            remainder -= dy;
            ++whole;
        }
    }
};

// The pixels of the edge from `from` to `to`, its end left out, that lie within the columns
// [left, right) and rows [top, bottom), handed to `plot(x, y)` in order along the edge.
template <typename Plot>
void ForEachLinePixel(SurfacePoint from, SurfacePoint to, std::int64_t left, std::int64_t top,
                      std::int64_t right, std::int64_t bottom, Plot plot) {
    const std::int64_t dx = std::int64_t{to.x} - from.x;
    const std::int64_t dy = std::int64_t{to.y} - from.y;
    const std::int64_t adx = dx < 0 ? -dx : dx;
    const std::int64_t ady = dy < 0 ? -dy : dy;
    if (adx == 0 && ady == 0) {
        return;
    }
    const bool alongX = adx >= ady;
    const std::int64_t length = alongX ? adx : ady; // pixels drawn: 0 .. length - 1
    const std::int64_t slope = alongX ? dy : dx;    // minor change over the whole length
    const std::int64_t majorStep = (alongX ? dx : dy) < 0 ? -1 : 1;
    const std::int64_t majorStart = alongX ? from.x : from.y;
    const std::int64_t minorStart = alongX ? from.y : from.x;
    const std::int64_t majorLow = alongX ? left : top;
    const std::int64_t majorHigh = alongX ? right : bottom; // exclusive
    const std::int64_t minorLow = alongX ? top : left;
    const std::int64_t minorHigh = alongX ? bottom : right;

    // The steps i whose major coordinate lies inside.
    std::int64_t firstStep = 0;
    std::int64_t lastStep = length - 1;
    if (majorStep > 0) {
        firstStep = std::max(firstStep, majorLow - majorStart);
        lastStep = std::min(lastStep, majorHigh - 1 - majorStart);
    } else {
        firstStep = std::max(firstStep, majorStart - (majorHigh - 1));
        lastStep = std::min(lastStep, majorStart - majorLow);
    }
    if (firstStep > lastStep) {
        return;
    }

    // The minor offset at step i is i * slope / length rounded, a half toward the smaller
    // coordinate; `residual` is 2 * (i * slope - offset * length), kept in (-length, length].
    const std::uint64_t product = static_cast<std::uint64_t>(firstStep) *
                                  static_cast<std::uint64_t>(slope < 0 ? -slope : slope);
    const auto quotient = static_cast<std::int64_t>(product / static_cast<std::uint64_t>(length));
    const auto remainder = static_cast<std::int64_t>(product % static_cast<std::uint64_t>(length));
    std::int64_t offset = 0;
    std::int64_t residual = 0;
    if (slope >= 0) {
        const bool up = 2 * remainder > length;
        offset = quotient + (up ? 1 : 0);
        residual = 2 * remainder - (up ? 2 * length : 0);
    } else {
        const bool down = 2 * remainder >= length;
        offset = -quotient - (down ? 1 : 0);
        residual = (down ? 2 * length : 0) - 2 * remainder;
    }

    std::int64_t major = majorStart + majorStep * firstStep;
    for (std::int64_t i = firstStep; i <= lastStep; ++i) {
        const std::int64_t minor = minorStart + offset;
        if (minor >= minorLow && minor < minorHigh) {
            if (alongX) {
                plot(major, minor);
            } else {
                plot(minor, major);
            }
        } else if ((slope > 0 && minor >= minorHigh) || (slope < 0 && minor < minorLow)) {
            return; // moving away from the rectangle for good
        }
        major += majorStep;
        residual += 2 * slope;
        if (residual > length) {
            ++offset;
            residual -= 2 * length;
        } else if (residual <= -length) {
            --offset;
            residual += 2 * length;
        }
    }
}

} // namespace arbolith
