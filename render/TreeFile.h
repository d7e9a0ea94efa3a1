#pragma once

#include <string>

#include "render/TreeFormats.h"
#include "render/WriteResult.h"

namespace arbolith {

// Writes the order's tree in the format to the file at `path` ("-" is standard output), whole or
// not at all; an OBJ and the material library it names beside it are one output, and an OBJ to
// a stream goes alone, naming none. Unless the output is written, `failedFile` names the file it
// ended at.
struct TreeFileResult : WriteResult {
    std::string failedFile;
};
TreeFileResult WriteTreeFile(const std::string& path, Format format, const TreeOrder& order,
                             WriteSettings settings = {});

} // namespace arbolith
