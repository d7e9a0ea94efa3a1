#pragma once

#include <functional>
#include <string>

#include "render/OutputFile.h"

namespace arbolith {

// Writes an OBJ naming the material library `library` (none when it is empty).
using WriteObjContent =
    std::function<WriteResult(const ByteSink& sink, const std::string& library)>;

// An OBJ and its material library are one output, written whole or not at all: the library goes
// beside the file the OBJ replaces, links followed, under the name MaterialLibraryPath gives it
// there, which the OBJ names. An OBJ to a stream (standard output, a device, a FIFO) is written
// alone and names no library, since nothing is made beside a stream. Unless the output is
// written, `failed` is set to the name of the file it ended at: `path`, or the library's.
WriteResult WriteObjFiles(const std::string& path, const WriteObjContent& writeObj,
                          std::string& failed);

} // namespace arbolith
