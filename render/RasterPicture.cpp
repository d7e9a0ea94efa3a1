#include "render/RasterPicture.h"

#include "render/PipelineSurface.h"
#include "render/RasterSurface.h"
#include "tree/DrawingRun.h"

namespace arbolith {

std::optional<PixelImage> RenderTreeImage(const TreeOrder& order, int width, int height,
                                          RunMonitor* monitor) {
    PixelImage image(width, height);
    RasterSurface surface(image);
    if (DrawTreeOnBothCores(surface, order, monitor).stopped) {
        return std::nullopt;
    }
    return image;
}

} // namespace arbolith
