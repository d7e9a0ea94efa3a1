#pragma once

#include "mesh/Mesher.h"
#include "render/ByteSink.h"

namespace arbolith {

struct PreparedFile;

// Writes the tree as a binary glTF 2.0 file (.glb) in the space of ModelSpace: one node holding
// one mesh, or with `levelsOfDetail` that many meshes of the tree (PlanMeshes), each in a node of
// its own named tree_LOD0, tree_LOD1 and so on, under one node named tree. A mesh is triangles in
// primitives of at most 65,535 vertices (kGlbPrimitiveVertices), each solid whole in one, with
// indices of bytes or 16-bit words; its vertices (GlbVertex) hold positions, quantized normals,
// texture coordinates and the growth attribute _GROWTH. One material, the picture's brown. Its
// head (the JSON, which states the counts, the bounds and the byte lengths, in a room padded with
// spaces that the survey of the tree sizes) comes first, then the vertices, then the indices.
// The tree is surveyed in a first growth. Into a file being prepared each mesh is then written
// in one growth: the vertices go straight to the file and the indices into a scratch file beside
// it, appended at the end, and the head is written last. Through a plain sink each mesh grows
// three times (to measure it, to write its vertices, to write its triangles). Either way memory
// stays flat and the bytes are the same. A tree too large for the 4 GiB a .glb can hold fails:
// through a sink before anything is written, into a file as soon as it passes the size.
WriteResult WriteGlb(const TreeOrder& tree, const ByteSink& sink, RunMonitor* monitor = nullptr,
                     const PreparedFile* file = nullptr, int levelsOfDetail = 0);

// The most bytes the .glb of a tree of `branches` branches can take, with that many levels of
// detail.
std::uint64_t GlbMostBytes(std::uint64_t branches, int levelsOfDetail = 0);

} // namespace arbolith
