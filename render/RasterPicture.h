#pragma once

#include <optional>

#include "render/PixelImage.h"
#include "tree/TreeOrder.h"
#include "tree/TreePainter.h"

namespace arbolith {

// Draws the order's tree into a new white picture of width x height, as the canvas shows it.
// Nothing if the monitor stopped the run.
std::optional<PixelImage> RenderTreeImage(const TreeOrder& order, int width, int height,
                                          RunMonitor* monitor = nullptr);

} // namespace arbolith
