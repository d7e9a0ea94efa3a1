#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "mesh/LimbRadii.h"
#include "tests/support/AllocationCount.h"
#include "tree/BranchSink.h"
#include "tree/ExampleTree.h"
#include "tree/Presets.h"

namespace arbolith {
namespace {

struct Grown {
    std::int64_t level;
    double length;
    LimbRadius radius;
    std::size_t parent; // the trunk's own index for the trunk
};

// Every branch with its radii and its parent's, the parent found by level: the last branch one
// level down.
class RadiusList final : public BranchSink {
public:
    explicit RadiusList(const TreeParameters& tree) : radii_(tree) {}
    void Branch(const CVector&, const CVector& vector, const BranchPlace& place) override {
        const LimbRadius radius = radii_.Next(vector, place);
        const auto level = static_cast<std::size_t>(place.level);
        lastAt_.resize(level + 1);
        lastAt_[level] = branches.size();
        branches.push_back(
            {place.level,
             std::sqrt(vector.x * vector.x + vector.y * vector.y + vector.z * vector.z), radius,
             level == 0 ? 0 : lastAt_[level - 1]});
    }
    std::vector<Grown> branches;

private:
    LimbRadii radii_;
    std::vector<std::size_t> lastAt_;
};

struct ShapeCase {
    const char* what;
    TreeParameters tree;
    std::uint32_t second;
    bool startsWhereParentEnds; // every limb, as in a tree of one factor
};

TreeParameters Scaled(TreeParameters tree, double scale) {
    tree.scaleFactor = scale;
    return tree;
}

// The trunk is the thickest, every limb tapers, starts no thicker than its parent where it leaves
// it (exactly as thick in a tree of one factor), and each level is thinner than the one below.
TEST(LimbRadiiTest, TheTrunkIsThickestAndEachLevelThinner) {
    std::vector<ShapeCase> cases;
    for (const Preset& preset : kPresets) {
        cases.push_back({preset.name.data(), preset.parameters, preset.second, true});
    }
    cases.push_back({"random factors", Scaled(kExampleTree, 0), 1000000006, false});
    cases.push_back({"a factor past one", Scaled(kExampleTree, 2.5), 1000000006, true});
    cases.push_back({"a negative factor", Scaled(kExampleTree, -0.7), 1000000006, true});
    for (const ShapeCase& c : cases) {
        SCOPED_TRACE(c.what);
        RadiusList list(c.tree);
        GrowTreeBranches(list, {c.tree, c.second});
        ASSERT_GT(list.branches.size(), 1u);
        const LimbRadius trunk = list.branches[0].radius;
        EXPECT_NEAR(trunk.base, list.branches[0].length * kTrunkRadiusPerLength, 1e-9);
        std::vector<double> thickestAt;
        for (const Grown& b : list.branches) {
            EXPECT_LE(b.radius.end, b.radius.base);
            EXPECT_GE(b.radius.end, kThinnestRadius);
            EXPECT_LE(b.radius.base, trunk.base);
            if (b.level > 0) {
                const LimbRadius& parent = list.branches[b.parent].radius;
                if (c.startsWhereParentEnds) {
                    EXPECT_EQ(b.radius.base, parent.end);
                } else {
                    EXPECT_LE(b.radius.base, parent.end);
                }
            }
            thickestAt.resize(std::max<std::size_t>(thickestAt.size(), b.level + 1));
            thickestAt[b.level] = std::max(thickestAt[b.level], b.radius.base);
        }
        for (std::size_t level = 1; level < thickestAt.size(); ++level) {
            if (thickestAt[level] > kThinnestRadius) {
                EXPECT_LT(thickestAt[level], thickestAt[level - 1]) << "level " << level;
            }
        }
    }
}

// Of two limbs of one fork drawn with random factors, the shorter is never the thicker. Every fork
// of one second draws the same factors, so the tree grows over several seconds.
TEST(LimbRadiiTest, AShorterLimbOfRandomFactorStartsNoThicker) {
    const TreeParameters tree = Scaled(kExampleTree, 0);
    int pairs = 0;
    int thinner = 0;
    for (std::uint32_t second = 1000000000; second < 1000000010; ++second) {
        RadiusList list(tree);
        GrowTreeBranches(list, {tree, second});
        for (std::size_t i = 1; i < list.branches.size(); ++i) {
            for (std::size_t j = i + 1; j < list.branches.size(); ++j) {
                const Grown& a = list.branches[i];
                const Grown& b = list.branches[j];
                if (a.level != b.level || a.parent != b.parent) {
                    continue;
                }
                ++pairs;
                const Grown& shorter = a.length < b.length ? a : b;
                const Grown& longer = a.length < b.length ? b : a;
                EXPECT_LE(shorter.radius.base, longer.radius.base);
                thinner += shorter.radius.base < longer.radius.base ? 1 : 0;
            }
        }
    }
    EXPECT_GT(pairs, 10);
    EXPECT_GT(thinner, 0);
}

// A chain of one limb keeps no record of the limbs below: memory stays flat at any depth.
TEST(LimbRadiiTest, AChainOfOneLimbKeepsOneRecord) {
    LimbRadii radii(kExampleTree);
    radii.Next(CVector(0, -100, 0), {0, true});
    radii.Next(CVector(0, -80, 0), {1, true});
    testing::ResetPeakBytes();
    const std::size_t before = testing::LiveBytes();
    for (std::int64_t level = 2; level < 1000000; ++level) {
        radii.Next(CVector(0, -80, 0), {level, true});
    }
    EXPECT_LE(testing::PeakBytes(), before + 64);
}

} // namespace
} // namespace arbolith
