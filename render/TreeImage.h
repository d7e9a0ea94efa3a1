#pragma once

#include <optional>

#include "render/PixelImage.h"
#include "tree/TreePainter.h"
#include "tree/TreeParameters.h"
#include "tree/ViewTurn.h"

namespace arbolith {

// Draws one run's tree into a new white picture of width x height, as the canvas shows it, seen
// from `view`. The generator reads the clock as the caller has set it (see FixedClock). Nothing
// if the monitor stopped the run.
std::optional<PixelImage> RenderTreeImage(const TreeParameters& parameters, int width, int height,
                                          RunMonitor* monitor = nullptr,
                                          GrowthPath path = GrowthPath::RepeatsOnce,
                                          ViewAngles view = {});

} // namespace arbolith
