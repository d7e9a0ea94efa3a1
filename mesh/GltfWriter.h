#pragma once

#include "mesh/Mesher.h"
#include "render/ByteSink.h"

namespace arbolith {

struct PreparedFile;

// Writes the tree as a binary glTF 2.0 file (.glb): one node holding one mesh, a list of
// triangles with shared vertices (positions and normals, interleaved, and 32-bit indices) and one
// material, the picture's brown, in the space of ModelSpace. Its head (the JSON, which states the
// counts, the bounds and the byte lengths, in a fixed room padded with spaces) comes first, then
// the vertices, then the indices. Into a file being prepared it is written in one growth: the
// vertices go straight to the file and the indices into a scratch file beside it, appended at
// the end, and the head is written last. Through a plain sink the tree grows three times (to
// measure it, to write its vertices, to write its triangles). Either way memory stays flat and
// the bytes are the same. A tree too large for the 4 GiB a .glb can hold fails: through a sink
// before anything is written, into a file as soon as it passes the size.
WriteResult WriteGlb(const TreeOrder& tree, const ByteSink& sink, RunMonitor* monitor = nullptr,
                     const PreparedFile* file = nullptr);

// The most bytes the .glb of a tree of `branches` branches can take.
std::uint64_t GlbMostBytes(std::uint64_t branches);

} // namespace arbolith
