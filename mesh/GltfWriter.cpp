#include "mesh/GltfWriter.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

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

// Triangles as 32-bit indices, put a block at a time.
void PutIndices(ChunkedSink& out, std::span<const MeshTriangle> triangles) {
    constexpr std::size_t kBlock = 32;
    std::array<std::uint32_t, 3 * kBlock> indices;
    while (!triangles.empty()) {
        const auto block = triangles.first(std::min(triangles.size(), kBlock));
        std::size_t count = 0;
        for (const MeshTriangle& t : block) {
            indices[count++] = static_cast<std::uint32_t>(t.a);
            indices[count++] = static_cast<std::uint32_t>(t.b);
            indices[count++] = static_cast<std::uint32_t>(t.c);
        }
        out.Put(indices.data(), count * sizeof(std::uint32_t));
        triangles = triangles.subspan(block.size());
    }
}

// Puts the head, or fails if it cannot be made.
bool PutHead(ChunkedSink& out, std::uint32_t second, const GlbMeshSize& size) {
    const std::string head = GlbHead(second, size);
    out.Put(head.data(), head.size());
    return !head.empty();
}

const WriteResult kHeadTooLong{WriteOutcome::Failed, "the .glb's head outgrew its room"};

// The first growth of three: the counts and bounds.
class Measure final : public MeshOutput {
public:
    void Piece(std::span<const MeshVertex> newVertices,
               std::span<const MeshTriangle> triangles) override {
        size.Add(newVertices, triangles.size());
    }
    GlbMeshSize size;
};

// The second or the third growth of three: the vertices, or the triangles.
class PartWriter final : public MeshOutput {
public:
    PartWriter(ChunkedSink& out, bool vertices) : out_(out), vertices_(vertices) {}
    void Piece(std::span<const MeshVertex> newVertices,
               std::span<const MeshTriangle> triangles) override {
        if (vertices_) {
            out_.Put(newVertices.data(), newVertices.size_bytes());
        } else {
            PutIndices(out_, triangles);
        }
    }
    bool Failed() const override { return out_.Failed(); }

private:
    ChunkedSink& out_;
    bool vertices_;
};

WriteResult ThreePasses(const TreeOrder& tree, const ByteSink& sink, RunMonitor* monitor) {
    constexpr int kPasses = 3;
    Measure measure;
    MeshRun run = MeshTree(tree, measure, monitor, {0, kPasses, 0});
    const MeshCounts measured = run.counts;
    if (run.stopped) {
        return {WriteOutcome::Stopped, {}, measured};
    }
    if (measure.size.FileBytes() > kGlbMostBytes) {
        return TooLarge(measure.size.FileBytes(), measured);
    }
    ChunkedSink out(sink);
    if (!PutHead(out, tree.second, measure.size)) {
        return kHeadTooLong;
    }
    for (int pass = 1; pass < kPasses && measured.vertices > 0; ++pass) {
        PartWriter part(out, pass == 1);
        run = MeshTree(tree, part, monitor, {pass, kPasses, run.branchesGrown});
        if (run.stopped) {
            return {WriteOutcome::Stopped, {}, run.counts};
        }
        if (out.Failed()) {
            return {WriteOutcome::Failed, {}, run.counts};
        }
        if (run.counts.vertices != measured.vertices ||
            run.counts.triangles != measured.triangles) {
            // The clock is fixed for every pass, so this is a fault of ours, not the user's.
            return {WriteOutcome::Failed, "the tree came out differently on a second growth",
                    run.counts};
        }
    }
    if (!out.Flush()) {
        return {WriteOutcome::Failed, {}, measured};
    }
    return {WriteOutcome::Written, {}, measured};
}

struct CloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using ScratchFile = std::unique_ptr<std::FILE, CloseFile>;

// The one growth into a file: the vertices straight on, the indices into the scratch file.
class OnePassWriter final : public MeshOutput {
public:
    OnePassWriter(ChunkedSink& out, std::FILE* scratch) : out_(out), indices_(scratch) {}

    void Piece(std::span<const MeshVertex> newVertices,
               std::span<const MeshTriangle> triangles) override {
        if (tooLarge_) {
            return;
        }
        if (size_.vertices == 0) {
            // The binary chunk's header, written with the head at the end.
            out_.Put(std::array<char, 8>{}.data(), 8);
        }
        size_.Add(newVertices, triangles.size());
        if (size_.FileBytes() > kGlbMostBytes) {
            tooLarge_ = true;
            return;
        }
        out_.Put(newVertices.data(), newVertices.size_bytes());
        indices_.Add(newVertices.size(), triangles);
    }
    bool Failed() const override { return tooLarge_ || out_.Failed() || indices_.Failed(); }

    IndexScratch& Indices() { return indices_; }
    const GlbMeshSize& Size() const { return size_; }
    bool TooLarge() const { return tooLarge_; }

private:
    ChunkedSink& out_;
    IndexScratch indices_;
    GlbMeshSize size_;
    bool tooLarge_ = false;
};

WriteResult OnePass(const TreeOrder& tree, const ByteSink& sink, RunMonitor* monitor,
                    const PreparedFile& file) {
    const ScratchFile scratch(file.scratch());
    if (!scratch) {
        return {WriteOutcome::Failed, std::strerror(errno)};
    }
    ChunkedSink out(sink);
    // The head's room, written over at the end.
    out.Put(std::string(kGlbJsonEnd, '\0').data(), kGlbJsonEnd);
    OnePassWriter writer(out, scratch.get());
    const MeshRun run = MeshTree(tree, writer, monitor);
    if (writer.TooLarge()) {
        return TooLarge(0, run.counts);
    }
    if (run.stopped) {
        return {WriteOutcome::Stopped, {}, run.counts};
    }
    if (!out.Flush() || !writer.Indices().AppendTo(sink)) {
        const int error = writer.Indices().Error();
        return {WriteOutcome::Failed, error != 0 ? std::strerror(error) : std::string(),
                run.counts};
    }
    const std::string head = GlbHead(tree.second, writer.Size());
    if (head.empty()) {
        return kHeadTooLong;
    }
    if (!file.rewrite(0, head.data(), head.size())) {
        return {WriteOutcome::Failed, {}, run.counts};
    }
    return {WriteOutcome::Written, {}, run.counts};
}

} // namespace

WriteResult WriteGlb(const TreeOrder& tree, const ByteSink& sink, RunMonitor* monitor,
                     const PreparedFile* file) {
    if (file != nullptr && file->rewrite) {
        return OnePass(tree, sink, monitor, *file);
    }
    return ThreePasses(tree, sink, monitor);
}

std::uint64_t GlbMostBytes(std::uint64_t branches) {
    GlbMeshSize size;
    size.vertices = branches * kMostBranchVertices;
    size.triangles = branches * kMostBranchTriangles;
    return size.FileBytes();
}

} // namespace arbolith
