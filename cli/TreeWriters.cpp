#include "cli/TreeWriters.h"

#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "render/PainterSurface.h"
#include "render/PngWriter.h"
#include "render/SvgSurface.h"
#include "render/TreeImage.h"
#include "tree/DrawingRun.h"

namespace arbolith::cli {

namespace {

QSize Canvas(const RenderOptions& options) {
    return {options.width, options.height};
}

DrawResult WritePng(QIODevice& device, const RenderOptions& options, Progress& progress) {
    const std::optional<PixelImage> image =
        RenderTreeImage(options.tree, options.width, options.height, &progress, options.path);
    if (!image) {
        return {DrawResult::Stopped, {}};
    }
    const bool written = WritePng(*image, [&device](const void* data, std::size_t size) {
        return device.write(static_cast<const char*>(data), static_cast<qint64>(size)) ==
               static_cast<qint64>(size);
    });
    if (!written) {
        return {DrawResult::Failed, device.errorString().toStdString()};
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
