#pragma once

#include <string>

#include "output/Formats.h"
#include "render/WriteResult.h"
#include "values/ParameterFile.h"

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

// Writes the set's parameter text to `path`, whole or not at all.
WriteResult WriteParameterFile(const std::string& path, const ParameterSet& set);

} // namespace arbolith
