#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
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

// Pauses a run at every `every`-th poll, counting the pauses.
class PauseEvery final : public RunMonitor {
public:
    explicit PauseEvery(int every) : every_(every) {}
    bool KeepGoing(std::uint64_t) override { return true; }
    bool Pause(std::uint64_t) override {
        const bool pause = ++polls_ % every_ == 0;
        pauses += pause ? 1 : 0;
        return pause;
    }
    int pauses = 0;

private:
    int every_;
    int polls_ = 0;
};

// A run paused anywhere and resumed draws what it would have drawn without a pause, in the same
// calls, and ends as it would have.
TEST(DrawingRunTest, APausedRunGoesOnAsIfItHadNeverPaused) {
    const TreeParameters twoLimbs = TrunkAt({280, 640, 0}, {0, -150, 0}, 13);
    TreeParameters wideFork = TrunkAt({280, 640, 0}, {0, -150, 0}, 0);
    wideFork.limbsDegree = 4095; // the last branch is the 4,096th, at a poll
    TreeParameters randomLimbs = TrunkAt({280, 640, 0}, {0, -150, 0}, 9);
    randomLimbs.limbsDegree = 0;
    randomLimbs.scaleFactor = 0;
    TreeOrder random{randomLimbs, 1796000007, {}, GrowthPath::Literal};
    random.branchLimit = 20000;
    TreeOrder turned{twoLimbs, 1796000003};
    turned.view = {35, -10};
    TreeOrder limited{twoLimbs, 1796000004};
    limited.branchLimit = 10000;
    TreeOrder limitedAtAPoll{twoLimbs, 1796000005};
    limitedAtAPoll.branchLimit = 8192;
    struct Case {
        const char* name;
        TreeOrder order;
        int every;
    };
    const std::vector<Case> cases{
        {"literal, every poll", {twoLimbs, 1796000001, {}, GrowthPath::Literal}, 1},
        {"repeats once, every third poll", {twoLimbs, 1796000002}, 3},
        {"turned", turned, 1},
        {"branch limit between polls", limited, 1},
        {"branch limit at a poll", limitedAtAPoll, 1},
        {"paused at the last branch", {wideFork, 1796000006}, 1},
        {"random limbs and factors", random, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingSurface whole;
        const RunResult once = DrawTree(whole, c.order);

        RecordingSurface surface;
        PauseEvery monitor(c.every);
        RunResult result;
        int goes = 0;
        {
            PausableRun run(surface, c.order, &monitor);
            do {
                result = run.Go();
                ++goes;
            } while (result.paused && goes < 1000);
        }
        EXPECT_GT(monitor.pauses, 0);
        EXPECT_EQ(goes, monitor.pauses + 1);
        EXPECT_EQ(result.polygons, once.polygons);
        EXPECT_TRUE(result.Complete());
        EXPECT_EQ(surface.Polygons(), whole.Polygons());
        ASSERT_EQ(surface.Calls().size(), whole.Calls().size());
        for (std::size_t i = 0; i < whole.Calls().size(); ++i) {
            EXPECT_EQ(surface.Calls()[i].op, whole.Calls()[i].op) << "call " << i;
        }
        EXPECT_EQ(surface.LiveObjects(), 0u);
        EXPECT_TRUE(surface.Problems().empty());
    }
}

// A run that reaches the fork limit after a pause stops there for good.
TEST(DrawingRunTest, APausedRunStopsAtTheForkLimit) {
    constexpr std::size_t kLimit = 5000;
    RecordingSurface surface(false);
    PauseEvery monitor(1);
    CTreePainter painter(surface, 40, 20, 30, 0.7, 2, std::numeric_limits<std::int32_t>::max());
    painter.SetOrder({{}, 11});
    painter.SetMonitor(&monitor);
    painter.SetForkLimit(kLimit);
    RunResult result = painter.DrawTreeFrom(CVector(280, 600, 0), CVector(0, -120, 0));
    EXPECT_TRUE(result.paused);
    EXPECT_EQ(result.polygons, kMonitorInterval);
    result = painter.GoOn();
    EXPECT_FALSE(result.paused);
    EXPECT_TRUE(result.forkLimitReached);
    EXPECT_EQ(result.polygons, 1 + kLimit) << "the trunk and the first limb of every fork held";
    EXPECT_EQ(painter.GoOn().polygons, 1 + kLimit) << "nothing more is drawn";
}

} // namespace
} // namespace arbolith
