#include <gtest/gtest.h>

#include <cmath>
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
    void Records(std::span<const BranchRecord> records) override {
        EXPECT_LE(records.size(), RecordMaker::kRecordBlock);
        all.insert(all.end(), records.begin(), records.end());
    }
    std::vector<BranchRecord> all;
};

double Distance(const MeshPoint& a, const float (&b)[3]) {
    const double dx = a[0] - b[0];
    const double dy = a[1] - b[1];
    const double dz = a[2] - b[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// The view's records and the exported .glb describe the same solids: one record a solid, every
// corner of the solid at the record's radius round the record's base or end (or at its centre),
// the same box, on either growth path and with coinciding limbs left out alike.
TEST(BranchRecordsTest, TheRecordsAreTheGlbsSolids) {
    TreeParameters randomScale = kSmallTree;
    randomScale.scaleFactor = 0;
    for (const TreeOrder& order :
         {TreeOrder{kSmallTree, kSecond}, TreeOrder{kSmallTree, kSecond, {}, GrowthPath::Literal},
          TreeOrder{randomScale, kSecond}}) {
        Gathered records;
        const RecordRun run = GrowRecords(order, records, nullptr);
        const testing::ReadMesh mesh = testing::ReadGlb(
            testing::Written([&](const ByteSink& sink) { return WriteGlb(order, sink); }));
        const auto solids = testing::Solids(mesh);
        ASSERT_EQ(solids.size(), records.all.size());
        ModelBox meshBox;
        for (std::size_t i = 0; i < solids.size(); ++i) {
            const BranchRecord& r = records.all[i];
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
        // The records' box reaches a radius round each end, the mesh's corners lie within it.
        for (int k = 0; k < 3; ++k) {
            EXPECT_LE(run.bounds.low[k], meshBox.low[k] + 1e-6);
            EXPECT_GE(run.bounds.high[k], meshBox.high[k] - 1e-6);
        }
    }
}

} // namespace
} // namespace arbolith
