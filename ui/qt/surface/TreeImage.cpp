#include "ui/qt/surface/TreeImage.h"

#include <QPainter>

#include "tree/DrawingRun.h"
#include "ui/qt/surface/PainterSurface.h"

namespace arbolith {

QImage RenderTreeImage(const TreeParameters& parameters, QSize size, RunMonitor* monitor,
                       GrowthPath path) {
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull()) {
        return image;
    }
    image.fill(Qt::white);
    bool finished = false;
    {
        QPainter painter(&image);
        PainterSurface surface(painter);
        finished = DrawTreeRun(surface, parameters, monitor, path);
    }
    return finished ? image : QImage();
}

} // namespace arbolith
