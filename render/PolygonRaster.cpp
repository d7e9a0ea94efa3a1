#include "render/PolygonRaster.h"

#include <algorithm>
#include <cstdint>
#include <limits>
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

// ---- The common case: a branch (corners 1 and 2 on one row, 3 and 4 on another) wholly
// inside, its numbers all within 32 bits. Each row it covers is written once: the outline's
// runs, and the fill wherever no outline lies.

// The pixels [from, to) of one row; empty when to <= from.
struct Run {
    int from;
    int to;
};

void Put(Pixel* row, int from, int to, Pixel colour) {
    for (int x = from; x < to; ++x) {
        row[x] = colour;
    }
}

// Writes the outline's runs and the fill's span minus those runs, each pixel once.
template <int kRuns>
void PaintRow(Pixel* row, Run fill, Run (&outline)[kRuns], Pixel fillColour, Pixel outlineColour) {
    for (int i = 1; i < kRuns; ++i) {
        for (int j = i; j > 0 && outline[j - 1].from > outline[j].from; --j) {
            std::swap(outline[j - 1], outline[j]);
        }
    }
    int painted = std::numeric_limits<int>::min(); // every pixel left of it is done
    for (const Run& run : outline) {
        if (run.from < run.to) {
            Put(row, std::max(fill.from, painted), std::min(fill.to, run.from), fillColour);
            Put(row, std::max(painted, run.from), run.to, outlineColour);
            painted = std::max(painted, run.to);
        }
    }
    Put(row, std::max(fill.from, painted), fill.to, fillColour);
}

// A horizontal edge's pixels, its end left out.
Run Horizontal(SurfacePoint from, SurfacePoint to) {
    return to.x >= from.x ? Run{from.x, to.x} : Run{to.x + 1, from.x + 1};
}

// A slanted edge walked down one row at a time, from its upper end to its lower one. Its exact
// x is kept at every half row, as whole + remainder / (2 dy) with 0 <= remainder < 2 dy: at a
// row it gives the fill's crossing and, stepping along the rows, the outline's pixel; half a row
// either side it bounds the outline's run where the edge steps along the columns.
class SlantedEdge {
public:
    // The row's crossing (the first pixel at or right of the edge) and outline pixels.
    struct Row {
        int crossing;
        Run outline;
    };

    SlantedEdge(SurfacePoint a, SurfacePoint b) {
        const SurfacePoint top = a.y < b.y ? a : b;
        const SurfacePoint bottom = a.y < b.y ? b : a;
        const int dx = bottom.x - top.x;
        dy_ = bottom.y - top.y;
        twiceDy_ = 2 * dy_;
        halfWhole_ = dx / twiceDy_;
        halfRemainder_ = dx % twiceDy_;
        if (halfRemainder_ < 0) {
            --halfWhole_;
            halfRemainder_ += twiceDy_;
        }
        whole_ = top.x;
        alongColumns_ = (dx < 0 ? -dx : dx) >= dy_;
        // Along the columns a run lies between the edge half a row above and half a row
        // below, the first pixel right of it (rightward) or at or right of it (leftward), and
        // within the edge's columns. Its end is drawn too: the next edge starts there.
        ceilingBias_ = dx > 0 ? -1 : 0;
        previous_ = dx > 0 ? top.x : top.x + 1;
        left_ = std::min(top.x, bottom.x);
        right_ = std::max(top.x, bottom.x) + 1;
    }

    // The current row, then steps to the next.
    Row Next() {
        Row row{whole_ + (remainder_ > 0 ? 1 : 0), {}};
        int halfWhole = whole_ + halfWhole_;
        int halfRemainder = remainder_ + halfRemainder_;
        if (halfRemainder >= twiceDy_) {
            halfRemainder -= twiceDy_;
            ++halfWhole;
        }
        if (alongColumns_) {
            // Half a row below: where the edge rounds to the next row.
            const int next = halfWhole + (halfRemainder > ceilingBias_ ? 1 : 0);
            row.outline = {std::max(std::min(previous_, next), left_),
                           std::min(std::max(previous_, next), right_)};
            previous_ = next;
        } else {
            // Rounded to nearest, a half toward the left.
            const int x = whole_ + (remainder_ > dy_ ? 1 : 0);
            row.outline = {x, x + 1};
        }
        whole_ = halfWhole + halfWhole_;
        remainder_ = halfRemainder + halfRemainder_;
        if (remainder_ >= twiceDy_) {
            remainder_ -= twiceDy_;
            ++whole_;
        }
        return row;
    }

private:
    int dy_;
    int twiceDy_;
    int halfWhole_;
    int halfRemainder_;
    int whole_;
    int remainder_ = 0;
    bool alongColumns_;
    int ceilingBias_;
    int previous_;
    int left_;
    int right_;
};

// Every row between the branch's two horizontal edges holds exactly the crossings of its two
// slanted ones, so under either fill mode it is filled from the one to the other, even where
// they cross (a bow tie).
void DrawBranchInside(PixelImage& image, const SurfacePoint* corners, Pixel fill, Pixel outline) {
    const int top = std::min(corners[0].y, corners[2].y);
    const int bottom = std::max(corners[0].y, corners[2].y);
    Pixel* row = image.RowsToDraw(top, bottom + 1);
    const Run first = Horizontal(corners[0], corners[1]);
    const Run third = Horizontal(corners[2], corners[3]);
    if (top == bottom) { // no length: four horizontal edges
        Run runs[4] = {first, Horizontal(corners[1], corners[2]), third,
                       Horizontal(corners[3], corners[0])};
        PaintRow(row, {0, 0}, runs, fill, outline);
        return;
    }
    SlantedEdge second(corners[1], corners[2]);
    SlantedEdge fourth(corners[3], corners[0]);
    const bool firstOnTop = corners[0].y == top;
    for (int y = top; y <= bottom; ++y, row += image.Width()) {
        const SlantedEdge::Row a = second.Next();
        const SlantedEdge::Row b = fourth.Next();
        const Run span =
            y < bottom ? Run{std::min(a.crossing, b.crossing), std::max(a.crossing, b.crossing)}
                       : Run{0, 0};
        const Run across = y == top      ? (firstOnTop ? first : third)
                           : y == bottom ? (firstOnTop ? third : first)
                                         : Run{0, 0};
        Run runs[3] = {a.outline, b.outline, across};
        PaintRow(row, span, runs, fill, outline);
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
    if (count == 4 && points[0].y == points[1].y && points[2].y == points[3].y &&
        WhollyInside(image, band, bounds)) {
        DrawBranchInside(image, points, fill, outline);
        return;
    }
    FillClipped(image, band, bounds, points, count, mode, fill);
    for (int i = 0; i < count; ++i) {
        LineClipped(image, band, points[i], points[i + 1 == count ? 0 : i + 1], outline);
    }
}

} // namespace arbolith
