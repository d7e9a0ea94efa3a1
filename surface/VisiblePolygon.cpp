#include "surface/VisiblePolygon.h"

#include <algorithm>

#include "surface/PixelRules.h"

namespace arbolith {

namespace {

struct Box {
    std::int64_t left, top, right, bottom; // all included
};

SurfacePoint Clamped(SurfacePoint point, const Box& box) {
    return {static_cast<std::int32_t>(std::clamp<std::int64_t>(point.x, box.left, box.right)),
            static_cast<std::int32_t>(std::clamp<std::int64_t>(point.y, box.top, box.bottom))};
}

class FillPath {
public:
    void To(std::int64_t x, std::int64_t y) {
        const SurfacePoint point{static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)};
        if (points.empty() || !(points.back() == point)) {
            points.push_back(point);
        }
    }
    std::vector<SurfacePoint> points;
};

// The edge from a to b as a path through the box that crosses each of the surface's rows
// exactly where the edge does (the crossing pulled in to the box's columns, which changes no
// pixel), by a vertical step over the row, and keeps to the rows outside the surface elsewhere.
void AddEdge(FillPath& path, SurfacePoint a, SurfacePoint b, std::int64_t height, const Box& box) {
    const SurfacePoint from = Clamped(a, box);
    const SurfacePoint to = Clamped(b, box);
    path.To(from.x, from.y);
    if (a.y != b.y) {
        const bool down = a.y < b.y;
        const std::int64_t first = std::max<std::int64_t>(std::min(a.y, b.y), 0);
        const std::int64_t last = std::min<std::int64_t>(std::max(a.y, b.y), height); // exclusive
        if (first < last) {
            std::vector<std::int64_t> crossings;
            crossings.reserve(static_cast<std::size_t>(last - first));
            EdgeWalk edge = EdgeWalk::Start(a, b, first);
            for (std::int64_t row = first; row < last; ++row) {
                crossings.push_back(std::clamp(edge.Crossing(), box.left, box.right));
                edge.Step();
            }
            if (down) {
                for (std::int64_t row = first; row < last; ++row) {
                    const std::int64_t x = crossings[static_cast<std::size_t>(row - first)];
                    path.To(x, row == first ? from.y : row);
                    path.To(x, row + 1);
                }
                path.To(crossings.back(), to.y);
            } else {
                for (std::int64_t row = last - 1; row >= first; --row) {
                    const std::int64_t x = crossings[static_cast<std::size_t>(row - first)];
                    path.To(x, row == last - 1 ? from.y : row + 1);
                    path.To(x, row);
                }
                path.To(crossings.front(), to.y);
            }
        }
    }
}

// The edge's outline pixels on the surface, gathered into runs along its longer axis.
void AddRuns(std::vector<SurfacePoint>& runs, SurfacePoint a, SurfacePoint b, int width,
             int height) {
    bool open = false;
    std::int64_t startX = 0, startY = 0, endX = 0, endY = 0;
    const auto close = [&] {
        if (open) {
            // From the run's smaller end to one past its larger.
            const bool across = startY == endY;
            const std::int64_t low = across ? std::min(startX, endX) : std::min(startY, endY);
            const std::int64_t high = across ? std::max(startX, endX) : std::max(startY, endY);
            runs.push_back(across ? SurfacePoint{static_cast<std::int32_t>(low),
                                                 static_cast<std::int32_t>(startY)}
                                  : SurfacePoint{static_cast<std::int32_t>(startX),
                                                 static_cast<std::int32_t>(low)});
            runs.push_back(across ? SurfacePoint{static_cast<std::int32_t>(high + 1),
                                                 static_cast<std::int32_t>(startY)}
                                  : SurfacePoint{static_cast<std::int32_t>(startX),
                                                 static_cast<std::int32_t>(high + 1)});
        }
        open = false;
    };
    const std::int64_t dx = std::int64_t{b.x} - a.x;
    const std::int64_t dy = std::int64_t{b.y} - a.y;
    const bool alongX = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
    ForEachLinePixel(a, b, 0, 0, width, height, [&](std::int64_t x, std::int64_t y) {
        const bool continues = open && (alongX ? y == endY && (x - endX == 1 || endX - x == 1)
                                               : x == endX && (y - endY == 1 || endY - y == 1));
        if (!continues) {
            close();
            open = true;
            startX = x;
            startY = y;
        }
        endX = x;
        endY = y;
    });
    close();
}

} // namespace

bool ReachesFar(const SurfacePoint* points, int count, int width, int height) {
    return std::any_of(points, points + count, [&](const SurfacePoint& p) {
        return p.x < -kFarMargin || p.y < -kFarMargin || p.x > width + kFarMargin ||
               p.y > height + kFarMargin;
    });
}

bool WhollyOff(const SurfacePoint* points, int count, int width, int height) {
    const auto all = [&](auto beyond) {
        return std::all_of(points, points + count, beyond);
    };
    return count == 0 || all([](const SurfacePoint& p) { return p.x < 0; }) ||
           all([](const SurfacePoint& p) { return p.y < 0; }) ||
           all([&](const SurfacePoint& p) { return p.x >= width; }) ||
           all([&](const SurfacePoint& p) { return p.y >= height; });
}

VisiblePolygon VisiblePartOf(const SurfacePoint* points, int count, int width, int height) {
    // One pixel beyond the surface on every side: no pixel there shows, and a crossing there
    // counts for a row as one anywhere beyond that side does.
    const Box box{-1, -1, std::int64_t{width} + 1, std::int64_t{height} + 1};
    VisiblePolygon visible;
    FillPath fill;
    for (int i = 0; i < count; ++i) {
        const SurfacePoint a = points[i];
        const SurfacePoint b = points[i + 1 == count ? 0 : i + 1];
        AddEdge(fill, a, b, height, box);
        AddRuns(visible.runs, a, b, width, height);
    }
    visible.fill = std::move(fill.points);
    return visible;
}

} // namespace arbolith
