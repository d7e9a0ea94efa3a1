#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "render/GltfWriter.h"
#include "render/ObjWriter.h"
#include "render/RepeatedLimbFilter.h"
#include "render/TreeImage.h"
#include "tree/BranchCount.h"

namespace arbolith {
namespace {

using Triangle = std::array<std::uint32_t, 3>;

struct ReadMesh {
    std::vector<MeshVertex> vertices;
    std::vector<Triangle> triangles;
    QJsonObject json;
};

std::string Written(const std::function<WriteResult(const ByteSink&)>& write) {
    std::string bytes;
    const WriteResult result = write([&bytes](const void* data, std::size_t size) {
        bytes.append(static_cast<const char*>(data), size);
        return true;
    });
    EXPECT_EQ(result.outcome, WriteOutcome::Written) << result.reason;
    return bytes;
}

std::uint32_t Word(const std::string& bytes, std::size_t at) {
    std::uint32_t word = 0;
    std::memcpy(&word, bytes.data() + at, sizeof word);
    return word;
}

// Reads a .glb back through its JSON, as an importer does.
ReadMesh ReadGlb(const std::string& bytes) {
    ReadMesh mesh;
    EXPECT_EQ(bytes.substr(0, 4), "glTF");
    EXPECT_EQ(Word(bytes, 8), bytes.size());
    const std::uint32_t jsonBytes = Word(bytes, 12);
    mesh.json =
        QJsonDocument::fromJson(QByteArray::fromStdString(bytes.substr(20, jsonBytes))).object();
    const std::size_t bin = 20 + jsonBytes + 8;
    const QJsonArray accessors = mesh.json["accessors"].toArray();
    const QJsonArray views = mesh.json["bufferViews"].toArray();
    const auto viewStart = [&](int accessor) {
        const int view = accessors[accessor].toObject()["bufferView"].toInt();
        return bin + static_cast<std::size_t>(views[view].toObject()["byteOffset"].toInt());
    };
    const QJsonObject primitive = mesh.json["meshes"][0]["primitives"][0].toObject();
    const int positions = primitive["attributes"]["POSITION"].toInt();
    const int indices = primitive["indices"].toInt();
    mesh.vertices.resize(static_cast<std::size_t>(accessors[positions]["count"].toInt()));
    std::memcpy(mesh.vertices.data(), bytes.data() + viewStart(positions),
                mesh.vertices.size() * sizeof(MeshVertex));
    mesh.triangles.resize(static_cast<std::size_t>(accessors[indices]["count"].toInt()) / 3);
    std::memcpy(mesh.triangles.data(), bytes.data() + viewStart(indices),
                mesh.triangles.size() * sizeof(Triangle));
    return mesh;
}

// Reads an OBJ's vertices and triangles back, and the material library it names.
ReadMesh ReadObj(const std::string& text, std::string& library) {
    ReadMesh mesh;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string kind;
        words >> kind;
        if (kind == "v") {
            MeshVertex v{};
            for (float& component : v) {
                std::string number;
                words >> number;
                std::from_chars(number.data(), number.data() + number.size(), component);
            }
            mesh.vertices.push_back(v);
        } else if (kind == "f") {
            Triangle t{};
            for (std::uint32_t& index : t) {
                words >> index;
                --index;
            }
            mesh.triangles.push_back(t);
        } else if (kind == "mtllib") {
            words >> library;
        }
    }
    return mesh;
}

class BranchList final : public BranchSink {
public:
    void Branch(const CVector& base, const CVector& vector, const BranchPlace&) override {
        branches.emplace_back(base, base + vector);
    }
    std::vector<std::pair<CVector, CVector>> branches;
};

ModelPoint Minus(const ModelPoint& a, const ModelPoint& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
double Dot(const ModelPoint& a, const ModelPoint& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
ModelPoint PointOf(const MeshVertex& v) {
    return {v[0], v[1], v[2]};
}

// The solids, each as its triangles: triangles joined by a vertex belong to one solid.
std::vector<std::vector<Triangle>> Solids(const ReadMesh& mesh) {
    std::vector<std::size_t> root(mesh.vertices.size());
    std::iota(root.begin(), root.end(), 0);
    const auto find = [&](std::size_t v) {
        while (root[v] != v) {
            v = root[v] = root[root[v]];
        }
        return v;
    };
    for (const Triangle& t : mesh.triangles) {
        root[find(t[1])] = find(t[0]);
        root[find(t[2])] = find(t[0]);
    }
    std::map<std::size_t, std::size_t> solidOfRoot;
    std::vector<std::vector<Triangle>> solids;
    for (const Triangle& t : mesh.triangles) {
        const auto [at, added] = solidOfRoot.emplace(find(t[0]), solids.size());
        if (added) {
            solids.emplace_back();
        }
        solids[at->second].push_back(t);
    }
    return solids;
}

// Every edge is met once in each direction, and the enclosed volume is positive: a closed
// surface whose faces turn outward.
void ExpectClosedAndOutward(const ReadMesh& mesh, const std::vector<Triangle>& solid) {
    std::map<std::pair<std::uint32_t, std::uint32_t>, int> edges;
    double volume = 0;
    for (const Triangle& t : solid) {
        for (int k = 0; k < 3; ++k) {
            ++edges[{t[k], t[(k + 1) % 3]}];
        }
        const ModelPoint a = PointOf(mesh.vertices[t[0]]);
        const ModelPoint b = PointOf(mesh.vertices[t[1]]);
        const ModelPoint c = PointOf(mesh.vertices[t[2]]);
        volume += a[0] * (b[1] * c[2] - b[2] * c[1]) - a[1] * (b[0] * c[2] - b[2] * c[0]) +
                  a[2] * (b[0] * c[1] - b[1] * c[0]);
    }
    for (const auto& [edge, count] : edges) {
        EXPECT_EQ(count, 1) << "edge " << edge.first << "-" << edge.second;
        EXPECT_EQ(edges.count({edge.second, edge.first}), 1u);
    }
    EXPECT_GT(volume, 0);
}

const TreeParameters kSmallTree{.maxAngleXY = 50,
                                .maxAngleYZ = 35,
                                .maxAngleXZ = 25,
                                .scaleFactor = 0.7,
                                .limbsDegree = 3,
                                .referencePoint = {250, 600, -40},
                                .firstVector = {10, -160, 5},
                                .levels = 4};
constexpr std::uint32_t kSecond = 1796000077;

// Read back from the file, each branch's solid ends at its base and its end in 3-D: the mean
// of its corners there is the branch's point and they lie at the picture's radius round it.
// A branch without length is a solid round its point.
TEST(ModelExportTest, EverySolidRunsFromItsBaseToItsEndClosedAndOutward) {
    TreeParameters pointTrunk = kSmallTree;
    pointTrunk.firstVector = {0, 0, 0};
    TreeParameters randomScale = kSmallTree;
    randomScale.scaleFactor = 0;
    for (const TreeParameters& tree : {kSmallTree, pointTrunk, randomScale}) {
        // Each branch but those exactly like an earlier sibling, which are written once.
        BranchList list;
        RepeatedLimbFilter written(list);
        GrowTreeBranches(written, {tree, kSecond});
        const ReadMesh mesh = ReadGlb(Written([&](const ByteSink& sink) {
            return WriteGlb({tree, kSecond}, sink);
        }));
        const auto solids = Solids(mesh);
        ASSERT_EQ(solids.size(), list.branches.size());
        const ModelSpace space(tree.referencePoint);
        for (std::size_t i = 0; i < solids.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "branch " << i);
            ExpectClosedAndOutward(mesh, solids[i]);
            const auto& [baseCanvas, endCanvas] = list.branches[i];
            const ModelPoint ends[2] = {space.Point(baseCanvas), space.Point(endCanvas)};
            const double radii[2] = {ModelSpace::Radius(baseCanvas.z),
                                     ModelSpace::Radius(endCanvas.z)};
            const ModelPoint axis = Minus(ends[1], ends[0]);
            const double length2 = Dot(axis, axis);
            std::vector<std::uint32_t> corners;
            for (const Triangle& t : solids[i]) {
                corners.insert(corners.end(), t.begin(), t.end());
            }
            std::sort(corners.begin(), corners.end());
            corners.erase(std::unique(corners.begin(), corners.end()), corners.end());
            ModelPoint sums[2] = {};
            int counts[2] = {};
            for (const std::uint32_t corner : corners) {
                const ModelPoint p = PointOf(mesh.vertices[corner]);
                const double t = length2 > 0 ? Dot(Minus(p, ends[0]), axis) / length2 : 0.0;
                const int end = t > 0.5 ? 1 : 0;
                EXPECT_NEAR(t, end, 1e-4);
                const ModelPoint offset = Minus(p, ends[end]);
                EXPECT_NEAR(std::sqrt(Dot(offset, offset)), radii[end], 1e-5);
                for (int c = 0; c < 3; ++c) {
                    sums[end][c] += p[c];
                }
                ++counts[end];
            }
            for (int end = 0; end < 2; ++end) {
                if (counts[end] == 0) {
                    continue;
                }
                for (int c = 0; c < 3; ++c) {
                    EXPECT_NEAR(sums[end][c] / counts[end], ends[end][c], 1e-5);
                }
            }
            EXPECT_GT(counts[0], 0);
            EXPECT_EQ(counts[1] > 0, length2 > 0);
        }
    }
}

// Seen from the front (along -Z, with +Y up), the model covers the picture's pixels: the same
// bounding box, but for the radius a solid has all round where the picture's width lies along
// x only.
TEST(ModelExportTest, FrontProjectionCoversThePicturesBoundingBox) {
    const ReadMesh mesh = ReadGlb(Written([&](const ByteSink& sink) {
        return WriteGlb({kSmallTree, kSecond}, sink);
    }));
    double left = 1e9;
    double right = -1e9;
    double top = 1e9;
    double bottom = -1e9;
    for (const MeshVertex& v : mesh.vertices) {
        const double x = kSmallTree.referencePoint.x + v[0] / kMetresPerPixel;
        const double y = kSmallTree.referencePoint.y - v[1] / kMetresPerPixel;
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
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
    // A pixel at x spans x to x + 1. A solid's radius, up to 3.5 pixels at this tree's depths,
    // reaches up and down too, and corners are truncated toward zero.
    constexpr double kReach = 4.5;
    EXPECT_NEAR(left, pixelLeft, kReach);
    EXPECT_NEAR(right, pixelRight + 1, kReach);
    EXPECT_NEAR(top, pixelTop, kReach);
    EXPECT_NEAR(bottom, pixelBottom + 1, kReach);
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
    const ReadMesh glb = ReadGlb(Written([&](const ByteSink& sink) {
        return WriteGlb({kSmallTree, kSecond}, sink);
    }));
    std::string library;
    const ReadMesh obj = ReadObj(Written([&](const ByteSink& sink) {
                                     return WriteObj({kSmallTree, kSecond}, "tree-7.mtl", sink);
                                 }),
                                 library);
    EXPECT_EQ(library, "tree-7.mtl");
    EXPECT_EQ(obj.vertices, glb.vertices);
    EXPECT_EQ(obj.triangles, glb.triangles);

    const QJsonArray factor =
        glb.json["materials"][0]["pbrMetallicRoughness"]["baseColorFactor"].toArray();
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

// A limb that goes on straight from its parent starts on its parent's last ring of vertices.
TEST(ModelExportTest, SharesTheRingWhereALimbGoesOnStraight) {
    TreeParameters straight = kSmallTree;
    straight.maxAngleXY = straight.maxAngleYZ = straight.maxAngleXZ = 0;
    straight.limbsDegree = 1;
    straight.scaleFactor = 0.8;
    const WriteResult result =
        WriteGlb({straight, kSecond}, [](const void*, std::size_t) { return true; });
    ASSERT_EQ(result.mesh.branches, 6u);
    EXPECT_EQ(result.mesh.vertices, kBranchSides * (result.mesh.branches + 1));

    const WriteResult turning =
        WriteGlb({kSmallTree, kSecond}, [](const void*, std::size_t) { return true; });
    EXPECT_EQ(turning.mesh.vertices, 2 * kBranchSides * turning.mesh.branches);
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
