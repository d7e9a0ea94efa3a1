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

// The record whose middle is nearest the solid's corners' mean.
std::size_t RecordOf(const testing::ReadMesh& mesh, const std::vector<testing::Triangle>& solid,
                     const std::vector<BranchRecord>& records) {
    double mean[3] = {0, 0, 0};
    for (const testing::Triangle& t : solid) {
        for (const std::uint32_t corner : t) {
            for (int k = 0; k < 3; ++k) {
                mean[k] += mesh.vertices[corner].position[k] / (3.0 * solid.size());
            }
        }
    }
    std::size_t nearest = 0;
    double best = 1e300;
    for (std::size_t i = 0; i < records.size(); ++i) {
        double d = 0;
        for (int k = 0; k < 3; ++k) {
            const double middle = (records[i].base[k] + records[i].end[k]) / 2.0;
            d += (middle - mean[k]) * (middle - mean[k]);
        }
        if (d < best) {
            best = d;
            nearest = i;
        }
    }
    return nearest;
}

double Distance(const MeshPoint& a, const float (&b)[3]) {
    const double dx = a[0] - b[0];
    const double dy = a[1] - b[1];
    const double dz = a[2] - b[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// The view's records and the exported .glb describe the same solids: one record a solid, every
// corner of the solid at the record's radius round the record's base or end (or at its centre),
// the same box, on either growth path and with coinciding limbs left out alike. The twigs come
// apart from the limbs drawn as solids, to be drawn as ribbons.
TEST(BranchRecordsTest, TheRecordsAreTheGlbsSolids) {
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
        ASSERT_EQ(solids.size(), records.all.size());
        std::vector<int> matched(records.all.size(), 0);
        ModelBox meshBox;
        for (std::size_t i = 0; i < solids.size(); ++i) {
            const std::size_t index = RecordOf(mesh, solids[i], records.all);
            ++matched[index];
            const BranchRecord& r = records.all[index];
            for (const testing::Triangle& t : solids[i]) {
                for (const std::uint32_t corner : t) {
                    const MeshPoint& p = mesh.vertices[corner].position;
                    meshBox.Add({p[0], p[1], p[2]}, 0);
                    const double fromBase = Distance(p, r.base);
                    const double fromEnd = Distance(p, r.end);
                    const bool onBase =
                        std::fabs(fromBase - r.baseRadius) < 1e-5 || fromBase < 1e-5;
                    const bool onEnd = std::fabs(fromEnd - r.endRadius) < 1e-5 || fromEnd < 1e-5;
                    EXPECT_TRUE(onBase || onEnd) << "solid " << i;
                }
            }
        }
        EXPECT_EQ(std::count(matched.begin(), matched.end(), 1), std::ssize(matched));
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
