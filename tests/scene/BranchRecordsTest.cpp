#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "mesh/GltfWriter.h"
#include "scene/BranchRecords.h"
#include "tests/mesh/ModelFiles.h"

namespace arbolith {
namespace {

using testing::kSecond;
using testing::kSmallTree;

class Gathered final : public RecordOutput {
public:
    void Records(std::span<const BranchRecord> solids,
                 std::span<const BranchRecord> ribbons) override {
        EXPECT_LE(solids.size() + ribbons.size(), RecordMaker::kRecordBlock);
        all.insert(all.end(), solids.begin(), solids.end());
        thinnestSolid = std::accumulate(
            solids.begin(), solids.end(), thinnestSolid,
            [](float r, const BranchRecord& b) { return std::min(r, b.baseRadius); });
        all.insert(all.end(), ribbons.begin(), ribbons.end());
        for (const BranchRecord& r : ribbons) {
            thickestRibbon = std::max(thickestRibbon, r.baseRadius);
        }
    }
    std::vector<BranchRecord> all;
    float thinnestSolid = 1e30f;
    float thickestRibbon = 0;
};

double Distance(const MeshPoint& a, const float (&b)[3]) {
    const double dx = a[0] - b[0];
    const double dy = a[1] - b[1];
    const double dz = a[2] - b[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// The view's records and the exported .glb describe the same limbs: every corner of the mesh at a
// record's radius round the record's base or end (a line of first limbs the mesh makes one bending
// solid, so a solid may hold several records), every record's end ring in the mesh, the same box,
// on either growth path and with coinciding limbs left out alike. The twigs come apart from the
// limbs drawn as solids, to be drawn as ribbons.
TEST(BranchRecordsTest, TheRecordsAreTheGlbsLimbs) {
    TreeParameters randomScale = kSmallTree;
    randomScale.scaleFactor = 0;
    int ribbons = 0; // trees with twigs
    for (const TreeOrder& order :
         {TreeOrder{kSmallTree, kSecond}, TreeOrder{kSmallTree, kSecond, {}, GrowthPath::Literal},
          TreeOrder{randomScale, kSecond}}) {
        Gathered records;
        const RecordRun run = GrowRecords(order, records, nullptr);
        const testing::ReadMesh mesh = testing::ReadGlb(
            testing::Written([&](const ByteSink& sink) { return WriteGlb(order, sink); }));
        const auto solids = testing::Solids(mesh);
        ASSERT_LE(solids.size(), records.all.size());
        std::vector<bool> endFound(records.all.size(), false);
        ModelBox meshBox;
        for (const MeshVertex& vertex : mesh.vertices) {
            const MeshPoint& p = vertex.position;
            meshBox.Add({p[0], p[1], p[2]}, 0);
            bool onSome = false;
            for (std::size_t i = 0; i < records.all.size(); ++i) {
                const BranchRecord& r = records.all[i];
                const double fromBase = Distance(p, r.base);
                const double fromEnd = Distance(p, r.end);
                const bool onEnd = std::fabs(fromEnd - r.endRadius) < 1e-5 || fromEnd < 1e-5;
                onSome =
                    onSome || onEnd || std::fabs(fromBase - r.baseRadius) < 1e-5 || fromBase < 1e-5;
                endFound[i] = endFound[i] || onEnd;
            }
            EXPECT_TRUE(onSome) << p[0] << ", " << p[1] << ", " << p[2];
        }
        EXPECT_EQ(std::count(endFound.begin(), endFound.end(), true), std::ssize(endFound));
        // Twigs thinner than the share of the trunk are ribbons, the rest solids.
        EXPECT_LT(records.thickestRibbon, kRibbonShare * records.all.front().baseRadius);
        EXPECT_GE(records.thinnestSolid, kRibbonShare * records.all.front().baseRadius);
        ribbons += records.thickestRibbon > 0 ? 1 : 0;
        // The records' box reaches a radius round each end, the mesh's corners lie within it.
        for (int k = 0; k < 3; ++k) {
            EXPECT_LE(run.bounds.low[k], meshBox.low[k] + 1e-6);
            EXPECT_GE(run.bounds.high[k], meshBox.high[k] - 1e-6);
        }
    }
    EXPECT_GT(ribbons, 0);
}

} // namespace
} // namespace arbolith
