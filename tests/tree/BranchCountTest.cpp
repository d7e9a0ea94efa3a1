#include <gtest/gtest.h>

#include <limits>

#include "tests/support/RecordingSurface.h"
#include "tree/BranchCount.h"
#include "tree/DrawingRun.h"

namespace arbolith {
namespace {

TreeParameters Tree(int limbs, int levels) {
    TreeParameters p;
    p.maxAngleXY = p.maxAngleYZ = p.maxAngleXZ = 45;
    p.scaleFactor = 0.7;
    p.limbsDegree = limbs;
    p.firstVector = {0, -100, 0};
    p.levels = levels;
    return p;
}

TEST(BranchCountTest, FixedLimbCountsAreExactAndMatchWhatIsDrawn) {
    for (GrowthPath path : {GrowthPath::Literal, GrowthPath::RepeatsOnce}) {
        for (int limbs : {-3, 1, 2, 3, 5}) {
            for (int levels : {-1, 0, 1, 4}) {
                const TreeParameters p = Tree(limbs, levels);
                RecordingSurface surface(false);
                DrawTree(surface, {p, 17, {}, path});
                const BranchCount count = CountBranches(p, path);
                EXPECT_TRUE(count.exact);
                EXPECT_EQ(count.branches, surface.PolygonCount())
                    << "limbs " << limbs << " levels " << levels;
            }
        }
    }
}

TEST(BranchCountTest, RandomLimbCountGivesAnUpperBound) {
    const BranchCount count = CountBranches(Tree(0, 1), GrowthPath::Literal);
    EXPECT_FALSE(count.exact);
    EXPECT_EQ(count.branches, 1u + 19 + 19 * 19);
    EXPECT_EQ(CountBranches(Tree(0, 1)).branches, 1u + 2 + 2 * 19);
    for (std::uint32_t second = 100; second < 120; ++second) {
        RecordingSurface surface(false);
        DrawTree(surface, {Tree(0, 1), second, {}, GrowthPath::Literal});
        EXPECT_LE(surface.PolygonCount(), count.branches);
    }
}

TEST(BranchCountTest, KnowingTheSecondMakesARandomLimbCountExact) {
    for (GrowthPath path : {GrowthPath::Literal, GrowthPath::RepeatsOnce}) {
        for (std::uint32_t second = 1796000000; second < 1796000060; ++second) {
            const TreeParameters p = Tree(0, 2);
            RecordingSurface surface(false);
            DrawTree(surface, {p, second, {}, path});
            const BranchCount count = CountBranches(p, path, second);
            EXPECT_TRUE(count.exact);
            EXPECT_EQ(count.branches, surface.PolygonCount()) << second;
        }
    }
    // A second that is not needed changes nothing.
    EXPECT_EQ(CountBranches(Tree(3, 4), GrowthPath::Literal, 12).branches,
              CountBranches(Tree(3, 4), GrowthPath::Literal).branches);
}

// A count past 64 bits says so; one of exactly the largest 64-bit value is still a count.
TEST(BranchCountTest, SaturatesInsteadOfOverflowing) {
    constexpr auto kMax = std::numeric_limits<std::uint64_t>::max();
    constexpr auto kTop = std::numeric_limits<std::int32_t>::max();
    constexpr auto kLiteral = GrowthPath::Literal;
    struct Case {
        int limbs;
        int levels;
        GrowthPath path;
        std::uint64_t branches;
        bool beyond64Bits;
    };
    const Case cases[] = {
        {19, 10, kLiteral, 122'961'939'948'120u, false},
        {2, 63, kLiteral, kMax, true},
        {2, 62, kLiteral, kMax, false},
        {2, 61, kLiteral, kMax / 2, false},
        {2, 61, GrowthPath::RepeatsOnce, kMax / 2, false},
        {2, 3000, GrowthPath::RepeatsOnce, kMax, true},
        {kTop, kTop, kLiteral, kMax, true},
        {kTop, kTop, GrowthPath::RepeatsOnce, kMax, true},
        {1, kTop, kLiteral, 2u + kTop, false},
        {1, 1'000'000, kLiteral, 1'000'002u, false},
    };
    for (const Case& c : cases) {
        const BranchCount count = CountBranches(Tree(c.limbs, c.levels), c.path);
        EXPECT_EQ(count.branches, c.branches) << c.limbs << " limbs, " << c.levels << " levels";
        EXPECT_EQ(count.beyond64Bits, c.beyond64Bits)
            << c.limbs << " limbs, " << c.levels << " levels";
    }
}

TEST(BranchCountTest, KnowsHowManyForksARunHoldsUnfinished) {
    // Checked against runs that may hold exactly that many, and one fewer.
    for (const GrowthPath path : {GrowthPath::Literal, GrowthPath::RepeatsOnce}) {
        for (const int limbs : {-1, 0, 1, 2, 5}) {
            for (const int levels : {-1, 0, 1, 6}) {
                const TreeParameters p = Tree(limbs, levels);
                for (std::uint32_t second = 1796000000; second < 1796000003; ++second) {
                    const BranchCount count = CountBranches(p, path, second);
                    const std::uint64_t forks = count.unfinishedForks;
                    for (const std::uint64_t limit : {forks, forks - 1}) {
                        if (limit > forks) {
                            continue; // no fork, no fewer
                        }
                        RecordingSurface surface(false);
                        CTreePainter painter(surface, 45, 45, 45, 0.7, limbs, levels);
                        painter.SetOrder({p, second});
                        painter.SetForkLimit(limit);
                        painter.Grow(CVector(0, 0, 0), CVector(0, -100, 0), 0);
                        EXPECT_EQ(painter.ForkLimitReached(), limit < forks)
                            << "limbs " << limbs << " levels " << levels << " limit " << limit;
                    }
                }
            }
        }
    }
    constexpr auto kTop = std::numeric_limits<std::int32_t>::max();
    EXPECT_FALSE(CountBranches(Tree(1, kTop)).OutgrowsForkLimit());
    EXPECT_FALSE(
        CountBranches(Tree(2, static_cast<int>(kMaxUnfinishedForks) - 1)).OutgrowsForkLimit());
    EXPECT_TRUE(CountBranches(Tree(2, static_cast<int>(kMaxUnfinishedForks))).OutgrowsForkLimit());
    EXPECT_TRUE(CountBranches(Tree(0, kTop)).OutgrowsForkLimit());
}

} // namespace
} // namespace arbolith
