#include "render/PolygonRaster.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "tree/PixelRules.h"

namespace arbolith {

namespace {

// Branches have four corners; longer outlines take the heap.
constexpr int kLocalCorners = 8;

// The smallest rectangle holding every corner, right and bottom included. Every pixel of the
// fill and the outline lies within it.
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

// ---- The general case: any polygon, clipped to the image and band, in 64-bit arithmetic.

void FillSpan(PixelImage& image, int y, std::int64_t from, std::int64_t to, Pixel colour) {
    from = std::max<std::int64_t>(from, 0);
    to = std::min<std::int64_t>(to, image.Width());
    if (from < to) {
        Pixel* row = image.Row(y);
        std::fill(row + from, row + to, colour);
    }
}

struct Crossing {
    std::int64_t x;
    int direction;
};

// Fills rows [first, last) of the polygon, given room for one edge and one crossing per corner.
void FillRows(PixelImage& image, std::int64_t first, std::int64_t last, const SurfacePoint* points,
              int count, PolyFillMode mode, Pixel colour, EdgeWalk* edges, Crossing* crossings) {
    int edgeCount = 0;
    for (int i = 0; i < count; ++i) {
        const SurfacePoint a = points[i];
        const SurfacePoint b = points[i + 1 == count ? 0 : i + 1];
        if (a.y != b.y) {
            edges[edgeCount++] = EdgeWalk::Start(a, b, first);
        }
    }
    const std::int64_t beyondRight = std::int64_t{image.Width()} + 1;
    for (std::int64_t y = first; y < last; ++y) {
        int n = 0;
        for (int i = 0; i < edgeCount; ++i) {
            EdgeWalk& edge = edges[i];
            if (y < edge.top || y >= edge.bottom) {
                continue;
            }
            // Insertion keeps the few crossings of a row in order; clamping keeps it too.
            const Crossing crossing{std::clamp<std::int64_t>(edge.Crossing(), -1, beyondRight),
                                    edge.direction};
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

void FillClipped(PixelImage& image, RowBand band, const Bounds& bounds, const SurfacePoint* points,
                 int count, PolyFillMode mode, Pixel colour) {
    const std::int64_t first = std::max<std::int64_t>(bounds.top, band.top);
    const std::int64_t last = std::min<std::int64_t>(bounds.bottom, band.bottom);
    if (count < 3 || first >= last) {
        return;
    }
    if (count <= kLocalCorners) {
        EdgeWalk edges[kLocalCorners];
        Crossing crossings[kLocalCorners];
        FillRows(image, first, last, points, count, mode, colour, edges, crossings);
    } else {
        std::vector<EdgeWalk> edges(static_cast<std::size_t>(count));
        std::vector<Crossing> crossings(static_cast<std::size_t>(count));
        FillRows(image, first, last, points, count, mode, colour, edges.data(), crossings.data());
    }
}

// One edge of the outline, its end left out, clipped to the image and band.
void LineClipped(PixelImage& image, RowBand band, SurfacePoint from, SurfacePoint to,
                 Pixel colour) {
    ForEachLinePixel(
        from, to, 0, band.top, image.Width(), band.bottom,
        [&](std::int64_t x, std::int64_t y) { image.Row(static_cast<int>(y))[x] = colour; });
}

// ---- The common case: a polygon wholly inside, whose numbers all fit 32 bits. The same
// rules, with no clipping and no division but one per slanted edge.

// A line from its start, its end left out; every pixel lies inside.
void LineInside(PixelImage& image, SurfacePoint from, SurfacePoint to, Pixel colour) {
    const int dx = to.x - from.x;
    const int dy = to.y - from.y;
    const int adx = dx < 0 ? -dx : dx;
    const int ady = dy < 0 ? -dy : dy;
    const int rowStep = image.Width();
    Pixel* pixel = image.Row(from.y) + from.x;
    if (adx >= ady) {
        const int step = dx < 0 ? -1 : 1;
        const int minorStep = dy < 0 ? -rowStep : rowStep;
        int residual = 0;
        for (int i = 0; i < adx; ++i, pixel += step) {
            *pixel = colour;
            residual += 2 * ady;
            // A half (residual equal to adx) rounds toward the smaller coordinate.
            if (dy >= 0 ? residual > adx : residual >= adx) {
                pixel += minorStep;
                residual -= 2 * adx;
            }
        }
    } else {
        const int step = dy < 0 ? -rowStep : rowStep;
        const int minorStep = dx < 0 ? -1 : 1;
        int residual = 0;
        for (int i = 0; i < ady; ++i, pixel += step) {
            *pixel = colour;
            residual += 2 * adx;
            if (dx >= 0 ? residual > ady : residual >= ady) {
                pixel += minorStep;
                residual -= 2 * ady;
            }
        }
    }
}

// A slanted edge of a trapezoid, walked down from its top row.
struct Side {
    int whole;
    int remainder;
    int dy;
    int stepWhole;
    int stepRemainder;

    Side(SurfacePoint a, SurfacePoint b) {
        if (a.y > b.y) {
            std::swap(a, b);
        }
        const int dx = b.x - a.x;
        dy = b.y - a.y;
        whole = a.x;
        remainder = 0;
        stepWhole = dx / dy;
        stepRemainder = dx % dy;
        if (stepRemainder < 0) {
            --stepWhole;
            stepRemainder += dy;
        }
    }
    int Crossing() const { return whole + (remainder > 0 ? 1 : 0); }
    void Step() {
        whole += stepWhole;
        remainder += stepRemainder;
        if (remainder >= dy) {
            remainder -= dy;
            ++whole;
        }
    }
};

// A branch: corners 1 and 2 on one row, 3 and 4 on another. Every row between holds exactly
// the crossings of the two slanted edges, so under either fill rule the row is filled from the
// one crossing to the other, even where the edges cross (a bow tie).
void FillTrapezoidInside(PixelImage& image, const SurfacePoint* corners, Pixel colour) {
    if (corners[0].y == corners[2].y) {
        return;
    }
    Side right(corners[1], corners[2]);
    Side left(corners[3], corners[0]);
    const int first = std::min(corners[0].y, corners[2].y);
    const int last = std::max(corners[0].y, corners[2].y);
    Pixel* row = image.Row(first);
    for (int y = first; y < last; ++y, row += image.Width()) {
        const int a = left.Crossing();
        const int b = right.Crossing();
        std::fill(row + std::min(a, b), row + std::max(a, b), colour);
        left.Step();
        right.Step();
    }
}

// Corners within this distance of the origin keep every difference and doubled difference
// within 32 bits.
constexpr std::int64_t kInsideLimit = 1 << 29;

bool WhollyInside(const PixelImage& image, RowBand band, const Bounds& bounds) {
    return bounds.left >= 0 && bounds.right < image.Width() && bounds.top >= band.top &&
           bounds.bottom < band.bottom && bounds.right < kInsideLimit &&
           bounds.bottom < kInsideLimit;
}

} // namespace

void DrawPolygon(PixelImage& image, RowBand band, const SurfacePoint* points, int count,
                 PolyFillMode mode, Pixel fill, Pixel outline) {
    band.top = std::max(band.top, 0);
    band.bottom = std::min(band.bottom, image.Height());
    if (count < 2 || band.top >= band.bottom) {
        return;
    }
    const Bounds bounds = BoundsOf(points, count);
    if (bounds.right < 0 || bounds.left >= image.Width() || bounds.bottom < band.top ||
        bounds.top >= band.bottom) {
        return;
    }
    if (WhollyInside(image, band, bounds)) {
        image.RowsToDraw(static_cast<int>(bounds.top), static_cast<int>(bounds.bottom) + 1);
        if (count == 4 && points[0].y == points[1].y && points[2].y == points[3].y) {
            FillTrapezoidInside(image, points, fill);
        } else {
            FillClipped(image, band, bounds, points, count, mode, fill);
        }
        for (int i = 0; i < count; ++i) {
            LineInside(image, points[i], points[i + 1 == count ? 0 : i + 1], outline);
        }
        return;
    }
    FillClipped(image, band, bounds, points, count, mode, fill);
    for (int i = 0; i < count; ++i) {
        LineClipped(image, band, points[i], points[i + 1 == count ? 0 : i + 1], outline);
    }
}

} // namespace arbolith
