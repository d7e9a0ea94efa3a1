#include "render/TreeImage.h"

#include "render/RasterSurface.h"
#include "tree/DrawingRun.h"

namespace arbolith {

std::optional<PixelImage> RenderTreeImage(const TreeParameters& parameters, int width, int height,
                                          RunMonitor* monitor, GrowthPath path, ViewAngles view) {
    PixelImage image(width, height);
    RasterSurface surface(image);
    if (!DrawTurnedTreeRun(surface, parameters, view, monitor, path)) {
        return std::nullopt;
    }
    return image;
}

} // namespace arbolith
