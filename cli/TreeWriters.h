#pragma once

#include "cli/Progress.h"
#include "cli/RenderOptions.h"
#include "render/OutputFile.h"

namespace arbolith::cli {

// Draws the options' tree in `format` through the sink, with the clock as the caller has fixed
// it.
WriteResult DrawTreeTo(const ByteSink& sink, Format format, const RenderOptions& options,
                       Progress& progress);

} // namespace arbolith::cli
