#include "tests/render/GdiGrid.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "tree/BranchCount.h"
#include "tree/DrawingRun.h"
#include "tree/TreePainter.h"

namespace arbolith::testing {

namespace {

constexpr int kTrees = 1100;
// Trees stay small enough that the whole grid draws in seconds on either side.
constexpr std::uint64_t kMostPolygons = 4000;

// A small generator of our own: the grid must be the same whatever the standard library.
class Picker {
public:
    explicit Picker(std::uint32_t seed) : state_(seed) {}
    std::uint32_t Next() {
        state_ = state_ * 1103515245u + 12345u;
        return state_ >> 8;
    }
    int Between(int low, int high) { // inclusive
        return low + static_cast<int>(Next() % static_cast<std::uint32_t>(high - low + 1));
    }
    template <typename T, std::size_t N> T From(const T (&choices)[N]) {
        return choices[Next() % N];
    }

private:
    std::uint32_t state_;
};

struct Size {
    int width;
    int height;
};

GridCase TreeCase(int index, Picker& pick) {
    static constexpr Size kSizes[] = {{160, 120}, {160, 120}, {240, 180},
                                      {320, 240}, {560, 670}, {1100, 260}};
    static constexpr std::int32_t kAngles[] = {1, 7, 20, 25, 40, 45, 90, 180, 360, 0, -30, 1000};
    static constexpr double kScales[] = {0.0, 0.3, 0.55,  0.7, 0.78, 0.8,
                                         0.9, 1.0, -0.75, 1.1, 1.25, 2.5};
    static constexpr std::int32_t kLimbs[] = {0, 1, 2, 2, 3, 3, 4, 5};
    const Size size = pick.From(kSizes);
    GridCase c;
    c.name = "tree " + std::to_string(index);
    c.width = size.width;
    c.height = size.height;
    c.isTree = true;
    c.second = 1000000000u + static_cast<std::uint32_t>(index) * 7919u;
    TreeParameters& p = c.tree;
    p.maxAngleXY = pick.From(kAngles);
    p.maxAngleYZ = pick.From(kAngles);
    p.maxAngleXZ = pick.From(kAngles);
    p.scaleFactor = pick.From(kScales);
    p.limbsDegree = pick.From(kLimbs);
    p.referencePoint = {pick.Between(-40, size.width + 40),
                        pick.Between(size.height / 2, size.height + 30), pick.Between(-200, 250)};
    p.firstVector = {pick.Between(-40, 40), -pick.Between(0, size.height / 2),
                     pick.Between(-120, 120)};
    p.levels = pick.Between(-1, 12);
    // Growing branches reach far off the picture; keep those trees short.
    if (std::abs(p.scaleFactor) > 1.0) {
        p.levels = std::min(p.levels, 7);
    }
    while (p.levels >= 0 &&
           CountBranches(p, GrowthPath::RepeatsOnce, c.second).branches > kMostPolygons) {
        --p.levels;
    }
    return c;
}

GridCase ShapeCase(const std::string& name, std::vector<std::vector<SurfacePoint>> polygons,
                   PolyFillMode mode) {
    GridCase c;
    c.name = name + (mode == PolyFillMode::Winding ? ", winding" : ", alternate");
    c.width = 64;
    c.height = 48;
    c.isTree = false;
    c.polygons = std::move(polygons);
    c.mode = mode;
    return c;
}

// A branch's four corners, as the painter lays them out.
std::vector<SurfacePoint> Branch(int baseX, int baseY, int baseHalf, int endX, int endY,
                                 int endHalf) {
    return {{baseX - baseHalf, baseY},
            {baseX + baseHalf, baseY},
            {endX + endHalf, endY},
            {endX - endHalf, endY}};
}

std::vector<GridCase> EdgeShapes() {
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    std::vector<std::pair<std::string, std::vector<std::vector<SurfacePoint>>>> shapes;

    // Thin branches in every direction, half-widths 0 to 2 at either end.
    for (int halves = 0; halves < 9; ++halves) {
        std::vector<std::vector<SurfacePoint>> fan;
        for (int i = 0; i < 24; ++i) {
            const int dx[] = {20, 20, 20, 15, 10, 5, 0, -5, -10, -15, -20, -20};
            const int dy[] = {0, 5, 10, 15, 20, 20, 20, 20, 20, 15, 10, 5};
            const int k = i % 12;
            const int sign = i < 12 ? 1 : -1;
            fan.push_back(
                Branch(32, 24, halves / 3, 32 + sign * dx[k], 24 + sign * dy[k], halves % 3));
        }
        shapes.emplace_back("thin branches " + std::to_string(halves), fan);
    }
    shapes.emplace_back("zero-length branches",
                        std::vector<std::vector<SurfacePoint>>{
                            Branch(10, 10, 0, 10, 10, 0), Branch(20, 10, 1, 20, 10, 1),
                            Branch(30, 10, 2, 30, 10, 0), Branch(40, 10, -1, 40, 10, 2)});
    shapes.emplace_back("bow ties",
                        std::vector<std::vector<SurfacePoint>>{
                            Branch(10, 40, 3, 14, 5, -3), Branch(30, 40, -2, 25, 8, 2),
                            Branch(50, 30, 4, 60, 29, -4), Branch(40, 20, -1, 45, 2, 1)});
    shapes.emplace_back("partly off the picture",
                        std::vector<std::vector<SurfacePoint>>{
                            Branch(-3, 20, 2, 10, -5, 1), Branch(60, 50, 2, 70, 30, 3),
                            Branch(30, 60, 1, 33, 40, 1), Branch(-10, -10, 2, 80, 60, 2)});
    shapes.emplace_back("wholly off the picture",
                        std::vector<std::vector<SurfacePoint>>{
                            Branch(-30, 20, 2, -5, 10, 1), Branch(70, 20, 2, 90, 30, 1),
                            Branch(10, -20, 2, 50, -2, 1), Branch(10, 50, 2, 60, 80, 1)});
    shapes.emplace_back("at the 32-bit bounds, off the picture",
                        std::vector<std::vector<SurfacePoint>>{
                            {{kMin, kMin}, {kMax, kMin}, {kMax, -1}, {kMin, -1}},
                            {{kMin, 48}, {kMax, 48}, {kMax, kMax}, {kMin, kMax}},
                            {{kMax, kMax}, {kMax, kMax}, {kMax, kMax}, {kMax, kMax}},
                            {{kMin, kMin}, {kMin, kMin}, {kMin, kMin}, {kMin, kMin}}});
    // The Windows program draws these from their visible parts: the drawing system's own
    // arithmetic overflows on edges spanning 2^31 or more.
    shapes.emplace_back(
        "at the 32-bit bounds, across the picture",
        std::vector<std::vector<SurfacePoint>>{{{kMin, 10}, {kMax, 10}, {kMax, 12}, {kMin, 12}},
                                               {{20, kMin}, {22, kMin}, {22, kMax}, {20, kMax}},
                                               {{kMin, 30}, {kMax, 30}, {kMax, 30}, {kMin, 30}}});
    shapes.emplace_back("branches out to the 32-bit corners",
                        std::vector<std::vector<SurfacePoint>>{
                            {{28, 40}, {32, 40}, {kMax, kMin}, {kMax, kMin}},
                            {{28, 40}, {32, 40}, {kMin, kMin}, {kMin, kMin}},
                            {{0, 0}, {0, 0}, {kMax, kMin}, {kMax, kMin}},
                            {{40, 5}, {44, 5}, {kMax, kMax - 7}, {kMax - 4, kMax - 7}},
                            {{kMin, 47}, {kMin + 3, 47}, {12, 3}, {10, 3}}});
    shapes.emplace_back(
        "far edges passing by",
        std::vector<std::vector<SurfacePoint>>{
            {{-1000000007, 20}, {1300000001, 35}, {1300000001, 38}, {-1000000007, 21}},
            {{-123456789, -987654321},
             {-123456780, -987654321},
             {223456789, 987654321},
             {223456770, 987654321}},
            {{kMin, kMax}, {kMin + 2, kMax}, {kMax, kMin + 40}, {kMax - 2, kMin + 40}}});
    constexpr std::int32_t kHalf = 1 << 30;
    shapes.emplace_back("half the 32-bit range, across the picture",
                        std::vector<std::vector<SurfacePoint>>{
                            {{-kHalf, 10}, {kHalf, 10}, {kHalf, 12}, {-kHalf, 12}},
                            {{20, -kHalf}, {22, -kHalf}, {22, kHalf}, {20, kHalf}},
                            {{-kHalf, 30}, {kHalf, 30}, {kHalf, 30}, {-kHalf, 30}}});
    shapes.emplace_back("far but moderate",
                        std::vector<std::vector<SurfacePoint>>{
                            Branch(20, 40, 2, 20 + (1 << 20), 40 - (1 << 19), 2),
                            Branch(50, 10, 1, 50 - (1 << 18), 10 + (1 << 20), 0)});

    std::vector<GridCase> cases;
    for (const auto& [name, polygons] : shapes) {
        cases.push_back(ShapeCase(name, polygons, PolyFillMode::Winding));
        cases.push_back(ShapeCase(name, polygons, PolyFillMode::Alternate));
    }
    return cases;
}

} // namespace

std::vector<GridCase> GdiGridCases() {
    std::vector<GridCase> cases;
    Picker pick(20261209);
    for (int i = 0; i < kTrees; ++i) {
        cases.push_back(TreeCase(i, pick));
    }
    // Trees whose branches reach far off the picture, and to the 32-bit bounds.
    for (const double scale : {40.0, 1000.0, 1e300}) {
        GridCase c = TreeCase(kTrees, pick);
        c.name = "far tree, scale " + std::to_string(scale);
        c.tree.scaleFactor = scale;
        c.tree.limbsDegree = 3;
        c.tree.levels = 3;
        cases.push_back(std::move(c));
    }
    for (GridCase& shape : EdgeShapes()) {
        cases.push_back(std::move(shape));
    }
    return cases;
}

void DrawGridCase(DrawingSurface& surface, const GridCase& gridCase) {
    if (gridCase.isTree) {
        DrawTree(surface, {gridCase.tree, gridCase.second});
        return;
    }
    const SurfaceObject pen = surface.CreatePen(PenStyle::Solid, 1, kBranchOutline);
    const SurfaceObject brush = surface.CreateSolidBrush(kBranchFill);
    surface.SetPolyFillMode(gridCase.mode);
    const SurfaceObject oldPen = surface.SelectObject(pen);
    const SurfaceObject oldBrush = surface.SelectObject(brush);
    for (const std::vector<SurfacePoint>& polygon : gridCase.polygons) {
        surface.Polygon(polygon.data(), static_cast<int>(polygon.size()));
    }
    surface.SelectObject(oldPen);
    surface.SelectObject(oldBrush);
    surface.DeleteObject(pen);
    surface.DeleteObject(brush);
}

const std::vector<std::uint64_t>& GdiGridDigests() {
    static const std::vector<std::uint64_t> digests{
#include "tests/render/GdiGridDigests.inc"
    };
    return digests;
}

} // namespace arbolith::testing
