#include "render/PolygonRaster.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "surface/PixelRules.h"

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
// inside, its numbers all within 32 bits, written a row at a time, each pixel once.

// The pixels [from, to) of one row.
struct Run {
    int from;
    int to;
};

// Two pixels a step; where the run's length is odd, the last pair overlaps the one before.
void Put(Pixel* row, int from, int to, Pixel colour) {
    if (to - from < 2) {
        if (from < to) {
            row[from] = colour;
        }
        return;
    }
    for (int x = from; x < to - 2; x += 2) {
        row[x] = colour;
        row[x + 1] = colour;
    }
    row[to - 2] = colour;
    row[to - 1] = colour;
}

// A slanted edge walked a row at a time from its upper end, keeping one exact x a row as
// whole + remainder / (2 dy) with 0 <= remainder < 2 dy. Stepping along the rows, its outline's
// pixel on a row is the x on that row rounded to nearest, a half toward the left. Stepping along
// the columns, its run on a row lies between where it crosses half a row above and half a row
// below: the x is kept half a row below, and the run reaches back to where the last one ended.
// An edge's end is drawn too: the next edge starts there.
struct SlantedEdge {
    bool alongColumns;
    int whole;
    int remainder;
    int stepWhole;
    int stepRemainder;
    int threshold; // the remainder above which the x rounds up to the next pixel
    int previous;  // along the columns: the last run's end, first the upper end
    int lowerEnd;  // where the last row's pixels end, at the lower end

    SlantedEdge(SurfacePoint a, SurfacePoint b) {
        const SurfacePoint top = a.y < b.y ? a : b;
        const SurfacePoint bottom = a.y < b.y ? b : a;
        const int dx = bottom.x - top.x;
        const int dy = bottom.y - top.y;
        alongColumns = (dx < 0 ? -dx : dx) >= dy;
        // A row's step, dx / dy, rounded down.
        stepWhole = dx / dy - (dx % dy < 0 ? 1 : 0);
        const int remainderOfStep = dx - stepWhole * dy;
        stepRemainder = 2 * remainderOfStep;
        // Along the columns, half a row below: the first pixel right of the edge going right,
        // at or right of it going left (a half rounds up to the row above).
        whole = alongColumns ? top.x + (stepWhole >> 1) : top.x;
        remainder = alongColumns ? (stepWhole & 1) * dy + remainderOfStep : 0;
        threshold = alongColumns ? (dx > 0 ? -1 : 0) : dy;
        previous = dx > 0 ? top.x : top.x + 1;
        lowerEnd = alongColumns && dx > 0 ? bottom.x + 1 : bottom.x;
    }

    // The x of the current row, then steps to the next.
    int Step(int twiceDy) {
        const int x = whole + (remainder > threshold ? 1 : 0);
        whole += stepWhole;
        remainder += stepRemainder;
        if (remainder >= twiceDy) {
            remainder -= twiceDy;
            ++whole;
        }
        return x;
    }

    // The pixels on the current row, the last excepted, then steps to the next.
    template <bool kAlongColumns> Run Next(int twiceDy) {
        const int x = Step(twiceDy);
        if constexpr (kAlongColumns) {
            const Run run{std::min(previous, x), std::max(previous, x)};
            previous = x;
            return run;
        } else {
            return {x, x + 1};
        }
    }

    // The pixels on the last row, which end at the lower end.
    template <bool kAlongColumns> Run Last() const {
        if constexpr (kAlongColumns) {
            return {std::min(previous, lowerEnd), std::max(previous, lowerEnd)};
        } else {
            return {lowerEnd, lowerEnd + 1};
        }
    }
};

// The outline of the first and the last row is one run: the horizontal edge joins the two
// slanted edges' runs, and the fill lies under it.
void PutHull(Pixel* row, Run a, Run b, Pixel outline) {
    Put(row, std::min(a.from, b.from), std::max(a.to, b.to), outline);
}

// An edge of a branch at most two rows high: on the first row its pixels run from its upper
// end to where it crosses the half row between (a half rounds up), on the second from there to
// its lower end. Minima and maxima, as the pixels go left or right, and no branch on which.
struct TwoRowEdge {
    Run first;
    Run second;

    TwoRowEdge(SurfacePoint top, SurfacePoint bottom) {
        const int half = (bottom.x - top.x) / 2; // toward zero: a half rounds toward the top
        first = {top.x + std::min(half, 0), top.x + std::max(half, 0) + 1};
        second = {std::min(bottom.x, top.x + half + 1), std::max(bottom.x + 1, top.x + half)};
    }
};

// A branch three or more rows high, from its two slanted edges.
template <bool kSecondAlongColumns, bool kFourthAlongColumns>
void DrawRows(PixelImage& image, int top, int bottom, SlantedEdge second, SlantedEdge fourth,
              Pixel fill, Pixel outline) {
    const int twiceDy = 2 * (bottom - top);
    PutHull(image.Row(top), second.Next<kSecondAlongColumns>(twiceDy),
            fourth.Next<kFourthAlongColumns>(twiceDy), outline);
    for (int y = top + 1; y < bottom; ++y) {
        Pixel* row = image.Row(y);
        Run a = second.Next<kSecondAlongColumns>(twiceDy);
        Run b = fourth.Next<kFourthAlongColumns>(twiceDy);
        if constexpr (!kSecondAlongColumns && !kFourthAlongColumns) {
            // A pixel each (the same one where the edges meet), the fill between.
            const int left = std::min(a.from, b.from);
            const int right = std::max(a.from, b.from);
            row[left] = outline;
            Put(row, left + 1, right, fill);
            row[right] = outline;
        } else {
            if (b.from < a.from) {
                std::swap(a, b);
            }
            // Without a gap the fill's run is empty and the second outline run goes on from
            // the first.
            Put(row, a.from, a.to, outline);
            Put(row, a.to, b.from, fill);
            Put(row, std::max(a.to, b.from), std::max(a.to, b.to), outline);
        }
    }
    PutHull(image.Row(bottom), second.Last<kSecondAlongColumns>(),
            fourth.Last<kFourthAlongColumns>(), outline);
}

// Kept out of line: the short branches' path then carries none of its registers.
[[gnu::noinline]] void DrawTallBranch(PixelImage& image, const SurfacePoint* corners, int top,
                                      int bottom, Pixel fill, Pixel outline) {
    const SlantedEdge second(corners[1], corners[2]);
    const SlantedEdge fourth(corners[3], corners[0]);
    // Whether each edge steps along the rows or the columns is settled once for the branch.
    switch ((second.alongColumns ? 2 : 0) + (fourth.alongColumns ? 1 : 0)) {
    case 0:
        DrawRows<false, false>(image, top, bottom, second, fourth, fill, outline);
        break;
    case 1:
        DrawRows<false, true>(image, top, bottom, second, fourth, fill, outline);
        break;
    case 2:
        DrawRows<true, false>(image, top, bottom, second, fourth, fill, outline);
        break;
    default:
        DrawRows<true, true>(image, top, bottom, second, fourth, fill, outline);
        break;
    }
}

// Between the first and last rows, each slanted edge crosses a row (where the fill starts or
// ends, under either fill mode) within its run or at its end. So where the two runs leave a
// gap the fill covers exactly the gap, and where they meet there is no fill to see; that holds
// where the edges cross (a bow tie) too.
void DrawBranchInside(PixelImage& image, const SurfacePoint* corners, int left, int right, int top,
                      int bottom, Pixel fill, Pixel outline) {
    if (top == bottom) { // no length: one row joining the corners, or nothing where they coincide
        Put(image.Row(top), left, left == right ? left : right + 1, outline);
        return;
    }
    if (bottom == top + 1) {
        // Corners 1 and 2 on the top row, or 3 and 4: each slanted edge goes down from one.
        const int down = corners[0].y == top ? 0 : 1;
        const TwoRowEdge second(corners[1 + down], corners[2 - down]);
        const TwoRowEdge fourth(corners[3 * down], corners[3 - 3 * down]);
        PutHull(image.Row(top), second.first, fourth.first, outline);
        PutHull(image.Row(bottom), second.second, fourth.second, outline);
        return;
    }
    DrawTallBranch(image, corners, top, bottom, fill, outline);
}

// Corners within this distance of the origin keep every difference and doubled difference
// within 32 bits.
constexpr std::int64_t kInsideLimit = 1 << 29;

// Kept out of line: the branches' path then carries none of its arrays and registers.
[[gnu::noinline]] void DrawClipped(PixelImage& image, RowBand band, const SurfacePoint* points,
                                   int count, PolyFillMode mode, Pixel fill, Pixel outline) {
    if (count < 2 || band.top >= band.bottom) {
        return;
    }
    const Bounds bounds = BoundsOf(points, count);
    if (bounds.right < 0 || bounds.left >= image.Width() || bounds.bottom < band.top ||
        bounds.top >= band.bottom) {
        return;
    }
    FillClipped(image, band, bounds, points, count, mode, fill);
    for (int i = 0; i < count; ++i) {
        LineClipped(image, band, points[i], points[i + 1 == count ? 0 : i + 1], outline);
    }
}

inline void DrawWithin(PixelImage& image, RowBand band, const SurfacePoint* points, int count,
                       PolyFillMode mode, Pixel fill, Pixel outline) {
    if (count == 4 && points[0].y == points[1].y && points[2].y == points[3].y) {
        // Minima and maxima of pairs, with no branch on the corners' order.
        const int left =
            std::min(std::min(points[0].x, points[1].x), std::min(points[2].x, points[3].x));
        const int right =
            std::max(std::max(points[0].x, points[1].x), std::max(points[2].x, points[3].x));
        const int top = std::min(points[0].y, points[2].y);
        const int bottom = std::max(points[0].y, points[2].y);
        if (left >= 0 && right < image.Width() && top >= band.top && bottom < band.bottom &&
            right < kInsideLimit && bottom < kInsideLimit) {
            DrawBranchInside(image, points, left, right, top, bottom, fill, outline);
            return;
        }
    }
    DrawClipped(image, band, points, count, mode, fill, outline);
}

RowBand WithinImage(const PixelImage& image, RowBand band) {
    return {std::max(band.top, 0), std::min(band.bottom, image.Height())};
}

// The squares of a wide outline, painted a row of pixels at a time: pixels side by side on one
// row make one band `width` rows high.
class SquarePen {
public:
    SquarePen(PixelImage& image, RowBand band, int width, Pixel colour)
        : image_(image), band_(band), width_(width), colour_(colour) {}
    ~SquarePen() { Flush(); }

    void Plot(std::int64_t x, std::int64_t y) {
        if (from_ < to_ && y == y_ && (x == to_ || x + 1 == from_)) {
            from_ = std::min(from_, x);
            to_ = std::max(to_, x + 1);
            return;
        }
        Flush();
        y_ = y;
        from_ = x;
        to_ = x + 1;
    }

private:
    void Flush() {
        if (from_ >= to_) {
            return;
        }
        const std::int64_t left = std::max<std::int64_t>(from_, 0);
        const std::int64_t right = std::min<std::int64_t>(to_ + width_ - 1, image_.Width());
        const std::int64_t top = std::max<std::int64_t>(y_, band_.top);
        const std::int64_t bottom = std::min<std::int64_t>(y_ + width_, band_.bottom);
        for (std::int64_t y = top; y < bottom && left < right; ++y) {
            image_.FillRow(static_cast<int>(y), static_cast<int>(left), static_cast<int>(right),
                           colour_);
        }
        from_ = to_ = 0;
    }

    PixelImage& image_;
    RowBand band_;
    std::int64_t width_;
    Pixel colour_;
    std::int64_t y_ = 0;
    std::int64_t from_ = 0;
    std::int64_t to_ = 0;
};

} // namespace

void DrawWidePolygon(PixelImage& image, RowBand band, const SurfacePoint* points, int count,
                     PolyFillMode mode, Pixel fill, Pixel outline, int penWidth) {
    band = WithinImage(image, band);
    if (count < 2 || band.top >= band.bottom) {
        return;
    }
    const Bounds bounds = BoundsOf(points, count);
    const std::int64_t reach = penWidth - 1;
    if (bounds.right + reach < 0 || bounds.left >= image.Width() ||
        bounds.bottom + reach < band.top || bounds.top >= band.bottom) {
        return;
    }
    FillClipped(image, band, bounds, points, count, mode, fill);
    SquarePen pen(image, band, penWidth, outline);
    for (int i = 0; i < count; ++i) {
        // A pixel up to a square's width above or left of the picture still reaches into it.
        ForEachLinePixel(points[i], points[i + 1 == count ? 0 : i + 1], -reach, band.top - reach,
                         image.Width(), band.bottom,
                         [&](std::int64_t x, std::int64_t y) { pen.Plot(x, y); });
    }
}

void DrawPolygon(PixelImage& image, RowBand band, const SurfacePoint* points, int count,
                 PolyFillMode mode, Pixel fill, Pixel outline) {
    DrawWithin(image, WithinImage(image, band), points, count, mode, fill, outline);
}

void DrawQuadrilaterals(PixelImage& image, RowBand band, const SurfacePoint* corners,
                        std::size_t count, PolyFillMode mode, Pixel fill, Pixel outline) {
    band = WithinImage(image, band);
    for (std::size_t i = 0; i < count; ++i) {
        DrawWithin(image, band, corners + 4 * i, 4, mode, fill, outline);
    }
}

} // namespace arbolith
