#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <set>
#include <utility>
#include <vector>

#include "tests/support/AllocationCount.h"
#include "tests/support/RecordingSurface.h"
#include "tree/BranchCount.h"
#include "tree/DrawingRun.h"
#include "tree/Random.h"
#include "tree/TreePainter.h"

namespace arbolith {
namespace {

using Polygons = std::vector<std::vector<SurfacePoint>>;

// The tree grown the plain recursive way, with its own generator and arithmetic, as the
// oracle for the painter's stack-free formulation.
class ReferenceTree {
public:
    ReferenceTree(const TreeParameters& p, std::uint32_t second) : p_(p), second_(second) {}

    Polygons Draw() {
        const Vec base{double(p_.referencePoint.x), double(p_.referencePoint.y),
                       double(p_.referencePoint.z)};
        const Vec trunk{double(p_.firstVector.x), double(p_.firstVector.y),
                        double(p_.firstVector.z)};
        Branch(base, trunk);
        Grow({trunk.x + base.x, trunk.y + base.y, trunk.z + base.z}, trunk, 0);
        return polygons_;
    }

private:
    struct Vec {
        double x, y, z;
    };

    int Draw16() {
        state_ = state_ * 214013u + 2531011u;
        return int((state_ >> 16) & 0x7FFF);
    }

    static double Angle(int draw, std::int32_t max) {
        return max == 0 ? 0.0 : double(2 * (draw % max)) * 3.1415926535 * (1.0 / 360);
    }

    static std::int32_t Pixel(double v) { return static_cast<std::int32_t>(v); }

    void Branch(Vec b, Vec v) {
        const Vec e{b.x + v.x, b.y + v.y, b.z + v.z};
        const double wb = Pixel(3.0 - b.z * (1.0 / 30)) / 2;
        const double we = Pixel(3.0 - e.z * (1.0 / 30)) / 2;
        polygons_.push_back({{Pixel(b.x - wb), Pixel(b.y)},
                             {Pixel(b.x + wb), Pixel(b.y)},
                             {Pixel(e.x + we), Pixel(e.y)},
                             {Pixel(e.x - we), Pixel(e.y)}});
    }

    void Grow(Vec base, Vec parent, std::int32_t level) {
        if (level > p_.levels) {
            return;
        }
        state_ = second_;
        int n = p_.limbsDegree;
        if (n == 0) {
            n = Draw16() % 20;
        }
        for (int i = 0; i < n; ++i) {
            const double xy = Angle(Draw16(), p_.maxAngleXY);
            Draw16();
            const double xz = Angle(Draw16(), p_.maxAngleXZ);
            Draw16();
            const double yz = Angle(Draw16(), p_.maxAngleYZ);
            const double f =
                p_.scaleFactor == 0 ? double(Draw16()) * (1.0 / 32767) * 0.8 : p_.scaleFactor;
            Vec v = parent;
            v = {v.x * std::cos(xy) + v.y * -std::sin(xy), v.x * std::sin(xy) + v.y * std::cos(xy),
                 v.z};
            v = {v.x * std::cos(xz) + v.z * -std::sin(xz), v.y,
                 v.x * std::sin(xz) + v.z * std::cos(xz)};
            v = {v.x, v.y * std::cos(yz) + v.z * -std::sin(yz),
                 v.y * std::sin(yz) + v.z * std::cos(yz)};
            v = {f * v.x, f * v.y, f * v.z};
            Branch(base, v);
            Grow({base.x + v.x, base.y + v.y, base.z + v.z}, v, level + 1);
        }
    }

    TreeParameters p_;
    std::uint32_t second_;
    std::uint32_t state_ = 0;
    Polygons polygons_;
};

TreeParameters Tree(int limbs, int levels, double scale = 0.7, int xy = 40, int yz = 20,
                    int xz = 30) {
    TreeParameters p;
    p.maxAngleXY = xy;
    p.maxAngleYZ = yz;
    p.maxAngleXZ = xz;
    p.scaleFactor = scale;
    p.limbsDegree = limbs;
    p.referencePoint = {280, 600, 0};
    p.firstVector = {0, -120, 0};
    p.levels = levels;
    return p;
}

// The polygons of the tree of this second; `generator`, if given, is left as the run left it.
Polygons DrawAt(const TreeParameters& p, std::uint32_t second,
                GrowthPath path = GrowthPath::Literal, RandomGenerator* generator = nullptr) {
    RecordingSurface surface;
    DrawTree(surface, {p, second, {}, path}, nullptr, generator);
    EXPECT_TRUE(surface.Problems().empty());
    EXPECT_EQ(surface.LiveObjects(), 0u);
    return surface.Polygons();
}

TEST(GrowTest, MatchesTheRecursiveDefinitionOverAGridOfTrees) {
    for (int limbs : {-1, 0, 1, 2, 3}) {
        for (int levels : {-2, -1, 0, 1, 3}) {
            for (double scale : {0.0, 0.6, -0.8, 1.3}) {
                for (std::uint32_t second : {1000000000u, 1796000000u}) {
                    const TreeParameters p = Tree(limbs, levels, scale, 40, -25, 0);
                    ASSERT_EQ(DrawAt(p, second), ReferenceTree(p, second).Draw())
                        << "limbs " << limbs << " levels " << levels << " scale " << scale;
                }
            }
        }
    }
}

TEST(GrowTest, FirstLimbTakesDrawsOneThreeAndFive) {
    // Seeded with 1000000000 the draws are 18686, 28840, 29787, 31391, 28529: the first limb
    // turns by 18686 % 40 = 6, 29787 % 30 = 27 and 28529 % 20 = 9 degrees.
    TreeParameters p = Tree(1, 0, 1.0, 40, 20, 30);
    p.firstVector = {0, -100, 0};
    const Polygons polygons = DrawAt(p, 1000000000);
    ASSERT_EQ(polygons.size(), 2u);

    const double rad = 3.1415926535 / 180;
    CVector v(0, -100, 0);
    v = CVector(v.x * std::cos(6 * rad) - v.y * std::sin(6 * rad),
                v.x * std::sin(6 * rad) + v.y * std::cos(6 * rad), v.z);
    v = CVector(v.x * std::cos(27 * rad) - v.z * std::sin(27 * rad), v.y,
                v.x * std::sin(27 * rad) + v.z * std::cos(27 * rad));
    v = CVector(v.x, v.y * std::cos(9 * rad) - v.z * std::sin(9 * rad),
                v.y * std::sin(9 * rad) + v.z * std::cos(9 * rad));
    // v is about (9.31, -98.97, -10.87): the end's half-width is 3.36 halved to 1.
    EXPECT_NEAR(v.z, -10.87, 0.01);
    const std::vector<SurfacePoint> expected{{279, 500}, {281, 500}, {290, 401}, {288, 401}};
    EXPECT_EQ(polygons[1], expected);
    // Turned clockwise on the canvas, toward +x.
    EXPECT_GT(v.x, 9.3);
}

TEST(GrowTest, SmallTreeIsDrawnDepthFirst) {
    // Angles of 0 (bound 1) keep each limb on its parent's line; a scale of 0.5 halves it.
    TreeParameters p = Tree(2, 1, 0.5, 1, 1, 1);
    p.referencePoint = {100, 500, 0};
    p.firstVector = {0, -200, 0};
    const Polygons polygons = DrawAt(p, 7);
    ASSERT_EQ(polygons.size(), 7u);
    const std::vector<int> tops{300, 200, 150, 150, 200, 150, 150};
    for (std::size_t i = 0; i < polygons.size(); ++i) {
        EXPECT_EQ(polygons[i][2].y, tops[i]) << "polygon " << i;
    }
    // Limb 1's own limbs start at its top before limb 2 is drawn.
    EXPECT_EQ(polygons[2][0].y, 200);
    EXPECT_EQ(polygons[4][0].y, 300);
}

TEST(GrowTest, LevelsAndLimbsCountTheGenerations) {
    EXPECT_EQ(DrawAt(Tree(3, -1), 5).size(), 1u);
    EXPECT_EQ(DrawAt(Tree(3, std::numeric_limits<std::int32_t>::min()), 5).size(), 1u);
    EXPECT_EQ(DrawAt(Tree(3, 0), 5).size(), 4u);
    EXPECT_EQ(DrawAt(Tree(3, 1), 5).size(), 13u);
    EXPECT_EQ(DrawAt(Tree(4, 3), 5).size(), 1u + 4 + 16 + 64 + 256);
    EXPECT_EQ(DrawAt(Tree(-1, 5), 5).size(), 1u);
    EXPECT_EQ(DrawAt(Tree(std::numeric_limits<std::int32_t>::min(), 5), 5).size(), 1u);
}

TEST(GrowTest, ReseedingMakesLimbsTwoToNCoincideAboveTheLastGeneration) {
    const Polygons polygons = DrawAt(Tree(3, 2), 1796000123);
    ASSERT_EQ(polygons.size(), 1u + 3 + 9 + 27);
    // Depth first: trunk, then limb 1 at index 1 with its subtree of 1 + 3 + 9 polygons.
    const std::size_t subtree = 13;
    const std::size_t limb2 = 1 + subtree;
    const std::size_t limb3 = limb2 + subtree;
    for (std::size_t i = 0; i < subtree; ++i) {
        EXPECT_EQ(polygons[limb2 + i], polygons[limb3 + i]) << "offset " << i;
    }
    // In a fork of the last generation the three limbs differ.
    const std::size_t lastFork = 3; // trunk, limb 1, its limb 1, then the last fork's limbs
    EXPECT_NE(polygons[lastFork], polygons[lastFork + 1]);
    EXPECT_NE(polygons[lastFork + 1], polygons[lastFork + 2]);
}

TEST(GrowTest, RandomLimbCountIsTheSameAtEveryForkWithinASecond) {
    for (std::uint32_t second = 1796000000; second < 1796000040; ++second) {
        RandomGenerator random;
        random.Seed(second);
        const std::size_t limbs = static_cast<std::size_t>(random.Draw() % 20);
        const std::size_t expected = limbs == 0 ? 1 : 1 + limbs + limbs * limbs;
        EXPECT_EQ(DrawAt(Tree(0, 1, 0.5), second).size(), expected) << second;
    }
}

TEST(GrowTest, ZeroBoundMeansNoTurnInThatPlane) {
    // With every bound 0 (or 1) no limb turns, and the draws still advance as usual, so the
    // random factors land where they would with nonzero bounds.
    TreeParameters zero = Tree(2, 1, 0.0, 0, 0, 0);
    TreeParameters one = Tree(2, 1, 0.0, 1, 1, 1);
    EXPECT_EQ(DrawAt(zero, 99), DrawAt(one, 99));
    // A zero XZ bound leaves the other planes' turns exactly where they were.
    TreeParameters mixedZero = Tree(2, 2, 0.8, 40, 20, 0);
    TreeParameters mixedOne = Tree(2, 2, 0.8, 40, 20, 1);
    EXPECT_EQ(DrawAt(mixedZero, 123), DrawAt(mixedOne, 123));
}

TEST(GrowTest, EachBoundFeedsItsOwnPlane) {
    // A trunk along x with no XY turn: a YZ turn leaves such a vector alone, an XZ turn does
    // not. So with the XZ bound 1 and the YZ bound 90 every limb continues the trunk exactly.
    TreeParameters p = Tree(3, 0, 1.0, 1, 90, 1);
    p.firstVector = {100, 0, 0};
    for (const auto& limb : DrawAt(p, 4242)) {
        EXPECT_EQ(limb[2], (SurfacePoint{p.referencePoint.x + 100 * (limb[0].x > 300 ? 2 : 1) + 1,
                                         p.referencePoint.y}));
    }
    TreeParameters swapped = p;
    swapped.maxAngleYZ = 1;
    swapped.maxAngleXZ = 90;
    const Polygons turned = DrawAt(swapped, 4242);
    EXPECT_NE(turned[1][2].x, 481);
}

TEST(GrowTest, ForksAfterTheClockTicksUseTheNewSecond) {
    int reads = 0;
    // The first three forks read second 500, the rest second 501.
    TreeOrder ticking{Tree(2, 2)};
    ticking.clock = [&reads]() -> std::uint32_t {
        return ++reads <= 3 ? 500u : 501u;
    };
    ticking.path = GrowthPath::Literal;
    RecordingSurface surface;
    DrawTree(surface, ticking);
    const TreeParameters& p = ticking.parameters;

    const Polygons ticked = surface.Polygons();
    const Polygons before = DrawAt(p, 500);
    const Polygons after = DrawAt(p, 501);
    ASSERT_EQ(ticked.size(), before.size());
    // Forks 1-3 (trunk's, limb 1's, its limb 1's) drew polygons 1 to 5 from 500; the fourth
    // fork, limb 1.2's, reads 501.
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(ticked[i], before[i]) << i;
    }
    EXPECT_NE(ticked, before);
    EXPECT_NE(ticked, after);
}

TEST(GrowTest, AMillionLevelChainFinishes) {
    TreeParameters p = Tree(1, 1'000'000, 1.0, 1, 1, 1);
    RecordingSurface surface(false);
    DrawTree(surface, {p, 1});
    EXPECT_EQ(surface.PolygonCount(), 1'000'002u);
}

TEST(GrowTest, LevelsNearTheTopOfTheIntegerRangeStayDefined) {
    constexpr std::int32_t kTop = std::numeric_limits<std::int32_t>::max();
    RecordingSurface surface;
    {
        CTreePainter painter(surface, 10, 10, 10, 0.9, 1, kTop);
        painter.SetOrder({{}, 77});
        painter.Grow(CVector(0, 0, 0), CVector(0, -10, 0), kTop - 1);
        painter.Grow(CVector(0, 0, 0), CVector(0, -10, 0), kTop);
    }
    EXPECT_EQ(surface.PolygonCount(), 3u);
}

TEST(GrowTest, HugeScaleFactorsStayWithinPixelRange) {
    const Polygons polygons = DrawAt(Tree(3, 4, 1e300), 31);
    for (const auto& polygon : polygons) {
        ASSERT_EQ(polygon.size(), 4u);
    }
    EXPECT_EQ(polygons.size(), 1u + 3 + 9 + 27 + 81 + 243);
}

TEST(GrowTest, RepeatsOnceDrawsEveryDistinctBranchAndLeavesTheGeneratorAsTheLiteralPath) {
    for (int limbs : {0, 1, 3, 5}) {
        for (int levels : {-1, 0, 1, 3}) {
            for (double scale : {0.0, 0.8}) {
                const TreeParameters p = Tree(limbs, levels, scale);
                const std::uint32_t second = 1796000000u + static_cast<std::uint32_t>(limbs);
                RandomGenerator literalEnd;
                RandomGenerator onceEnd;
                const Polygons literal = DrawAt(p, second, GrowthPath::Literal, &literalEnd);
                const Polygons once = DrawAt(p, second, GrowthPath::RepeatsOnce, &onceEnd);
                EXPECT_EQ(onceEnd.State(), literalEnd.State());
                if (limbs != 0) {
                    EXPECT_EQ(CountBranches(p).branches, once.size());
                    EXPECT_EQ(CountBranches(p, GrowthPath::Literal).branches, literal.size());
                }
                const std::set<std::vector<SurfacePoint>> all(literal.begin(), literal.end());
                const std::set<std::vector<SurfacePoint>> drawn(once.begin(), once.end());
                EXPECT_EQ(all, drawn) << "limbs " << limbs << " levels " << levels;
                // Both begin alike: the trunk, then limb 1 with its whole subtree.
                ASSERT_LE(once.size(), literal.size());
                EXPECT_EQ(once.front(), literal.front());
            }
        }
    }
}

// A surface that takes its polygons in blocks, as the rasterizer does, and records them.
class BlockRecording : public RecordingSurface {
public:
    BlockRecording() : RecordingSurface(false) {}
    bool TakesBlocks() const override { return true; }
    void Quadrilaterals(const SurfacePoint* corners, std::size_t count) override {
        ++blocks_;
        RecordingSurface::Quadrilaterals(corners, count);
    }
    int Blocks() const { return blocks_; }

private:
    int blocks_ = 0;
};

// Growth for a surface that takes blocks skips the virtual table and the call per branch; the
// polygons are those of every call going through it, in the same order.
TEST(GrowTest, BranchesInBlocksAreTheSamePolygonsInTheSameOrder) {
    TreeOrder turned{Tree(3, 4), 1796000005};
    turned.view = {30, -20};
    TreeOrder limited{Tree(0, 3, 0.0), 1796000028};
    limited.branchLimit = 700;
    const std::vector<TreeOrder> orders{
        {Tree(3, 5), 1796000001, {}, GrowthPath::Literal},
        {Tree(4, 4), 1796000002},
        {Tree(0, 3, 0.0), 1796000028},
        {Tree(2, 4, 1e300), 31},
        turned,
        limited,
    };
    for (const TreeOrder& order : orders) {
        RecordingSurface one(false);
        const RunResult alone = DrawTree(one, order);
        BlockRecording blocks;
        const RunResult inBlocks = DrawTree(blocks, order);
        EXPECT_GT(blocks.Blocks(), 0);
        EXPECT_EQ(inBlocks.polygons, alone.polygons);
        EXPECT_EQ(blocks.Polygons(), one.Polygons()) << "limbs " << order.parameters.limbsDegree;
    }
}

TEST(GrowTest, RepeatsOnceMakesHugeFixedTreesSmall) {
    const TreeParameters p = Tree(19, 10);
    EXPECT_EQ(CountBranches(p).branches,
              1u + 2 + 4 + 8 + 16 + 32 + 64 + 128 + 256 + 512 + 1024 + 1024 * 19);
    RecordingSurface surface(false);
    DrawTree(surface, {p, 12});
    EXPECT_EQ(surface.PolygonCount(), CountBranches(p).branches);
}

TEST(GrowTest, ForksThatAreMadeAndForksThatSkipTheirRepeatsReadTheClock) {
    int reads = 0;
    TreeOrder order{Tree(4, 2)};
    order.clock = [&reads]() -> std::uint32_t {
        ++reads;
        return 9u;
    };
    RecordingSurface surface(false);
    DrawTree(surface, order);
    const int onceReads = reads;
    reads = 0;
    order.path = GrowthPath::Literal;
    DrawTree(surface, order);
    // Forks on levels 0, 1 and 2: 1 + 2 + 4 of them drawing repeats once, and the 1 + 2 above the
    // last generation once more before skipping limbs 3 and 4; 1 + 4 + 16 literally.
    EXPECT_EQ(onceReads, 7 + 3);
    EXPECT_EQ(reads, 21);
}

// The distinct polygons in the order each is drawn for the last time: two drawings with the
// same give the same picture, since a pixel shows the last polygon drawn over it.
Polygons LastDrawnOrder(const Polygons& drawn) {
    std::set<std::vector<SurfacePoint>> seen;
    Polygons order;
    for (auto polygon = drawn.rbegin(); polygon != drawn.rend(); ++polygon) {
        if (seen.insert(*polygon).second) {
            order.push_back(*polygon);
        }
    }
    std::reverse(order.begin(), order.end());
    return order;
}

// A surface that is also the clock: it reads one second until a chosen polygon has been drawn,
// the next from then on. That is the same moment on both paths, since the default path draws
// each distinct polygon for the first time where the literal path does.
class TickingSurface : public RecordingSurface {
public:
    TickingSurface(std::uint32_t second, const std::vector<SurfacePoint>& tickAfter)
        : RecordingSurface(false), second_(second), tickAfter_(tickAfter) {}

    void Polygon(const SurfacePoint* points, int count) override {
        RecordingSurface::Polygon(points, count);
        ticked_ =
            ticked_ || std::equal(points, points + count, tickAfter_.begin(), tickAfter_.end());
    }
    bool Ticked() const { return ticked_; }
    ClockReading Clock() {
        return [this] {
            return ticked_ ? second_ + 1 : second_;
        };
    }

private:
    std::uint32_t second_;
    std::vector<SurfacePoint> tickAfter_;
    bool ticked_ = false;
};

TEST(GrowTest, RepeatsOnceStaysExactWhereverTheClockTicks) {
    // Four limbs; and random limb counts and factors, three limbs a fork before the tick and six
    // after it.
    const std::pair<TreeParameters, std::uint32_t> cases[] = {{Tree(4, 3), 1796000000},
                                                              {Tree(0, 2, 0.0), 1796000028}};
    for (const auto& [tree, second] : cases) {
        // A tick after each distinct branch: inside a limb's subtree, between two limbs, right
        // before a fork of the last generation reads the clock.
        const Polygons steady = DrawAt(tree, second, GrowthPath::RepeatsOnce);
        for (const std::vector<SurfacePoint>& tickAfter : std::set(steady.begin(), steady.end())) {
            Polygons drawn[2];
            std::uint32_t state[2] = {};
            for (const GrowthPath path : {GrowthPath::Literal, GrowthPath::RepeatsOnce}) {
                const int i = path == GrowthPath::RepeatsOnce;
                TickingSurface surface(second, tickAfter);
                TreeOrder order{tree};
                order.clock = surface.Clock();
                order.path = path;
                RandomGenerator generator;
                DrawTree(surface, order, nullptr, &generator);
                ASSERT_TRUE(surface.Ticked());
                drawn[i] = surface.Polygons();
                state[i] = generator.State();
            }
            ASSERT_TRUE(LastDrawnOrder(drawn[1]) == LastDrawnOrder(drawn[0]))
                << "limbs " << tree.limbsDegree << ", tick after (" << tickAfter[0].x << ", "
                << tickAfter[0].y << ")";
            EXPECT_EQ(state[1], state[0]);
        }
    }
}

// Keeps no polygon, so that the memory a run holds is the run's own.
class ForgettingSurface : public RecordingSurface {
public:
    ForgettingSurface() : RecordingSurface(false) {}
    void Polygon(const SurfacePoint*, int) override {}
};

TEST(GrowTest, TheForkLimitStopsABottomlessTreeWithWhatItDrewAndNothingHeld) {
    constexpr std::size_t kLimit = 5000;
    constexpr std::int32_t kBottomless = std::numeric_limits<std::int32_t>::max();
    const CVector top(280, 480, 0);
    const CVector trunk(0, -120, 0);
    const TreeOrder second11{{}, 11};

    // On a surface that keeps nothing, so that the memory held is the run's own.
    ForgettingSurface forgetting;
    const std::size_t before = testing::LiveBytes();
    testing::ResetPeakBytes();
    {
        CTreePainter painter(forgetting, 40, 20, 30, 0.7, 2, kBottomless);
        painter.SetOrder(second11);
        painter.SetForkLimit(kLimit);
        painter.Grow(top, trunk, 0);
        EXPECT_TRUE(painter.ForkLimitReached());
        EXPECT_TRUE(painter.Stopped());
    }
    EXPECT_EQ(testing::LiveBytes(), before) << "nothing is held once the run is over";
    // The fork records, and an index of their blocks.
    const std::size_t held = testing::PeakBytes() - before;
    EXPECT_GE(held, kLimit * kForkRecordBytes);
    EXPECT_LE(held, kLimit * kForkRecordBytes * 17 / 16);

    // What it drew stays: the first limb of each fork it held. Those take the draws that the
    // limbs of a chain of as many levels take.
    RecordingSurface surface(false);
    {
        CTreePainter stopped(surface, 40, 20, 30, 0.7, 2, kBottomless);
        stopped.SetOrder(second11);
        stopped.SetForkLimit(kLimit);
        stopped.Grow(top, trunk, 0);
    }
    EXPECT_EQ(surface.LiveObjects(), 0u);
    ASSERT_EQ(surface.PolygonCount(), kLimit);
    RecordingSurface chain(false);
    {
        CTreePainter chainOfAsMany(chain, 40, 20, 30, 0.7, 1, kLimit - 1);
        chainOfAsMany.SetOrder(second11);
        chainOfAsMany.Grow(top, trunk, 0);
    }
    EXPECT_EQ(surface.Polygons(), chain.Polygons());

    // A chain of one limb holds one fork at any depth, so it runs to its end.
    RecordingSurface deepChain(false);
    CTreePainter chainPainter(deepChain, 40, 20, 30, 0.7, 1, 3 * kLimit);
    chainPainter.SetOrder(second11);
    chainPainter.SetForkLimit(kLimit);
    chainPainter.Grow(top, trunk, 0);
    EXPECT_FALSE(chainPainter.Stopped());
    EXPECT_EQ(deepChain.PolygonCount(), 3 * kLimit + 1);
}

class StopAfter : public RunMonitor {
public:
    explicit StopAfter(std::uint64_t limit) : limit_(limit) {}
    bool KeepGoing(std::uint64_t branchesDrawn) override {
        seen_ = branchesDrawn;
        return branchesDrawn < limit_;
    }
    std::uint64_t seen_ = 0;

private:
    std::uint64_t limit_;
};

TEST(GrowTest, AMonitorCanStopARunAndLeavesTheSurfaceClean) {
    RecordingSurface surface(false);
    StopAfter monitor(10000);
    EXPECT_TRUE(DrawTree(surface, {Tree(4, 12), 3, {}, GrowthPath::Literal}, &monitor).stopped);
    EXPECT_GE(monitor.seen_, 10000u);
    EXPECT_LT(surface.PolygonCount(), 20000u);
    EXPECT_EQ(surface.LiveObjects(), 0u);
    EXPECT_EQ(surface.SelectedPen(), RecordingSurface::kStockPen);

    StopAfter patient(1u << 30);
    RecordingSurface whole(false);
    EXPECT_TRUE(DrawTree(whole, {Tree(3, 7), 3, {}, GrowthPath::Literal}, &patient).Complete());
    EXPECT_EQ(whole.PolygonCount(),
              (std::size_t{1} << 0) + 3 + 9 + 27 + 81 + 243 + 729 + 2187 + 6561);
}

} // namespace
} // namespace arbolith
