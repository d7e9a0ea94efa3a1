#include "render/PolygonRaster.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace arbolith {

namespace {

// Branches have four corners; longer outlines take the heap.
constexpr int kLocalCorners = 8;

std::int64_t Clamp(std::int64_t value, std::int64_t low, std::int64_t high) {
    return std::min(std::max(value, low), high);
}

void FillSpan(PixelImage& image, int y, std::int64_t from, std::int64_t to, Pixel colour) {
    from = std::max<std::int64_t>(from, 0);
    to = std::min<std::int64_t>(to, image.Width());
    if (from < to) {
        Pixel* row = image.Row(y);
        std::fill(row + from, row + to, colour);
    }
}

// An edge between two rows, walked down one row at a time. Its crossing of row y is
// x0 + (y - y0) * dx / dy exactly, kept as whole + remainder / dy with 0 <= remainder < dy; the
// first pixel at or right of it is whole + (remainder > 0).
struct Edge {
    std::int64_t top;    // first row it crosses
    std::int64_t bottom; // first row it no longer crosses
    std::int64_t whole;
    std::int64_t remainder;
    std::int64_t dy;
    std::int64_t stepWhole;
    std::int64_t stepRemainder;
    int direction; // +1 downward, -1 upward

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

// floor(numerator / denominator) for a positive denominator.
std::int64_t FloorDivide(std::int64_t numerator, std::int64_t denominator) {
    std::int64_t quotient = numerator / denominator;
    if (numerator % denominator != 0 && numerator < 0) {
        --quotient;
    }
    return quotient;
}

// Sets up the edge from a to b (not horizontal) at the first row it crosses at or below
// `firstRow`. Every product fits 64 bits: rows and widths are below 2^32.
Edge MakeEdge(SurfacePoint a, SurfacePoint b, std::int64_t firstRow) {
    int direction = 1;
    if (a.y > b.y) {
        std::swap(a, b);
        direction = -1;
    }
    Edge edge{};
    edge.top = a.y;
    edge.bottom = b.y;
    edge.dy = std::int64_t{b.y} - a.y;
    const std::int64_t dx = std::int64_t{b.x} - a.x;
    edge.stepWhole = FloorDivide(dx, edge.dy);
    edge.stepRemainder = dx - edge.stepWhole * edge.dy;
    edge.direction = direction;
    const std::uint64_t rows =
        static_cast<std::uint64_t>(std::max<std::int64_t>(firstRow - a.y, 0));
    const std::uint64_t span = static_cast<std::uint64_t>(dx < 0 ? -dx : dx);
    const std::uint64_t product = rows * span; // below 2^64
    const auto dy = static_cast<std::uint64_t>(edge.dy);
    auto quotient = static_cast<std::int64_t>(product / dy);
    auto remainder = static_cast<std::int64_t>(product % dy);
    if (dx < 0 && remainder != 0) {
        quotient = -quotient - 1;
        remainder = edge.dy - remainder;
    } else if (dx < 0) {
        quotient = -quotient;
    }
    edge.whole = a.x + quotient;
    edge.remainder = remainder;
    return edge;
}

struct Crossing {
    std::int64_t x;
    int direction;
};

// Fills rows [first, last) of the polygon, given room for one edge and one crossing per corner.
void FillRows(PixelImage& image, std::int64_t first, std::int64_t last, const SurfacePoint* points,
              int count, PolyFillMode mode, Pixel colour, Edge* edges, Crossing* crossings) {
    int edgeCount = 0;
    for (int i = 0; i < count; ++i) {
        const SurfacePoint a = points[i];
        const SurfacePoint b = points[i + 1 == count ? 0 : i + 1];
        if (a.y != b.y) {
            edges[edgeCount++] = MakeEdge(a, b, first);
        }
    }
    const std::int64_t beyondRight = std::int64_t{image.Width()} + 1;
    for (std::int64_t y = first; y < last; ++y) {
        int n = 0;
        for (int i = 0; i < edgeCount; ++i) {
            Edge& edge = edges[i];
            if (y < edge.top || y >= edge.bottom) {
                continue;
            }
            // Insertion keeps the few crossings of a row in order; clamping keeps it too.
            const Crossing crossing{Clamp(edge.Crossing(), -1, beyondRight), edge.direction};
            int at = n++;
            while (at > 0 && crossings[at - 1].x > crossing.x) {
                crossings[at] = crossings[at - 1];
                --at;
            }
            crossings[at] = crossing;
            edge.Step();
        }
        const int row = static_cast<int>(y);
        int winding = 0;
        for (int i = 0; i + 1 < n; ++i) {
            winding += mode == PolyFillMode::Winding ? crossings[i].direction : 1;
            const bool inside = mode == PolyFillMode::Winding ? winding != 0 : (winding & 1) != 0;
            if (inside) {
                FillSpan(image, row, crossings[i].x, crossings[i + 1].x, colour);
            }
        }
    }
}

// The smallest rectangle holding every corner, right and bottom included.
struct Bounds {
    std::int64_t left, top, right, bottom;
};

Bounds BoundsOf(const SurfacePoint* points, int count) {
    Bounds bounds{points[0].x, points[0].y, points[0].x, points[0].y};
    for (int i = 1; i < count; ++i) {
        bounds.left = std::min<std::int64_t>(bounds.left, points[i].x);
        bounds.right = std::max<std::int64_t>(bounds.right, points[i].x);
        bounds.top = std::min<std::int64_t>(bounds.top, points[i].y);
        bounds.bottom = std::max<std::int64_t>(bounds.bottom, points[i].y);
    }
    return bounds;
}

// True when the image and band share no pixel with the corners' rectangle.
bool OutOfSight(const PixelImage& image, RowBand band, const Bounds& bounds) {
    return bounds.right < 0 || bounds.left >= image.Width() || bounds.bottom < band.top ||
           bounds.top >= band.bottom;
}

// One edge of the outline, its end left out. `major` runs along the longer axis.
void Line(PixelImage& image, RowBand band, SurfacePoint from, SurfacePoint to, Pixel colour) {
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
    const std::int64_t majorLow = alongX ? 0 : band.top;
    const std::int64_t majorHigh = alongX ? image.Width() : band.bottom; // exclusive
    const std::int64_t minorLow = alongX ? band.top : 0;
    const std::int64_t minorHigh = alongX ? band.bottom : image.Width();

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
                image.Row(static_cast<int>(minor))[major] = colour;
            } else {
                image.Row(static_cast<int>(major))[minor] = colour;
            }
        } else if ((slope > 0 && minor >= minorHigh) || (slope < 0 && minor < minorLow)) {
            return; // moving away from the image for good
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

} // namespace

void FillPolygon(PixelImage& image, RowBand band, const SurfacePoint* points, int count,
                 PolyFillMode mode, Pixel colour) {
    band.top = std::max(band.top, 0);
    band.bottom = std::min(band.bottom, image.Height());
    if (count < 3 || band.top >= band.bottom) {
        return;
    }
    const Bounds bounds = BoundsOf(points, count);
    if (OutOfSight(image, band, bounds)) {
        return;
    }
    const std::int64_t first = std::max<std::int64_t>(bounds.top, band.top);
    const std::int64_t last = std::min<std::int64_t>(bounds.bottom, band.bottom);
    if (count <= kLocalCorners) {
        Edge edges[kLocalCorners];
        Crossing crossings[kLocalCorners];
        FillRows(image, first, last, points, count, mode, colour, edges, crossings);
    } else {
        std::vector<Edge> edges(static_cast<std::size_t>(count));
        std::vector<Crossing> crossings(static_cast<std::size_t>(count));
        FillRows(image, first, last, points, count, mode, colour, edges.data(), crossings.data());
    }
}

void OutlinePolygon(PixelImage& image, RowBand band, const SurfacePoint* points, int count,
                    Pixel colour) {
    band.top = std::max(band.top, 0);
    band.bottom = std::min(band.bottom, image.Height());
    if (count < 2 || band.top >= band.bottom || OutOfSight(image, band, BoundsOf(points, count))) {
        return;
    }
    for (int i = 0; i < count; ++i) {
        Line(image, band, points[i], points[i + 1 == count ? 0 : i + 1], colour);
    }
}

} // namespace arbolith
