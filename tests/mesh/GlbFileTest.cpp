// A .glb written in one growth into a file being prepared, against the three growths through a
// plain sink.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <QTemporaryDir>

#include "mesh/GlbHead.h"
#include "mesh/GltfWriter.h"
#include "mesh/IndexScratch.h"
#include "output/WholeFile.h"
#include "render/OutputFile.h"
#include "tests/mesh/ModelFiles.h"
#include "tree/BranchCount.h"

namespace arbolith {
namespace {

using testing::kSecond;
using testing::kSmallTree;
using testing::Written;

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct GlbCase {
    const char* what;
    TreeParameters tree;
    std::uint64_t limit;
    int levelsOfDetail = 0;
};

TEST(GlbFileTest, OneGrowthIntoAFileWritesTheBytesOfThree) {
    const auto with = [](const std::function<void(TreeParameters&)>& change) {
        TreeParameters tree = kSmallTree;
        change(tree);
        return tree;
    };
    const std::vector<GlbCase> cases{
        {"a small tree", kSmallTree, kNoBranchLimit},
        {"indices longer than a chunk, primitives of 16-bit indices and one of bytes",
         with([](TreeParameters& p) {
             p.limbsDegree = 2;
             p.levels = 13;
         }),
         kNoBranchLimit},
        {"three levels of detail", kSmallTree, kNoBranchLimit, 3},
        {"no branch at all", kSmallTree, 0},
        {"every branch but the trunk beyond a float's range",
         with([](TreeParameters& p) { p.scaleFactor = 1e300; }), kNoBranchLimit},
    };
    QTemporaryDir dir;
    const std::filesystem::path path = dir.filePath("tree.glb").toStdString();
    for (const GlbCase& c : cases) {
        SCOPED_TRACE(c.what);
        TreeOrder tree{c.tree, kSecond};
        tree.branchLimit = c.limit;
        const std::string threeGrowths = Written([&](const ByteSink& sink) {
            return WriteGlb(tree, sink, nullptr, nullptr, c.levelsOfDetail);
        });
        WriteSettings settings;
        settings.levelsOfDetail = c.levelsOfDetail;
        const TreeFileResult written = WriteTreeFile(path.string(), Format::Glb, tree, settings);
        ASSERT_EQ(written.outcome, WriteOutcome::Written) << written.reason;
        EXPECT_EQ(ReadFile(path), threeGrowths);
        // Every chunk of a .glb is a whole number of 4-byte words.
        EXPECT_EQ(testing::Word(threeGrowths, 12) % 4, 0u);
    }
}

// The tree of 2 limbs and 22 levels, 16,777,215 branches, would take 5.8 GB. Through a plain
// sink it is refused before a byte is written; into a file, as soon as it passes the size,
// long before its last branch.
TEST(GlbFileTest, ATreeBeyondFourGibibytesIsRefused) {
    TreeParameters huge = kSmallTree;
    huge.limbsDegree = 2;
    huge.levels = 22;
    const TreeOrder tree{huge, kSecond};
    const std::uint64_t branches = CountBranches(huge, GrowthPath::RepeatsOnce).branches;
    std::uint64_t handed = 0;
    const auto count = [&handed](const void*, std::size_t size) {
        handed += size;
        return true;
    };

    const WriteResult throughSink = WriteGlb(tree, count);
    EXPECT_EQ(throughSink.outcome, WriteOutcome::Failed);
    EXPECT_NE(throughSink.reason.find("would take 5"), std::string::npos) << throughSink.reason;
    EXPECT_EQ(handed, 0u);

    bool rewritten = false;
    const PreparedFile file{[&rewritten](std::uint64_t, const void*, std::size_t) {
                                rewritten = true;
                                return true;
                            },
                            [] {
                                return std::fopen("/dev/null", "w+b");
                            }};
    const WriteResult intoFile = WriteGlb(tree, count, nullptr, &file);
    EXPECT_EQ(intoFile.outcome, WriteOutcome::Failed);
    EXPECT_NE(intoFile.reason.find("more than the 4294967295 bytes"), std::string::npos)
        << intoFile.reason;
    EXPECT_LE(handed, kGlbMostBytes);
    EXPECT_LT(intoFile.mesh.branches, branches * 9 / 10);
    EXPECT_FALSE(rewritten);
}

// Whatever the pieces, every index comes back in order: pieces of the few kinds a tree makes,
// more kinds than are remembered, and pieces that do not fit in bytes (a corner far ahead or far
// behind, more than 255 triangles or new vertices).
TEST(GlbFileTest, TheScratchFileGivesBackEveryIndex) {
    struct Piece {
        std::uint64_t newVertices;
        // Each corner as a step from the piece's first new vertex.
        std::vector<std::array<std::int64_t, 3>> triangles;
    };
    const auto kind = [](std::int64_t k) {
        return Piece{static_cast<std::uint64_t>(3 + k), {{0, 1, 2}, {2, -6, k}}};
    };
    // Twenty kinds, more than are remembered at once; then the last sixteen again, latest first,
    // then one forgotten and one remembered.
    std::vector<Piece> pieces;
    for (std::int64_t k = 0; k < 20; ++k) {
        pieces.push_back(kind(k));
    }
    for (std::int64_t k = 19; k >= 4; --k) {
        pieces.push_back(kind(k));
    }
    pieces.push_back(kind(0));
    pieces.push_back(kind(19));
    pieces.push_back({2, {{0, 1, 1000}}});
    pieces.push_back({1, {{0, -300, 0}}});
    pieces.push_back({3, std::vector<std::array<std::int64_t, 3>>(300, {0, 1, 2})});
    pieces.push_back({400, {{399, 0, 1}}});
    pieces.push_back({3, {{0, 1, 2}, {2, -6, 0}}});
    // A second mesh counts its vertices from 0 again.
    const std::size_t secondMesh = pieces.size();
    pieces.push_back({3, {{0, 1, 2}}});
    pieces.push_back({300, {{0, 1, 299}, {2, -3, 0}}});

    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::tmpfile(), &std::fclose);
    ASSERT_TRUE(file);
    IndexScratch scratch(file.get());
    std::vector<std::uint16_t> expected;
    std::int64_t first = 0;
    std::int64_t meshBase = 0;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const Piece& piece = pieces[i];
        if (i == secondMesh) {
            scratch.StartMesh();
            meshBase = first;
        }
        std::vector<MeshTriangle> triangles;
        for (const auto& [a, b, c] : piece.triangles) {
            triangles.push_back({static_cast<std::uint64_t>(first - meshBase + a),
                                 static_cast<std::uint64_t>(first - meshBase + b),
                                 static_cast<std::uint64_t>(first - meshBase + c)});
            for (const std::int64_t step : {a, b, c}) {
                expected.push_back(static_cast<std::uint16_t>(first + step));
            }
        }
        scratch.Add(piece.newVertices, triangles);
        first += static_cast<std::int64_t>(piece.newVertices);
    }
    const IndexRun all{0, expected.size(), 2};
    const std::string bytes = Written([&](const ByteSink& sink) {
        return scratch.AppendTo(sink, {&all, 1}) ? WriteResult{}
                                                 : WriteResult{WriteOutcome::Failed};
    });
    std::vector<std::uint16_t> indices(bytes.size() / 2);
    std::memcpy(indices.data(), bytes.data(), indices.size() * 2);
    if (expected.size() % 2 == 1) {
        expected.push_back(0); // padding to a whole 4-byte word
    }
    EXPECT_EQ(indices, expected);
}

// Each primitive's indices count from its first vertex, as bytes or 16-bit words, padded to
// whole 4-byte words, however the indices come in.
TEST(GlbFileTest, EachRunOfIndicesHasItsOwnWidthAndPadding) {
    const std::vector<IndexRun> runs{{0, 5, 2}, {10, 3, 1}, {13, 0, 1}, {13, 4, 1}, {100, 2, 2}};
    const std::vector<std::uint32_t> indices{0, 9, 1, 2, 3, 10, 12, 11, 13, 14, 15, 16, 100, 65634};
    const std::string expected{"\0\0\x09\0\x01\0\x02\0\x03\0\0\0"
                               "\0\x02\x01\0"
                               "\0\x01\x02\x03"
                               "\0\0\xfe\xff",
                               24};
    for (const std::size_t block : {1, 3, 14}) {
        SCOPED_TRACE(block);
        const std::string bytes = Written([&](const ByteSink& sink) {
            ChunkedSink out(sink);
            IndexRuns widths(out, runs);
            for (std::size_t at = 0; at < indices.size(); at += block) {
                widths.Put(indices.data() + at, std::min(block, indices.size() - at));
            }
            return out.Flush() ? WriteResult{} : WriteResult{WriteOutcome::Failed};
        });
        EXPECT_EQ(bytes, expected);
    }
}

// The head's room holds the JSON of the longest numbers a .glb states, whatever the meshes: the
// last second, counts and offsets of as many digits as any that fit in 4 GiB, and bounds whose
// exact doubles take the most characters a float's can, 23.
TEST(GlbFileTest, TheHeadsRoomHoldsTheLongestNumbers) {
    const float longest = std::bit_cast<float>(0x8000000Fu); // -2.1019476964872256e-44
    for (const bool levels : {false, true}) {
        for (const std::size_t meshes : {1u, 3u}) {
            GlbLayout layout;
            layout.levelsOfDetail = levels;
            layout.jsonRoom = GlbJsonRoom(meshes, 2, levels);
            for (std::size_t mesh = 0; mesh < meshes; ++mesh) {
                layout.StartMesh();
                for (int primitive = 0; primitive < 2; ++primitive) {
                    if (primitive > 0) {
                        layout.StartPrimitive();
                    }
                    // Where the whole file ends at 4 GiB.
                    layout.AddCounts(kGlbPrimitiveVertices,
                                     kGlbMostBytes / 3 / 2 / (2 * meshes) / 2 * 2);
                    layout.meshes.back().back().min = {longest, longest, longest};
                    layout.meshes.back().back().max = {longest, longest, longest};
                }
                layout.EndMesh();
            }
            layout.meshes.back().back().firstVertex = kGlbMostBytes / kGlbVertexBytes;
            SCOPED_TRACE(::testing::Message() << meshes << " meshes, levels " << levels);
            ASSERT_EQ(
                std::to_string(layout.meshes.back().back().firstVertex * kGlbVertexBytes).size(),
                10u);
            const std::string head = Written([&](const ByteSink& sink) {
                return PutGlbHead(4294967295u, layout, sink) ? WriteResult{}
                                                             : WriteResult{WriteOutcome::Failed};
            });
            EXPECT_EQ(head.size(), 12 + 8 + layout.jsonRoom + 8);
        }
    }
}

} // namespace
} // namespace arbolith
