#pragma once

#include <string>

#include <QIODevice>

#include "cli/Progress.h"
#include "cli/RenderOptions.h"

namespace arbolith::cli {

struct DrawResult {
    enum Outcome { Done, Stopped, Failed };
    Outcome outcome;
    std::string reason; // why it failed
};

// Draws the options' tree in `format` onto `device`, with the clock as the caller has fixed it.
DrawResult DrawTreeTo(QIODevice& device, Format format, const RenderOptions& options,
                      Progress& progress);

} // namespace arbolith::cli
