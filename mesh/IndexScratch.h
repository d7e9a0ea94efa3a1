#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <span>

#include "mesh/Mesher.h"
#include "render/ByteSink.h"

namespace arbolith {

// The indices of one primitive of a .glb: counted from its first vertex, in bytes or 16-bit
// words, padded to a whole number of 4-byte words.
struct IndexRun {
    std::uint64_t firstVertex;
    std::uint64_t indices;
    std::uint64_t bytesPerIndex;
};

// Hands a mesh's indices on as its primitives take them: fed every index in order, counted from
// the first vertex of all, it puts each run's in its own width.
class IndexRuns {
public:
    IndexRuns(ChunkedSink& out, std::span<const IndexRun> runs) : out_(out), runs_(runs) {}
    void Put(const std::uint32_t* indices, std::size_t count);

private:
    ChunkedSink& out_;
    std::span<const IndexRun> runs_;
    std::size_t run_ = 0;
    std::uint64_t done_ = 0; // of the run
};

// Meshes' triangles kept in a scratch file while their vertices are written, to follow them at
// the end as a .glb's primitives take them (IndexRuns). A piece's indices are kept as steps from
// its first new vertex, a byte each, and a piece whose steps are those of one of the last few kinds
// of piece (the mesher makes a handful) as a single byte: a tree's indices take a byte or two a
// branch rather than 288, so waiting costs the disk next to nothing.
class IndexScratch {
public:
    // Writes into `file`, which it does not close.
    explicit IndexScratch(std::FILE* file);
    IndexScratch(const IndexScratch&) = delete;
    IndexScratch& operator=(const IndexScratch&) = delete;

    // A new mesh, whose triangles count its vertices from 0.
    void StartMesh() { meshBase_ = vertices_; }
    // The next piece: how many vertices it adds, and its triangles.
    void Add(std::uint64_t newVertices, std::span<const MeshTriangle> triangles);
    bool Failed() const { return error_ != 0; }
    // Hands every index on, in order, in the runs' widths. False if the scratch file failed, with
    // Error() set, or the sink gave up, with Error() 0.
    bool AppendTo(const ByteSink& sink, std::span<const IndexRun> runs);
    // The system's error number of the scratch file's failure.
    int Error() const { return error_; }

private:
    static constexpr std::size_t kKinds = 16;
    static constexpr std::size_t kMostTriangles = 255;
    // The steps of a piece from its first new vertex to each corner of its triangles.
    struct Kind {
        std::uint8_t vertices = 0;
        std::uint8_t triangles = 0;
        std::array<std::int8_t, 3 * kMostTriangles> steps{};
        bool operator==(const Kind& other) const;
    };
    class Reader;

    // Makes `kind` of the piece; false if it does not fit in bytes.
    bool KindOf(std::uint64_t newVertices, std::span<const MeshTriangle> triangles, Kind& kind);
    void Remember(const Kind& kind);

    std::FILE* file_;
    int error_ = 0;
    ByteSink toFile_;
    ChunkedSink out_;
    std::uint64_t vertices_ = 0;
    std::uint64_t meshBase_ = 0;
    // The last kinds of piece seen, the same on writing and reading back.
    std::array<Kind, kKinds> kinds_{};
    std::size_t kindsSeen_ = 0;
    Kind candidate_;
};

} // namespace arbolith
