// The bins limbs are told apart by for levels of detail, and the two-core pipeline of pieces.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "mesh/MeshDetail.h"
#include "mesh/MeshPipeline.h"
#include "render/PipelineSurface.h"
#include "tests/mesh/ModelFiles.h"

namespace arbolith {
namespace {

using testing::kSecond;
using testing::kSmallTree;

struct BinCase {
    double radius;
    int bin;
};

// Sixteen bins an octave from the thinnest radius up, each from its lower edge on; anything
// thinner, or no number, in the first; anything beyond the last octave in the last.
TEST(MeshDetailTest, ARadiusFallsInItsSixteenthOfAnOctave) {
    const double edge = kThinnestRadius * 1.0442737824274138; // 2^(1/16)
    const std::vector<BinCase> cases{
        {kThinnestRadius, 0},
        {kThinnestRadius / 2, 0},
        {0, 0},
        {-1, 0},
        {std::numeric_limits<double>::quiet_NaN(), 0},
        {std::nextafter(edge, 0.0), 0},
        {edge, 1},
        {2 * kThinnestRadius, 16},
        {std::nextafter(2 * kThinnestRadius, 0.0), 15},
        {3 * kThinnestRadius, 16 + 9}, // 2^(9/16) = 1.477 < 1.5 < 2^(10/16)
        {1024 * kThinnestRadius, 160},
        {std::ldexp(kThinnestRadius, 63), 63 * 16},
        {std::ldexp(kThinnestRadius, 64), kRadiusBins - 1},
        {std::numeric_limits<double>::infinity(), kRadiusBins - 1},
    };
    for (const BinCase& c : cases) {
        EXPECT_EQ(RadiusBin(c.radius), c.bin) << c.radius;
    }
}

// Everything a mesh output gets, in order, as text.
class Recorder final : public MeshOutput {
public:
    void Piece(std::span<const MeshVertex> newVertices,
               std::span<const MeshTriangle> triangles) override {
        text.append(reinterpret_cast<const char*>(newVertices.data()), newVertices.size_bytes());
        text.append(reinterpret_cast<const char*>(triangles.data()), triangles.size_bytes());
        text += '|';
        ++pieces;
        failed = failAfter > 0 && pieces >= failAfter;
    }
    void PrimitiveEnds() override { text += "end"; }
    bool Failed() const override { return failed; }

    std::string text;
    std::size_t pieces = 0;
    std::size_t failAfter = 0;
    bool failed = false;
};

// Through the queue to the other thread, the output gets exactly what the mesher makes on one,
// primitives' ends in their places; an output that fails stops the growth within a few blocks.
TEST(MeshDetailTest, ThePipelineHandsOnEveryPieceInItsOrder) {
    TreeParameters large = kSmallTree;
    large.limbsDegree = 2;
    large.levels = 14; // 65,535 branches, several primitives
    const TreeOrder order{large, kSecond};
    ASSERT_TRUE(TwoCoresPay(order)) << "a machine of one core cannot show the pipeline";
    MeshPlan plan;
    plan.primitiveVertices = 65535;

    Recorder direct;
    TreeMesher mesher(large, plan, direct);
    GrowSolids(order, mesher, nullptr);
    mesher.Finish();

    Recorder piped;
    const MeshRun run = MeshTree(order, plan, piped, nullptr);
    EXPECT_EQ(run.counts.vertices, mesher.Counts().vertices);
    EXPECT_NE(direct.text.find("end"), std::string::npos);
    EXPECT_TRUE(piped.text == direct.text) << "the pieces differ";

    Recorder failing;
    failing.failAfter = 10;
    const MeshRun stopped = MeshTree(order, plan, failing, nullptr);
    EXPECT_LT(failing.pieces, direct.pieces / 4);
    EXPECT_LT(stopped.branchesGrown, run.branchesGrown / 4);
}

} // namespace
} // namespace arbolith
