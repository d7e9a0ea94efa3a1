#pragma once

#include <cstdint>
#include <string>

#include "mesh/Mesher.h"
#include "render/ByteSink.h"

namespace arbolith {

// Writes the tree as a Wavefront OBJ file, surveyed in a first growth and then written in one
// growth a mesh: every solid's vertices (positions with the growth as a grey vertex colour,
// texture coordinates, normals), then its triangles, in the space of ModelSpace. One object
// named tree, or with `levelsOfDetail` that many objects of the tree (PlanMeshes) named tree_LOD0,
// tree_LOD1 and so on, each with the material "bark" from the library `materialLibrary` (the
// .mtl's name beside the file), or with no material when it is empty.
WriteResult WriteObj(const TreeOrder& tree, const std::string& materialLibrary,
                     const ByteSink& sink, RunMonitor* monitor = nullptr, int levelsOfDetail = 0);

// The most bytes the OBJ of a tree of `branches` branches can take, naming this material library,
// with that many levels of detail.
std::uint64_t ObjMostBytes(std::uint64_t branches, const std::string& materialLibrary,
                           int levelsOfDetail = 0);

// The material library that an OBJ names: "bark", the picture's brown in linear RGB.
bool WriteMaterialLibrary(const ByteSink& sink);

// The material library's path beside an OBJ's: tree.obj's is tree.mtl, and tree.mtl's, not to
// overwrite it, tree.mtl.mtl.
std::string MaterialLibraryPath(const std::string& objPath);

} // namespace arbolith
