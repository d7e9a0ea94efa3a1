#include "mesh/GltfWriter.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "mesh/GlbHead.h"
#include "mesh/IndexScratch.h"
#include "render/OutputFile.h"

namespace arbolith {

namespace {

// `bytes` is what the whole file would take, or 0 where writing it stopped before the end.
WriteResult TooLarge(std::uint64_t bytes, const MeshCounts& counts) {
    return {WriteOutcome::Failed,
            "the tree's .glb would take " +
                (bytes > 0 ? std::to_string(bytes) + " bytes, more than the " : "more than the ") +
                std::to_string(kGlbMostBytes) + " bytes a .glb can hold; write .obj instead",
            counts};
}

const WriteResult kHeadTooLong{WriteOutcome::Failed, "the .glb's head outgrew its room"};

// Vertices as a .glb holds them, put a block at a time.
void PutVertices(ChunkedSink& out, std::span<const MeshVertex> vertices) {
    constexpr std::size_t kBlock = 32;
    std::array<GlbVertex, kBlock> block;
    while (!vertices.empty()) {
        const auto next = vertices.first(std::min(vertices.size(), kBlock));
        std::transform(next.begin(), next.end(), block.begin(), ToGlb);
        out.Put(block.data(), next.size() * sizeof(GlbVertex));
        vertices = vertices.subspan(next.size());
    }
}

// The runs of indices of every primitive, in the file's order.
std::vector<IndexRun> RunsOf(const GlbLayout& layout) {
    std::vector<IndexRun> runs;
    for (const auto& primitives : layout.meshes) {
        for (const GlbPrimitive& p : primitives) {
            runs.push_back({p.firstVertex, 3 * p.triangles, p.IndexBytes()});
        }
    }
    return runs;
}

// What the survey tells of the file: its meshes' plans and the head's room.
struct GlbPlan {
    std::vector<MeshPlan> meshes;
    bool levelsOfDetail = false;
    std::uint64_t jsonRoom = 0;
    int passes = 0;
};

// Records the layout of a mesh as it is made.
class LayoutOutput : public MeshOutput {
public:
    explicit LayoutOutput(GlbLayout& layout) : layout_(layout) {}
    void Piece(std::span<const MeshVertex> newVertices,
               std::span<const MeshTriangle> triangles) override {
        layout_.Add(newVertices, triangles.size());
    }
    void PrimitiveEnds() override { layout_.StartPrimitive(); }

protected:
    GlbLayout& layout_;
};

// The growths of three a mesh: the vertices, or the triangles, of the layout measured before.
class PartWriter final : public MeshOutput {
public:
    PartWriter(ChunkedSink& out, IndexRuns* indices, std::uint64_t meshBase)
        : out_(out), indices_(indices), meshBase_(meshBase) {}
    void Piece(std::span<const MeshVertex> newVertices,
               std::span<const MeshTriangle> triangles) override {
        if (indices_ == nullptr) {
            PutVertices(out_, newVertices);
            return;
        }
        for (const MeshTriangle& t : triangles) {
            const std::uint32_t corners[3] = {static_cast<std::uint32_t>(meshBase_ + t.a),
                                              static_cast<std::uint32_t>(meshBase_ + t.b),
                                              static_cast<std::uint32_t>(meshBase_ + t.c)};
            indices_->Put(corners, 3);
        }
    }
    bool Failed() const override { return out_.Failed(); }

private:
    ChunkedSink& out_;
    IndexRuns* indices_;
    std::uint64_t meshBase_;
};

WriteResult ThreePasses(const TreeOrder& tree, const ByteSink& sink, RunMonitor* monitor,
                        const GlbPlan& plan, std::uint64_t branchesPerPass) {
    const int meshes = static_cast<int>(plan.meshes.size());
    GlbLayout layout;
    layout.levelsOfDetail = plan.levelsOfDetail;
    layout.jsonRoom = plan.jsonRoom;
    std::vector<MeshCounts> measured;
    int pass = 1;
    for (const MeshPlan& mesh : plan.meshes) {
        layout.StartMesh();
        LayoutOutput measure(layout);
        const MeshRun run =
            MeshTree(tree, mesh, measure, monitor, {pass++, plan.passes, branchesPerPass});
        layout.EndMesh();
        if (run.stopped) {
            return {WriteOutcome::Stopped, {}, run.counts};
        }
        measured.push_back(run.counts);
    }
    if (layout.FileBytes() > kGlbMostBytes) {
        return TooLarge(layout.FileBytes(), measured.front());
    }
    if (GlbJsonBytes(tree.second, layout) > layout.jsonRoom) {
        return kHeadTooLong;
    }
    ChunkedSink out(sink);
    PutGlbHead(tree.second, layout, [&out](const void* data, std::size_t size) {
        out.Put(data, size);
        return !out.Failed();
    });
    const std::vector<IndexRun> runs = RunsOf(layout);
    IndexRuns indices(out, runs);
    for (int stage = 0; stage < 2 && layout.Vertices() > 0; ++stage) {
        std::uint64_t meshBase = 0;
        for (int m = 0; m < meshes; ++m) {
            PartWriter writer(out, stage == 1 ? &indices : nullptr, meshBase);
            const MeshRun run = MeshTree(tree, plan.meshes[m], writer, monitor,
                                         {pass++, plan.passes, branchesPerPass});
            if (run.stopped) {
                return {WriteOutcome::Stopped, {}, run.counts};
            }
            if (out.Failed()) {
                return {WriteOutcome::Failed, {}, run.counts};
            }
            if (run.counts.vertices != measured[m].vertices ||
                run.counts.triangles != measured[m].triangles) {
                // The clock is fixed for every pass, so this is a fault of ours, not the user's.
                return {WriteOutcome::Failed, "the tree came out differently on a second growth",
                        run.counts};
            }
            meshBase += run.counts.vertices;
        }
    }
    if (!out.Flush()) {
        return {WriteOutcome::Failed, {}, measured.front()};
    }
    WriteResult result{WriteOutcome::Written, {}, measured.front()};
    result.lesserDetails.assign(measured.begin() + 1, measured.end());
    return result;
}

struct CloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using ScratchFile = std::unique_ptr<std::FILE, CloseFile>;

// The one growth of a mesh into a file: the vertices straight on, the indices into the scratch
// file.
class OnePassWriter final : public LayoutOutput {
public:
    OnePassWriter(GlbLayout& layout, ChunkedSink& out, IndexScratch& indices)
        : LayoutOutput(layout), out_(out), indices_(indices) {}

    void Piece(std::span<const MeshVertex> newVertices,
               std::span<const MeshTriangle> triangles) override {
        if (tooLarge_) {
            return;
        }
        if (layout_.Vertices() == 0 && !newVertices.empty()) {
            // The binary chunk's header, written with the head at the end.
            out_.Put(std::array<char, 8>{}.data(), 8);
        }
        layout_.Add(newVertices, triangles.size());
        if (layout_.FileBytes() > kGlbMostBytes) {
            tooLarge_ = true;
            return;
        }
        PutVertices(out_, newVertices);
        indices_.Add(newVertices.size(), triangles);
    }
    bool Failed() const override { return tooLarge_ || out_.Failed() || indices_.Failed(); }
    bool TooLarge() const { return tooLarge_; }

private:
    ChunkedSink& out_;
    IndexScratch& indices_;
    bool tooLarge_ = false;
};

WriteResult OnePass(const TreeOrder& tree, const ByteSink& sink, RunMonitor* monitor,
                    const PreparedFile& file, const GlbPlan& plan, std::uint64_t branchesPerPass) {
    const ScratchFile scratch(file.scratch());
    if (!scratch) {
        return {WriteOutcome::Failed, std::strerror(errno)};
    }
    GlbLayout layout;
    layout.levelsOfDetail = plan.levelsOfDetail;
    layout.jsonRoom = plan.jsonRoom;
    ChunkedSink out(sink);
    // The head's room, written over at the end.
    const std::uint64_t room = 12 + 8 + layout.jsonRoom;
    out.Put(std::string(room, '\0').data(), room);
    IndexScratch indices(scratch.get());
    std::vector<MeshCounts> written;
    int pass = 1;
    for (const MeshPlan& mesh : plan.meshes) {
        layout.StartMesh();
        indices.StartMesh();
        OnePassWriter writer(layout, out, indices);
        const MeshRun run =
            MeshTree(tree, mesh, writer, monitor, {pass++, plan.passes, branchesPerPass});
        layout.EndMesh();
        if (writer.TooLarge() || layout.FileBytes() > kGlbMostBytes) {
            return TooLarge(0, run.counts);
        }
        if (run.stopped) {
            return {WriteOutcome::Stopped, {}, run.counts};
        }
        written.push_back(run.counts);
    }
    if (!out.Flush() || !indices.AppendTo(sink, RunsOf(layout))) {
        const int error = indices.Error();
        return {WriteOutcome::Failed, error != 0 ? std::strerror(error) : std::string(),
                written.front()};
    }
    if (GlbJsonBytes(tree.second, layout) > layout.jsonRoom) {
        return kHeadTooLong;
    }
    std::uint64_t at = 0;
    const bool rewritten = PutGlbHead(tree.second, layout, [&](const void* data, std::size_t size) {
        const bool taken = file.rewrite(at, data, size);
        at += size;
        return taken;
    });
    if (!rewritten) {
        return {WriteOutcome::Failed, {}, written.front()};
    }
    WriteResult result{WriteOutcome::Written, {}, written.front()};
    result.lesserDetails.assign(written.begin() + 1, written.end());
    return result;
}

} // namespace

WriteResult WriteGlb(const TreeOrder& tree, const ByteSink& sink, RunMonitor* monitor,
                     const PreparedFile* file, int levelsOfDetail) {
    const bool onePass = file != nullptr && file->rewrite;
    const int meshes = std::max(levelsOfDetail, 1);
    const int passes = 1 + meshes * (onePass ? 1 : 3);
    const SurveyRun survey = SurveyTree(tree, levelsOfDetail > 0, monitor, {0, passes, 0});
    if (survey.stopped) {
        return {WriteOutcome::Stopped};
    }
    GlbPlan plan{PlanMeshes(survey.survey, levelsOfDetail, kGlbPrimitiveVertices),
                 levelsOfDetail > 0,
                 GlbJsonRoom(static_cast<std::size_t>(meshes),
                             GlbMostPrimitives(survey.survey.branches), levelsOfDetail > 0),
                 passes};
    if (onePass) {
        return OnePass(tree, sink, monitor, *file, plan, survey.branchesGrown);
    }
    return ThreePasses(tree, sink, monitor, plan, survey.branchesGrown);
}

std::uint64_t GlbMostBytes(std::uint64_t branches, int levelsOfDetail) {
    // No level holds more than the full mesh, each of its primitives with 16-bit indices padded
    // by at most 3 bytes.
    const std::uint64_t meshes = static_cast<std::uint64_t>(std::max(levelsOfDetail, 1));
    const std::uint64_t primitives = GlbMostPrimitives(branches);
    const std::uint64_t mesh = branches * kMostBranchVertices * kGlbVertexBytes +
                               branches * kMostBranchTriangles * 3 * 2 + primitives * 3;
    return 12 + 8 + GlbJsonRoom(meshes, primitives, levelsOfDetail > 0) + 8 + meshes * mesh;
}

} // namespace arbolith
