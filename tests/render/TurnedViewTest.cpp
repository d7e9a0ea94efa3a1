#include <gtest/gtest.h>

#include <cstdlib>

#include "render/RasterSurface.h"
#include "tests/render/GdiGrid.h"
#include "tests/render/ImageDigest.h"
#include "tests/support/RecordingSurface.h"
#include "tree/DrawingRun.h"

namespace arbolith::testing {
namespace {

// The front view through the turned run, against the digests of today's pictures as the
// Windows drawing system drew them.
TEST(TurnedViewTest, FrontViewDrawsEveryTreeOfTheGridPixelForPixelAsBefore) {
    const std::vector<GridCase> cases = GdiGridCases();
    const std::vector<std::uint64_t>& digests = GdiGridDigests();
    int trees = 0;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const GridCase& c = cases[i];
        if (!c.isTree) {
            continue;
        }
        PixelImage image(c.width, c.height, PixelOf(kGridGround));
        RasterSurface surface(image);
        DrawTree(surface, {c.tree, c.second});
        EXPECT_EQ(DigestOf(image), digests.at(i)) << c.name;
        ++trees;
    }
    EXPECT_GE(trees, 1100);
}

std::vector<std::vector<SurfacePoint>> Polygons(const TreeParameters& tree, ViewAngles view) {
    RecordingSurface surface;
    TreeOrder order{tree, 1796000077};
    order.view = view;
    DrawTree(surface, order);
    return surface.Polygons();
}

// A tree with no depth, turned half round about the vertical through its foot, shows each
// branch mirrored: its left corners where the front view's right ones were, and the other way
// round. Truncation toward zero may put a mirrored corner one pixel off.
TEST(TurnedViewTest, HalfATurnMirrorsAFlatTreeLeftToRightAboutTheFoot) {
    const TreeParameters flat{.maxAngleXY = 50,
                              .maxAngleYZ = 0,
                              .maxAngleXZ = 0,
                              .scaleFactor = 0.75,
                              .limbsDegree = 3,
                              .referencePoint = {280, 640, 0},
                              .firstVector = {25, -150, 0},
                              .levels = 6};
    const auto front = Polygons(flat, {0, 0});
    const auto turned = Polygons(flat, {180, 0});
    ASSERT_EQ(turned.size(), front.size());
    ASSERT_GT(front.size(), 300u);
    const int mirror = 2 * flat.referencePoint.x;
    for (std::size_t i = 0; i < front.size(); ++i) {
        for (int corner = 0; corner < 4; ++corner) {
            const SurfacePoint seen = turned[i][static_cast<std::size_t>(corner)];
            const SurfacePoint before = front[i][static_cast<std::size_t>(corner ^ 1)];
            ASSERT_EQ(seen.y, before.y) << "polygon " << i;
            ASSERT_LE(std::abs(seen.x - (mirror - before.x)), 1) << "polygon " << i;
        }
    }
}

} // namespace
} // namespace arbolith::testing
