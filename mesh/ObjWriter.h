#pragma once

#include <cstdint>
#include <string>

#include "mesh/Mesher.h"
#include "render/ByteSink.h"

namespace arbolith {

// Writes the tree as a Wavefront OBJ file, in one growth: every solid's vertices, then its
// triangles, in the space of ModelSpace, all of one object with the material "bark" from the
// library `materialLibrary` (the .mtl's name beside the file), or with no material when it is
// empty.
WriteResult WriteObj(const TreeOrder& tree, const std::string& materialLibrary,
                     const ByteSink& sink, RunMonitor* monitor = nullptr);

// The most bytes the OBJ of a tree of `branches` branches can take, naming this material library.
std::uint64_t ObjMostBytes(std::uint64_t branches, const std::string& materialLibrary);

// The material library that an OBJ names: "bark", the picture's brown in linear RGB.
bool WriteMaterialLibrary(const ByteSink& sink);

// The material library's path beside an OBJ's: tree.obj's is tree.mtl, and tree.mtl's, not to
// overwrite it, tree.mtl.mtl.
std::string MaterialLibraryPath(const std::string& objPath);

} // namespace arbolith
