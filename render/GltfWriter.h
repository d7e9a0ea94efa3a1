#pragma once

#include "render/ByteSink.h"
#include "render/TreeMesh.h"

namespace arbolith {

// Writes the tree as a binary glTF 2.0 file (.glb): one node holding one mesh, a list of
// triangles with shared vertices (positions and 32-bit indices) and one material, the picture's
// brown, in the space of ModelSpace. The whole mesh must be measured before it is written, so
// the tree is grown three times (to measure it, to write its vertices, to write its triangles)
// and memory stays flat whatever its size. A tree too large for the 4 GiB a .glb can hold fails
// before anything is written.
WriteResult WriteGlb(const TreeOrder& tree, const ByteSink& sink, RunMonitor* monitor = nullptr);

} // namespace arbolith
