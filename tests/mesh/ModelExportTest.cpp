#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "mesh/GltfWriter.h"
#include "mesh/ObjWriter.h"
#include "render/RasterPicture.h"
#include "tests/mesh/ModelFiles.h"
#include "tree/BranchCount.h"
#include "tree/Presets.h"

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

// Every branch's ends, its radii in the model and its reach along the limbs from the foot, found
// as the reach of the branch whose end is its base.
class BranchList final : public BranchSink {
public:
    explicit BranchList(const TreeParameters& tree) : radii_(tree) {}
    void Branch(const CVector& base, const CVector& vector, const BranchPlace& place) override {
        double baseReach = 0;
        for (std::size_t i = branches.size(); i-- > 0;) {
            const CVector& end = branches[i].second;
            if (end.x == base.x && end.y == base.y && end.z == base.z) {
                baseReach = reach[i].second;
                break;
            }
        }
        branches.emplace_back(base, base + vector);
        reach.emplace_back(
            baseReach,
            baseReach + std::sqrt(vector.x * vector.x + vector.y * vector.y + vector.z * vector.z));
        longest = std::max(longest, reach.back().second);
        const LimbRadius radius = radii_.Next(vector, place);
        radii.push_back({ModelSpace::Length(radius.base), ModelSpace::Length(radius.end)});
    }
    std::vector<std::pair<CVector, CVector>> branches;
    std::vector<std::pair<double, double>> reach;
    std::vector<LimbRadius> radii;
    double longest = 0;

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

ReadMesh GlbOf(const TreeOrder& tree, int levelsOfDetail = 0) {
    return ReadGlb(Written([&](const ByteSink& sink) {
        return WriteGlb(tree, sink, nullptr, nullptr, levelsOfDetail);
    }));
}

// Read back from the file, the vertices run branch by branch: each branch's ring round its base,
// at its limb's radius square to its axis, unless it goes on from the ring its parent ends in,
// as thick; then the ring round its end. Every ring's normals point straight away from the axis;
// its growth is its reach along the limbs over the farthest tip's; its texture runs round the
// limb there and back, and along it by the length over half the mean girth, from 0 where a
// solid starts. Caps are fans of the rings' own vertices, one at each end of a solid.
TEST(ModelExportTest, EveryBranchRunsFromItsBaseToItsEndWithItsNormalsTextureAndGrowth) {
    TreeParameters randomScale = kSmallTree;
    randomScale.scaleFactor = 0;
    for (const TreeParameters& tree : {kSmallTree, randomScale}) {
        SCOPED_TRACE(tree.scaleFactor);
        BranchList list(tree);
        GrowTreeBranches(list, {tree, kSecond});
        const ReadMesh mesh = GlbOf({tree, kSecond});
        const ModelSpace space(tree.referencePoint);
        const std::array<float, 6> round{0, 1.0f / 3, 2.0f / 3, 1, 2.0f / 3, 1.0f / 3};
        // Whether the six vertices from `first` are a ring round `centre`, square to `axis`.
        const auto ringAt = [&](std::size_t first, const ModelPoint& centre, double radius,
                                const ModelPoint& axis, double growth) {
            if (first + kBranchSides > mesh.vertices.size()) {
                return false;
            }
            for (std::size_t k = 0; k < kBranchSides; ++k) {
                const MeshVertex& v = mesh.vertices[first + k];
                const ModelPoint offset = Minus(PointOf(v.position), centre);
                const double distance = std::sqrt(Dot(offset, offset));
                if (std::fabs(distance - radius) > 1e-5 || std::fabs(Dot(offset, axis)) > 1e-5) {
                    return false;
                }
                const ModelPoint n = PointOf(v.normal);
                EXPECT_NEAR(Dot(n, n), 1, 2e-2);
                EXPECT_NEAR(Dot(n, offset) / distance, 1, 2e-2);
                EXPECT_EQ(v.texture[0], round[k]);
                EXPECT_NEAR(v.growth, growth, 1e-6);
            }
            return true;
        };
        std::size_t at = 0;
        std::size_t goingOn = 0;
        double texture = 0;
        for (std::size_t i = 0; i < list.branches.size(); ++i) {
            SCOPED_TRACE(::testing::Message() << "branch " << i);
            const ModelPoint base = space.Point(list.branches[i].first);
            const ModelPoint end = space.Point(list.branches[i].second);
            ModelPoint axis = Minus(end, base);
            const double length = std::sqrt(Dot(axis, axis));
            axis = {axis[0] / length, axis[1] / length, axis[2] / length};
            const LimbRadius radius = list.radii[i];
            if (ringAt(at, base, radius.base, axis, list.reach[i].first / list.longest)) {
                EXPECT_EQ(mesh.vertices[at].texture[1], 0);
                texture = 0;
                at += kBranchSides;
            } else {
                ASSERT_GT(i, 0u);
                EXPECT_EQ(space.Point(list.branches[i - 1].second), base);
                EXPECT_EQ(list.radii[i - 1].end, radius.base);
                ++goingOn;
            }
            texture += length / (std::numbers::pi * (radius.base + radius.end) / 2);
            ASSERT_TRUE(ringAt(at, end, radius.end, axis, list.reach[i].second / list.longest));
            EXPECT_NEAR(mesh.vertices[at].texture[1], texture, 1e-5 * texture);
            texture = mesh.vertices[at].texture[1];
            at += kBranchSides;
        }
        EXPECT_EQ(at, mesh.vertices.size());
        if (tree.scaleFactor != 0) {
            EXPECT_GT(goingOn, 0u);
        }
        const std::size_t branches = list.branches.size();
        EXPECT_EQ(mesh.triangles.size(),
                  2 * kBranchSides * branches + 2 * (kBranchSides - 2) * (branches - goingOn));
    }
}

struct SolidCase {
    const char* what;
    TreeParameters tree;
    std::size_t solids; // 0: any number
    int levelsOfDetail = 0;
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
        {"straight with random scales: a limb thinner than its parent ends a solid of its own",
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
        {"primitives of 65,535 vertices, their solids whole",
         With(kSmallTree,
              [](TreeParameters& p) {
                  p.limbsDegree = 2;
                  p.levels = 13;
              }),
         0},
        {"levels of detail", kSmallTree, 0, 4},
        {"levels of detail of random scales",
         With(kSmallTree, [](TreeParameters& p) { p.scaleFactor = 0; }), 0, 4},
    };
    for (const SolidCase& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<ReadMesh> meshes =
            testing::ReadGlbMeshes(Written([&](const ByteSink& sink) {
                return WriteGlb({c.tree, kSecond}, sink, nullptr, nullptr, c.levelsOfDetail);
            }));
        ASSERT_EQ(meshes.size(), static_cast<std::size_t>(std::max(c.levelsOfDetail, 1)));
        for (const ReadMesh& mesh : meshes) {
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
        ASSERT_EQ(obj.vertices.size(), glb.vertices.size());
        for (std::size_t i = 0; i < obj.vertices.size(); ++i) {
            const MeshVertex& o = obj.vertices[i];
            const MeshVertex& g = glb.vertices[i];
            EXPECT_EQ(o.position, g.position);
            EXPECT_EQ(o.texture, g.texture);
            EXPECT_EQ(o.growth, g.growth);
            // The .glb holds each normal's components as shares of 127.
            for (int c = 0; c < 3; ++c) {
                EXPECT_NEAR(o.normal[c], g.normal[c], 0.5 / 127);
            }
        }
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
    EXPECT_EQ(result.mesh.vertices, kBranchSides * (result.mesh.branches + 1));
    EXPECT_EQ(result.mesh.triangles,
              2 * kBranchSides * result.mesh.branches + 2 * (kBranchSides - 2));
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

// The levels of detail of every preset: each about half the triangles of the one before, the
// trunk the same in all, the box round each level within a twentieth of the whole tree's on
// every side, the growth from 0 at the foot to at most 1.
TEST(ModelExportTest, EachLevelOfDetailHasAboutHalfTheTrianglesTheSameTrunkAndReach) {
    for (const Preset& preset : kPresets) {
        SCOPED_TRACE(preset.name);
        const std::vector<ReadMesh> levels =
            testing::ReadGlbMeshes(Written([&](const ByteSink& sink) {
                return WriteGlb({preset.parameters, preset.second}, sink, nullptr, nullptr, 4);
            }));
        ASSERT_EQ(levels.size(), 4u);
        const auto box = [](const ReadMesh& mesh) {
            std::array<std::array<float, 2>, 3> extent{};
            for (int axis = 0; axis < 3; ++axis) {
                const auto [least, most] =
                    std::minmax_element(mesh.vertices.begin(), mesh.vertices.end(),
                                        [axis](const MeshVertex& a, const MeshVertex& b) {
                                            return a.position[axis] < b.position[axis];
                                        });
                extent[axis] = {least->position[axis], most->position[axis]};
            }
            return extent;
        };
        const auto whole = box(levels.front());
        float size = 0;
        for (const auto& [least, most] : whole) {
            size = std::max(size, most - least);
        }
        for (std::size_t level = 1; level < levels.size(); ++level) {
            SCOPED_TRACE(::testing::Message() << "LOD" << level);
            const ReadMesh& mesh = levels[level];
            const double share = static_cast<double>(mesh.triangles.size()) /
                                 static_cast<double>(levels[level - 1].triangles.size());
            EXPECT_GT(share, 0.3);
            EXPECT_LT(share, 0.7);
            ASSERT_GE(mesh.vertices.size(), 2u * kBranchSides);
            EXPECT_TRUE(std::equal(mesh.vertices.begin(), mesh.vertices.begin() + 2 * kBranchSides,
                                   levels.front().vertices.begin()))
                << "the trunk's two rings";
            const auto extent = box(mesh);
            for (int axis = 0; axis < 3; ++axis) {
                EXPECT_NEAR(extent[axis][0], whole[axis][0], kMostSilhouetteLoss * size);
                EXPECT_NEAR(extent[axis][1], whole[axis][1], kMostSilhouetteLoss * size);
            }
            const auto [least, most] = std::minmax_element(
                mesh.vertices.begin(), mesh.vertices.end(),
                [](const MeshVertex& a, const MeshVertex& b) { return a.growth < b.growth; });
            EXPECT_EQ(least->growth, 0);
            EXPECT_LE(most->growth, 1);
        }
        const QJsonArray nodes = levels.front().json["nodes"].toArray();
        ASSERT_EQ(nodes.size(), 5);
        EXPECT_EQ(nodes[0]["name"].toString(), "tree");
        EXPECT_EQ(nodes[0]["children"].toArray().size(), 4);
        for (int level = 0; level < 4; ++level) {
            EXPECT_EQ(nodes[level + 1]["name"].toString(), QString("tree_LOD%1").arg(level));
        }
    }
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
