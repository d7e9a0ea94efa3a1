#pragma once

#include "render/ByteSink.h"
#include "render/OutputFile.h"
#include "tree/TreePainter.h"
#include "tree/TreeParameters.h"
#include "tree/ViewTurn.h"

namespace arbolith {

enum class PictureFormat { Png, Svg, Pdf };

// Draws one run's tree in the format through the sink, as the canvas shows it from `view` on a
// picture of width x height pixels, with the clock as the caller has set it (see FixedClock).
// Stopped when the monitor stops the run; a sink that gives up ends the writing early.
WriteResult WriteTreePicture(PictureFormat format, const TreeParameters& parameters, int width,
                             int height, ViewAngles view, RunMonitor* monitor, GrowthPath path,
                             const ByteSink& sink);

} // namespace arbolith
