#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "mesh/GltfWriter.h"
#include "mesh/ObjWriter.h"
#include "render/RasterPicture.h"
#include "tests/mesh/ModelFiles.h"
#include "tree/BranchCount.h"

namespace arbolith {
namespace {

using testing::ExpectClosedAndOutward;
using testing::kSecond;
using testing::kSmallTree;
using testing::ReadGlb;
using testing::ReadMesh;
using testing::ReadObj;
using testing::Solids;
using testing::Triangle;
using testing::Written;

// Every branch's ends and its radii in the model.
class BranchList final : public BranchSink {
public:
    explicit BranchList(const TreeParameters& tree) : radii_(tree) {}
    void Branch(const CVector& base, const CVector& vector, const BranchPlace& place) override {
        branches.emplace_back(base, base + vector);
        const LimbRadius radius = radii_.Next(vector, place);
        radii.push_back({ModelSpace::Length(radius.base), ModelSpace::Length(radius.end)});
    }
    std::vector<std::pair<CVector, CVector>> branches;
    std::vector<LimbRadius> radii;

private:
    LimbRadii radii_;
};

ModelPoint Minus(const ModelPoint& a, const ModelPoint& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
double Dot(const ModelPoint& a, const ModelPoint& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
ModelPoint PointOf(const MeshPoint& v) {
    return {v[0], v[1], v[2]};
}

ReadMesh GlbOf(const TreeOrder& tree) {
    return ReadGlb(Written([&](const ByteSink& sink) { return WriteGlb(tree, sink); }));
}

// Read back from the file, each branch's solid ends at its base and its end in 3-D: its ring
// corners lie at the limb's radius round each, with normals pointing straight away from the
// axis, and each cap has a centre on the axis whose normal points along it, outward.
TEST(ModelExportTest, EveryBranchIsASolidFromItsBaseToItsEndWithItsNormals) {
    TreeParameters randomScale = kSmallTree;
    randomScale.scaleFactor = 0;
    for (const TreeParameters& tree : {kSmallTree, randomScale}) {
        BranchList list(tree);
        GrowTreeBranches(list, {tree, kSecond});
        const ReadMesh mesh = GlbOf({tree, kSecond});
        const auto solids = Solids(mesh);
        ASSERT_EQ(solids.size(), list.branches.size());
        const ModelSpace space(tree.referencePoint);
        for (std::size_t i = 0; i < solids.size(); ++i) {
            SCOPED_TRACE(::testing::Message() << "branch " << i);
            const auto& [baseCanvas, endCanvas] = list.branches[i];
            const ModelPoint ends[2] = {space.Point(baseCanvas), space.Point(endCanvas)};
            const double radii[2] = {list.radii[i].base, list.radii[i].end};
            const ModelPoint axis = Minus(ends[1], ends[0]);
            const double length = std::sqrt(Dot(axis, axis));
            std::vector<std::uint32_t> corners;
            for (const Triangle& t : solids[i]) {
                corners.insert(corners.end(), t.begin(), t.end());
            }
            std::sort(corners.begin(), corners.end());
            corners.erase(std::unique(corners.begin(), corners.end()), corners.end());
            int rings[2] = {};
            int centres[2] = {};
            for (const std::uint32_t corner : corners) {
                const ModelPoint p = PointOf(mesh.vertices[corner].position);
                const ModelPoint n = PointOf(mesh.vertices[corner].normal);
                EXPECT_NEAR(Dot(n, n), 1, 1e-6);
                const double t = Dot(Minus(p, ends[0]), axis) / (length * length);
                const int end = t > 0.5 ? 1 : 0;
                EXPECT_NEAR(t, end, 1e-4);
                const ModelPoint offset = Minus(p, ends[end]);
                const double distance = std::sqrt(Dot(offset, offset));
                if (distance < radii[end] / 2) {
                    ++centres[end];
                    EXPECT_NEAR(distance, 0, 1e-5);
                    EXPECT_NEAR(Dot(n, axis) / length, end == 1 ? 1 : -1, 1e-6);
                } else {
                    ++rings[end];
                    EXPECT_NEAR(distance, radii[end], 1e-5);
                    EXPECT_NEAR(Dot(n, offset) / distance, 1, 1e-5);
                }
            }
            for (int end = 0; end < 2; ++end) {
                EXPECT_EQ(rings[end], kBranchSides);
                EXPECT_EQ(centres[end], 1);
            }
        }
    }
}

struct SolidCase {
    const char* what;
    TreeParameters tree;
    std::size_t solids; // 0: one for each branch grown
};

TreeParameters With(TreeParameters tree, const std::function<void(TreeParameters&)>& change) {
    change(tree);
    return tree;
}

// Every solid is closed, whatever shape the tree takes: a limb going on straight from its parent
// continues its solid, and neither closes the ring they share inside it; a later limb on that
// same ring is a solid of its own; points on points are one solid.
TEST(ModelExportTest, EveryEdgeJoinsTwoTrianglesOfOneSolid) {
    const auto straight = [](TreeParameters& p) {
        p.maxAngleXY = p.maxAngleYZ = p.maxAngleXZ = 1;
    };
    const std::vector<SolidCase> cases{
        {"turning", kSmallTree, 0},
        {"random scales", With(kSmallTree, [](TreeParameters& p) { p.scaleFactor = 0; }), 0},
        {"a straight chain: every limb the same, one solid", With(kSmallTree, straight), 1},
        {"straight with random scales: every later limb a solid of its own",
         With(kSmallTree,
              [&](TreeParameters& p) {
                  straight(p);
                  p.scaleFactor = 0;
              }),
         0},
        {"a trunk of no length: points on points",
         With(kSmallTree,
              [](TreeParameters& p) {
                  p.firstVector = {0, 0, 0};
              }),
         1},
        {"limbs too short for a float: points on the trunk's end",
         With(kSmallTree, [](TreeParameters& p) { p.scaleFactor = 1e-20; }), 2},
        {"random limbs and scales, far turns",
         With(kSmallTree,
              [](TreeParameters& p) {
                  p.limbsDegree = 0;
                  p.scaleFactor = 0;
                  p.maxAngleXY = 360;
                  p.levels = 3;
              }),
         0},
    };
    for (const SolidCase& c : cases) {
        SCOPED_TRACE(c.what);
        const ReadMesh mesh = GlbOf({c.tree, kSecond});
        const auto solids = Solids(mesh);
        ASSERT_FALSE(solids.empty());
        if (c.solids > 0) {
            EXPECT_EQ(solids.size(), c.solids);
        }
        for (const auto& solid : solids) {
            ExpectClosedAndOutward(mesh, solid);
        }
    }
}

// The front view of the model spans the picture's bounding box to within a branch's radius: the
// picture gives a branch its width along x only, the model all round the branch.
TEST(ModelExportTest, FrontProjectionSpansThePicturesBoundingBoxWithinARadius) {
    const ReadMesh mesh = GlbOf({kSmallTree, kSecond});
    double left = 1e9;
    double right = -1e9;
    double top = 1e9;
    double bottom = -1e9;
    for (const MeshVertex& v : mesh.vertices) {
        const double x = kSmallTree.referencePoint.x + v.position[0] / kMetresPerPixel;
        const double y = kSmallTree.referencePoint.y - v.position[1] / kMetresPerPixel;
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    BranchList list(kSmallTree);
    GrowTreeBranches(list, {kSmallTree, kSecond});
    double widest = 0;
    for (const LimbRadius& radius : list.radii) {
        widest = std::max({widest, radius.base, radius.end});
    }
    const PixelImage picture = *RenderTreeImage({kSmallTree, kSecond}, 560, 670);
    int pixelLeft = picture.Width();
    int pixelRight = -1;
    int pixelTop = picture.Height();
    int pixelBottom = -1;
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = 0; x < picture.Width(); ++x) {
            if (picture.At(x, y) != kWhitePixel) {
                pixelLeft = std::min(pixelLeft, x);
                pixelRight = std::max(pixelRight, x);
                pixelTop = std::min(pixelTop, y);
                pixelBottom = std::max(pixelBottom, y);
            }
        }
    }
    // A pixel at x spans x to x + 1, and the picture's corners are truncated toward zero.
    const double reach = widest / kMetresPerPixel + 1;
    EXPECT_NEAR(left, pixelLeft, reach);
    EXPECT_NEAR(right, pixelRight + 1, reach);
    EXPECT_NEAR(top, pixelTop, reach);
    EXPECT_NEAR(bottom, pixelBottom + 1, reach);
}

// The picture's brown, taken back from linear RGB to 8-bit sRGB.
Rgb SrgbOf(double red, double green, double blue) {
    const auto encode = [](double c) {
        const double s = c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
        return static_cast<std::uint8_t>(std::lround(s * 255));
    };
    return {encode(red), encode(green), encode(blue)};
}

TEST(ModelExportTest, ObjHoldsTheSameMeshAsGlbAndBothThePicturesBrown) {
    TreeParameters straightOn = kSmallTree;
    straightOn.maxAngleXY = straightOn.maxAngleYZ = straightOn.maxAngleXZ = 1;
    straightOn.scaleFactor = 0;
    for (const TreeParameters& tree : {kSmallTree, straightOn}) {
        const ReadMesh glb = GlbOf({tree, kSecond});
        std::string library;
        const ReadMesh obj = ReadObj(Written([&](const ByteSink& sink) {
                                         return WriteObj({tree, kSecond}, "tree-7.mtl", sink);
                                     }),
                                     library);
        EXPECT_EQ(library, "tree-7.mtl");
        EXPECT_EQ(obj.vertices, glb.vertices);
        EXPECT_EQ(obj.triangles, glb.triangles);
    }

    const QJsonArray factor = GlbOf({kSmallTree, kSecond})
                                  .json["materials"][0]["pbrMetallicRoughness"]["baseColorFactor"]
                                  .toArray();
    EXPECT_EQ(SrgbOf(factor[0].toDouble(), factor[1].toDouble(), factor[2].toDouble()),
              kBranchFill);
    std::string mtl;
    EXPECT_TRUE(WriteMaterialLibrary([&mtl](const void* data, std::size_t size) {
        mtl.append(static_cast<const char*>(data), size);
        return true;
    }));
    std::istringstream kd(mtl.substr(mtl.find("\nKd ") + 4));
    double red = 0;
    double green = 0;
    double blue = 0;
    kd >> red >> green >> blue;
    EXPECT_EQ(SrgbOf(red, green, blue), kBranchFill);
    EXPECT_NE(mtl.find("newmtl bark\n"), std::string::npos);
    EXPECT_EQ(MaterialLibraryPath("out/tree.v2.obj"), "out/tree.v2.mtl");
    EXPECT_EQ(MaterialLibraryPath("out.d/tree"), "out.d/tree.mtl");
    EXPECT_EQ(MaterialLibraryPath("tree.mtl"), "tree.mtl.mtl");
}

// A chain of limbs going on straight is one tube: one ring at each joint, a cap at each end.
TEST(ModelExportTest, AStraightChainSharesItsRings) {
    TreeParameters straight = kSmallTree;
    straight.maxAngleXY = straight.maxAngleYZ = straight.maxAngleXZ = 0;
    straight.limbsDegree = 1;
    straight.scaleFactor = 0.8;
    const WriteResult result =
        WriteGlb({straight, kSecond}, [](const void*, std::size_t) { return true; });
    ASSERT_EQ(result.mesh.branches, 6u);
    EXPECT_EQ(result.mesh.vertices, kBranchSides * (result.mesh.branches + 1) + 2);
    EXPECT_EQ(result.mesh.triangles, 2 * kBranchSides * (result.mesh.branches + 1));
}

struct PathCase {
    GrowthPath path;
    bool clock; // read at every fork, so that nothing may be taken to repeat
    std::uint64_t limit;
    std::uint64_t branches;
};

// A limb exactly like its previous sibling is written once with its subtree, on either path, for
// a tree of one second; the literal path only counts those limbs toward the limit.
TEST(ModelExportTest, WritesEachCoincidingLimbOnceAndCountsThePathsBranchesToTheLimit) {
    const std::uint64_t repeatsOnce = CountBranches(kSmallTree, GrowthPath::RepeatsOnce).branches;
    const std::uint64_t literal = CountBranches(kSmallTree, GrowthPath::Literal).branches;
    ASSERT_LT(repeatsOnce, literal);
    constexpr std::uint64_t kAll = kNoBranchLimit;
    const std::vector<PathCase> cases{
        {GrowthPath::RepeatsOnce, false, kAll, repeatsOnce},
        {GrowthPath::Literal, false, kAll, repeatsOnce},
        {GrowthPath::Literal, true, kAll, literal},
        {GrowthPath::RepeatsOnce, false, 10, 10},
        // The trunk, four limbs up, the last generation's three, the next limb and its three;
        // then the limb like it and its first limb, drawn but not written.
        {GrowthPath::Literal, false, 14, 12},
        {GrowthPath::RepeatsOnce, false, 0, 0},
    };
    const auto ignore = [](const void*, std::size_t) {
        return true;
    };
    for (const PathCase& c : cases) {
        TreeOrder tree{kSmallTree, kSecond, {}, c.path};
        if (c.clock) {
            tree.clock = [] {
                return kSecond;
            };
        }
        tree.branchLimit = c.limit;
        SCOPED_TRACE(::testing::Message() << "limit " << c.limit << ", clock " << c.clock);
        EXPECT_EQ(WriteGlb(tree, ignore).mesh.branches, c.branches);
        EXPECT_EQ(WriteObj(tree, "t.mtl", ignore).mesh.branches, c.branches);
    }
}

// Over a grid of trees, the literal path's file is byte for byte the one of the path that grows
// each group of coinciding limbs once: every limb skipped had exactly its sibling's subtree.
TEST(ModelExportTest, TheLiteralPathWritesTheSameFileOverAGridOfTrees) {
    int compared = 0;
    for (int limbs = 0; limbs <= 4; ++limbs) {
        for (int levels = -1; levels <= 3; ++levels) {
            for (const double scale : {0.0, 0.5, -0.7}) {
                for (const int angle : {1, 30, 360}) {
                    TreeParameters p = kSmallTree;
                    p.maxAngleXY = angle;
                    p.maxAngleYZ = angle == 30 ? 20 : angle;
                    p.maxAngleXZ = angle == 30 ? 45 : angle;
                    p.scaleFactor = scale;
                    p.limbsDegree = limbs;
                    p.levels = levels;
                    const auto write = [&](GrowthPath path) {
                        return Written([&](const ByteSink& sink) {
                            return WriteGlb({p, kSecond, {}, path}, sink);
                        });
                    };
                    ASSERT_EQ(write(GrowthPath::Literal), write(GrowthPath::RepeatsOnce))
                        << limbs << " limbs, " << levels << " levels, scale " << scale << ", angle "
                        << angle;
                    ++compared;
                }
            }
        }
    }
    EXPECT_EQ(compared, 225);
}

TEST(ModelExportTest, ASinkThatGivesUpFailsTheExport) {
    const auto refuse = [](const void*, std::size_t) {
        return false;
    };
    EXPECT_EQ(WriteGlb({kSmallTree, kSecond}, refuse).outcome, WriteOutcome::Failed);
    EXPECT_EQ(WriteObj({kSmallTree, kSecond}, "t.mtl", refuse).outcome, WriteOutcome::Failed);
}

} // namespace
} // namespace arbolith
