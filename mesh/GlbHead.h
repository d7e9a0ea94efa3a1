#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <vector>

#include "mesh/Mesher.h"
#include "render/ByteSink.h"

namespace arbolith {

// A .glb's layout: the file's header, the JSON chunk, then the binary chunk with every mesh's
// vertices (interleaved, in the order of the meshes) before every primitive's indices.
inline constexpr std::uint64_t kGlbMostBytes = std::numeric_limits<std::uint32_t>::max();
// A primitive's indices are bytes or 16-bit words, whichever hold its vertices: glTF keeps the
// largest value of each for restarting strips, so a primitive holds at most 65,535 vertices.
inline constexpr std::uint64_t kGlbPrimitiveVertices = 65535;
inline constexpr std::uint64_t kGlbByteIndexVertices = 255;

// A vertex as a .glb holds it, 28 bytes: position (3 floats); normal (3 signed bytes, each a
// share of 127, and a byte of padding: glTF's quantized attributes, KHR_mesh_quantization);
// texture coordinates (2 floats); growth (a float, the attribute _GROWTH).
struct GlbVertex {
    float position[3];
    std::int8_t normal[3];
    std::int8_t padding;
    float texture[2];
    float growth;
};
static_assert(sizeof(GlbVertex) == 28);
inline constexpr std::uint64_t kGlbVertexBytes = sizeof(GlbVertex);
// A unit component as a share of 127, to the nearest (halves away from 0).
inline std::int8_t GlbShare(float component) {
    const float scaled = std::clamp(component, -1.0f, 1.0f) * 127.0f;
    return static_cast<std::int8_t>(scaled + (scaled < 0 ? -0.5f : 0.5f));
}

// In line: a .glb converts every vertex it writes.
inline GlbVertex ToGlb(const MeshVertex& v) {
    return {{v.position[0], v.position[1], v.position[2]},
            {GlbShare(v.normal[0]), GlbShare(v.normal[1]), GlbShare(v.normal[2])},
            0,
            {v.texture[0], v.texture[1]},
            v.growth};
}

// One primitive: a run of vertices and the triangles that use them alone.
struct GlbPrimitive {
    std::uint64_t firstVertex = 0; // of the whole binary chunk
    std::uint64_t vertices = 0;
    std::uint64_t triangles = 0;
    MeshPoint min{std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
                  std::numeric_limits<float>::max()};
    MeshPoint max{std::numeric_limits<float>::lowest(), std::numeric_limits<float>::lowest(),
                  std::numeric_limits<float>::lowest()};

    // Widens the bounds to hold the piece's vertices.
    void Bound(std::span<const MeshVertex> piece);
    std::uint64_t IndexBytes() const { return vertices <= kGlbByteIndexVertices ? 1 : 2; }
    // Its indices, padded to a whole number of 4-byte words.
    std::uint64_t IndexBlockBytes() const { return (3 * triangles * IndexBytes() + 3) / 4 * 4; }
};

// What the head states: every mesh's primitives, with their counts and bounds.
struct GlbLayout {
    // The meshes are levels of detail, named ..._LOD0, ..._LOD1 and so on; otherwise one mesh.
    bool levelsOfDetail = false;
    // The JSON's room: its text is padded with spaces to this, so that a file written in one
    // growth a mesh knows where its data starts before it knows the counts.
    std::uint64_t jsonRoom = 0;
    std::vector<std::vector<GlbPrimitive>> meshes;

    // A new mesh, with one primitive starting after every vertex before.
    void StartMesh();
    // A new primitive of the last mesh, after every vertex before.
    void StartPrimitive();
    // The next piece of the last primitive of the last mesh.
    void Add(std::span<const MeshVertex> piece, std::uint64_t triangles);
    // The same, with the bounds left as they are.
    void AddCounts(std::uint64_t vertices, std::uint64_t triangles);
    // Drops a last primitive that holds nothing.
    void EndMesh();

    std::uint64_t Vertices() const { return vertices_; }
    std::uint64_t IndexBytes() const;
    std::uint64_t BinaryBytes() const { return vertices_ * kGlbVertexBytes + IndexBytes(); }
    // Everything before the vertices, and the whole file; a file of no vertex has no binary
    // chunk.
    std::uint64_t HeadBytes() const { return 12 + 8 + jsonRoom + (vertices_ > 0 ? 8 : 0); }
    std::uint64_t FileBytes() const { return HeadBytes() + BinaryBytes(); }

private:
    std::uint64_t vertices_ = 0;
    // Of the primitives closed.
    std::uint64_t indexBytes_ = 0;
    bool meshOpen_ = false;
};

// The JSON's room for `meshes` meshes of at most `primitives` primitives each: their JSON with
// the longest numbers a .glb can state.
std::uint64_t GlbJsonRoom(std::size_t meshes, std::uint64_t primitives, bool levelsOfDetail);
// The most primitives a mesh of at most `branches` solids can take.
std::uint64_t GlbMostPrimitives(std::uint64_t branches);

// The length of the head's JSON, unpadded.
std::uint64_t GlbJsonBytes(std::uint32_t second, const GlbLayout& layout);

// Puts everything before the vertices: the header, the JSON chunk padded to its room and, for a
// mesh with vertices, the binary chunk's header, a piece at a time. False if the JSON outgrows
// its room, before anything is put, or if the sink gives up.
bool PutGlbHead(std::uint32_t second, const GlbLayout& layout, const ByteSink& sink);

} // namespace arbolith
