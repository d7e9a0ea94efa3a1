#include "cli/TreeWriters.h"

#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "render/GltfWriter.h"
#include "render/ObjWriter.h"
#include "render/PainterSurface.h"
#include "render/PngWriter.h"
#include "render/SvgSurface.h"
#include "render/TreeImage.h"
#include "tree/DrawingRun.h"
#include "tree/Random.h"

namespace arbolith::cli {

namespace {

QSize Canvas(const RenderOptions& options) {
    return {options.width, options.height};
}

ByteSink SinkOf(QIODevice& device) {
    return [&device](const void* data, std::size_t size) {
        return device.write(static_cast<const char*>(data), static_cast<qint64>(size)) ==
               static_cast<qint64>(size);
    };
}

std::string Counted(std::uint64_t n, const char* one, const char* many) {
    return std::to_string(n) + ' ' + (n == 1 ? one : many);
}

// Writes the tree in 3-D, as glTF or as OBJ naming the material library beside `name`.
DrawResult WriteModel(QIODevice& device, Format format, const RenderOptions& options,
                      Progress& progress, const std::string& name) {
    // The caller holds the clock at the tree's second.
    const ExportedTree tree{options.tree, ReadClock(), options.path};
    const ExportResult result =
        format == Format::Glb
            ? WriteGlb(tree, SinkOf(device), &progress)
            : WriteObj(tree,
                       QFileInfo(QString::fromStdString(MaterialLibraryPath(name)))
                           .fileName()
                           .toStdString(),
                       SinkOf(device), &progress);
    switch (result.outcome) {
    case ExportResult::Done:
        break;
    case ExportResult::Stopped:
        return {DrawResult::Stopped, {}, {}};
    case ExportResult::Failed:
        return {DrawResult::Failed,
                result.failure.empty() ? device.errorString().toStdString() : result.failure,
                {}};
    }
    const MeshCounts& counts = result.counts;
    std::string written = Counted(counts.branches, "branch", "branches") + ", " +
                          Counted(counts.vertices, "vertex", "vertices") + ", " +
                          Counted(counts.triangles, "triangle", "triangles");
    if (counts.leftOut > 0) {
        written += "; " + Counted(counts.leftOut, "branch", "branches") +
                   " left out, beyond the range of the file's numbers";
    }
    return {DrawResult::Done, {}, written};
}

DrawResult WritePng(QIODevice& device, const RenderOptions& options, Progress& progress) {
    const std::optional<PixelImage> image = RenderTreeImage(
        options.tree, options.width, options.height, &progress, options.path, options.view);
    if (!image) {
        return {DrawResult::Stopped, {}};
    }
    if (!WritePng(*image, SinkOf(device))) {
        return {DrawResult::Failed, device.errorString().toStdString()};
    }
    return {DrawResult::Done, {}};
}

DrawResult WriteSvg(QIODevice& device, const RenderOptions& options, Progress& progress) {
    SvgSurface surface(device, Canvas(options));
    if (!DrawTurnedTreeRun(surface, options.tree, options.view, &progress, options.path)) {
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
    const bool finished =
        DrawTurnedTreeRun(surface, options.tree, options.view, &progress, options.path);
    if (!painter.end()) {
        return {DrawResult::Failed, device.errorString().toStdString()};
    }
    return finished ? DrawResult{DrawResult::Done, {}} : DrawResult{DrawResult::Stopped, {}};
}

} // namespace

DrawResult DrawTreeTo(QIODevice& device, Format format, const RenderOptions& options,
                      Progress& progress, const std::string& name) {
    switch (format) {
    case Format::Png:
        return WritePng(device, options, progress);
    case Format::Svg:
        return WriteSvg(device, options, progress);
    case Format::Pdf:
        return WritePdf(device, options, progress);
    case Format::Glb:
    case Format::Obj:
        return WriteModel(device, format, options, progress, name);
    }
    return {DrawResult::Failed, "unknown format", {}};
}

DrawResult WriteMaterialLibraryTo(QIODevice& device) {
    if (!WriteMaterialLibrary(SinkOf(device))) {
        return {DrawResult::Failed, device.errorString().toStdString(), {}};
    }
    return {DrawResult::Done, {}, {}};
}

} // namespace arbolith::cli
