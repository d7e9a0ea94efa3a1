#pragma once

#include <string>

#include "cli/Progress.h"
#include "cli/RenderOptions.h"
#include "render/OutputFile.h"

namespace arbolith::cli {

// Draws the options' tree in `format` through the sink, with the clock as the caller has fixed
// it. `library` is the material library an OBJ names (none if empty); `holds` is set to what a
// 3-D file holds, in words.
WriteResult DrawTreeTo(const ByteSink& sink, Format format, const RenderOptions& options,
                       Progress& progress, const std::string& library, std::string& holds);

} // namespace arbolith::cli
