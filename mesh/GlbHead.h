#pragma once

#include <cstdint>
#include <limits>
#include <span>
#include <string>

#include "mesh/Mesher.h"

namespace arbolith {

// A .glb's layout: the file's header, the JSON chunk, then the binary chunk with the vertices
// (positions and normals, interleaved) before the indices.
inline constexpr std::uint64_t kGlbMostBytes = std::numeric_limits<std::uint32_t>::max();
inline constexpr std::uint64_t kGlbVertexBytes = sizeof(MeshVertex);
inline constexpr std::uint64_t kGlbTriangleBytes = 3 * sizeof(std::uint32_t);
// The JSON's room, whatever the tree: its text, far shorter, is padded with spaces to this, so
// that a file written in one growth knows where its data starts before it knows the counts.
inline constexpr std::uint64_t kGlbJsonBytes = 1536;
// Everything before the vertices, and before the binary chunk's header.
inline constexpr std::uint64_t kGlbHeadBytes = 12 + 8 + kGlbJsonBytes + 8;
inline constexpr std::uint64_t kGlbJsonEnd = 12 + 8 + kGlbJsonBytes;

// What the head states of the mesh: its counts and the bounds of its positions.
struct GlbMeshSize {
    std::uint64_t vertices = 0;
    std::uint64_t triangles = 0;
    MeshPoint min{std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
                  std::numeric_limits<float>::max()};
    MeshPoint max{std::numeric_limits<float>::lowest(), std::numeric_limits<float>::lowest(),
                  std::numeric_limits<float>::lowest()};

    void Add(std::span<const MeshVertex> piece, std::uint64_t pieceTriangles);
    std::uint64_t BinaryBytes() const {
        return vertices * kGlbVertexBytes + triangles * kGlbTriangleBytes;
    }
    // The whole file's; a mesh of no vertex has no binary chunk.
    std::uint64_t FileBytes() const {
        return vertices > 0 ? kGlbHeadBytes + BinaryBytes() : kGlbJsonEnd;
    }
};

// Everything before the vertices: the header, the JSON chunk padded to its room and, for a mesh
// with vertices, the binary chunk's header. Empty if the JSON outgrows its room, which the
// longest numbers a .glb can state do not.
std::string GlbHead(std::uint32_t second, const GlbMeshSize& size);

} // namespace arbolith
