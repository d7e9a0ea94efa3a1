#include <gtest/gtest.h>

#include <vector>

#include "tests/support/RecordingSurface.h"
#include "tree/DrawingRun.h"

namespace arbolith {
namespace {

using Op = RecordingSurface::Op;

TreeParameters TrunkAt(IntTriple reference, IntTriple vector, int levels) {
    TreeParameters p;
    p.maxAngleXY = 40;
    p.maxAngleYZ = 20;
    p.maxAngleXZ = 30;
    p.scaleFactor = 0.5;
    p.limbsDegree = 2;
    p.referencePoint = reference;
    p.firstVector = vector;
    p.levels = levels;
    return p;
}

TEST(DrawingRunTest, ClearsThenDrawsTheTrunkThenTheTreeThenReleasesEverything) {
    RecordingSurface surface;
    EXPECT_TRUE(
        DrawTree(surface, {TrunkAt({100, 500, 0}, {0, -100, 0}, 0), 1000000000}).Complete());

    const auto& calls = surface.Calls();
    const std::vector<Op> expected{Op::FillRectWhite,   Op::CreatePen,    Op::CreateSolidBrush,
                                   Op::SetPolyFillMode, Op::SelectObject, Op::SelectObject,
                                   Op::Polygon,         Op::Polygon,      Op::Polygon,
                                   Op::SelectObject,    Op::SelectObject, Op::DeleteObject,
                                   Op::DeleteObject};
    ASSERT_EQ(calls.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(calls[i].op, expected[i]) << "call " << i;
    }
    EXPECT_EQ(calls[0].rect, (SurfaceRect{0, 0, 1000, 1000}));
    const auto trunk = surface.PolygonAt(0);
    EXPECT_EQ(std::vector<SurfacePoint>(trunk.begin(), trunk.end()),
              (std::vector<SurfacePoint>{{99, 500}, {101, 500}, {101, 400}, {99, 400}}));
    // The generator starts at the trunk's top.
    EXPECT_EQ(surface.PolygonAt(1)[0], (SurfacePoint{99, 400}));
    EXPECT_EQ(surface.PolygonAt(2)[0], (SurfacePoint{99, 400}));
}

TEST(DrawingRunTest, ZeroTrunkStillGrowsFromItsFoot) {
    RecordingSurface surface;
    DrawTree(surface, {TrunkAt({-20, 5000, 0}, {0, 0, 0}, 3), 5});
    // A zero parent vector gives zero limbs, all drawn on the foot, off the canvas unchanged.
    ASSERT_EQ(surface.PolygonCount(), 1u + 2 + 4 + 8 + 16);
    for (std::size_t i = 0; i < surface.PolygonCount(); ++i) {
        for (const SurfacePoint& corner : surface.PolygonAt(i)) {
            EXPECT_EQ(corner.y, 5000);
            EXPECT_TRUE(corner.x == -21 || corner.x == -19) << corner.x;
        }
    }
}

TEST(DrawingRunTest, NegativeLevelsDrawTheTrunkAlone) {
    RecordingSurface surface;
    DrawTree(surface, {TrunkAt({300, 600, 0}, {0, -100, 0}, -1), 5});
    EXPECT_EQ(surface.PolygonCount(), 1u);
}

TEST(DrawingRunTest, AHundredRunsLeaveNoObjectAlive) {
    RecordingSurface surface;
    for (int run = 0; run < 100; ++run) {
        DrawTree(surface, {TrunkAt({280, 640, run - 50}, {0, -150, 0}, run % 4 - 1),
                           1796000000u + static_cast<unsigned>(run)});
        ASSERT_EQ(surface.LiveObjects(), 0u) << "run " << run;
    }
    EXPECT_TRUE(surface.Problems().empty());
    EXPECT_EQ(surface.SelectedPen(), RecordingSurface::kStockPen);
    EXPECT_EQ(surface.SelectedBrush(), RecordingSurface::kStockBrush);
}

TEST(DrawingRunTest, SameSecondSameTreeOtherSecondOtherTree) {
    const TreeParameters p = TrunkAt({280, 640, 0}, {0, -150, 0}, 4);
    auto draw = [&](std::uint32_t second) {
        RecordingSurface surface;
        DrawTree(surface, {p, second});
        return surface.Polygons();
    };
    EXPECT_EQ(draw(1796000000), draw(1796000000));
    EXPECT_NE(draw(1796000000), draw(1796000001));
}

} // namespace
} // namespace arbolith
