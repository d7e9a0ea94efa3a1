#pragma once

#include <string>

#include <QIODevice>

#include "cli/Progress.h"
#include "cli/RenderOptions.h"

namespace arbolith::cli {

struct DrawResult {
    enum Outcome { Done, Stopped, Failed };
    Outcome outcome;
    std::string reason;    // why it failed
    std::string written{}; // what a 3-D file holds, in words
};

// Draws the options' tree in `format` onto `device`, with the clock as the caller has fixed it.
// `name` is the file's, which an OBJ names its material library after.
DrawResult DrawTreeTo(QIODevice& device, Format format, const RenderOptions& options,
                      Progress& progress, const std::string& name = {});

// The material library beside an OBJ.
DrawResult WriteMaterialLibraryTo(QIODevice& device);

} // namespace arbolith::cli
