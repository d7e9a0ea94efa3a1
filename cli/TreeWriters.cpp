#include "cli/TreeWriters.h"

#include <QImageWriter>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "tree/DrawingRun.h"
#include "ui/qt/surface/PainterSurface.h"
#include "ui/qt/surface/SvgSurface.h"
#include "ui/qt/surface/TreeImage.h"

namespace arbolith::cli {

namespace {

QSize Canvas(const RenderOptions& options) {
    return {options.width, options.height};
}

DrawResult WritePng(QIODevice& device, const RenderOptions& options, Progress& progress) {
    const QImage image = RenderTreeImage(options.tree, Canvas(options), &progress, options.path);
    if (progress.Stopped()) {
        return {DrawResult::Stopped, {}};
    }
    if (image.isNull()) {
        return {DrawResult::Failed, "not enough memory for the image"};
    }
    QImageWriter writer(&device, "png");
    if (!writer.write(image)) {
        return {DrawResult::Failed, writer.errorString().toStdString()};
    }
    return {DrawResult::Done, {}};
}

DrawResult WriteSvg(QIODevice& device, const RenderOptions& options, Progress& progress) {
    SvgSurface surface(device, Canvas(options));
    if (!DrawTreeRun(surface, options.tree, &progress, options.path)) {
        return {DrawResult::Stopped, {}};
    }
    if (!surface.Finish()) {
        return {DrawResult::Failed, device.errorString().toStdString()};
    }
    return {DrawResult::Done, {}};
}

// One page the size of the canvas, one point to the pixel.
DrawResult WritePdf(QIODevice& device, const RenderOptions& options, Progress& progress) {
    QPdfWriter writer(&device);
    writer.setCreator("arbolith-render");
    writer.setTitle("Arbolith tree");
    writer.setPageSize(QPageSize(QSizeF(Canvas(options)), QPageSize::Point));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(72);
    QPainter painter;
    if (!painter.begin(&writer)) {
        return {DrawResult::Failed, "cannot start the PDF document"};
    }
    painter.fillRect(painter.window(), Qt::white);
    PainterSurface surface(painter);
    const bool finished = DrawTreeRun(surface, options.tree, &progress, options.path);
    if (!painter.end()) {
        return {DrawResult::Failed, device.errorString().toStdString()};
    }
    return finished ? DrawResult{DrawResult::Done, {}} : DrawResult{DrawResult::Stopped, {}};
}

} // namespace

DrawResult DrawTreeTo(QIODevice& device, Format format, const RenderOptions& options,
                      Progress& progress) {
    switch (format) {
    case Format::Png:
        return WritePng(device, options, progress);
    case Format::Svg:
        return WriteSvg(device, options, progress);
    case Format::Pdf:
        return WritePdf(device, options, progress);
    }
    return {DrawResult::Failed, "unknown format"};
}

} // namespace arbolith::cli
