#include "ui/qt/PictureFile.h"

#include <QFile>

#include "render/OutputFile.h"
#include "render/PngWriter.h"
#include "render/SvgSurface.h"
#include "tree/DrawingRun.h"
#include "tree/Random.h"
#include "ui/qt/PixelImages.h"

namespace arbolith {

namespace {

constexpr WriteResult kWritten{};

WriteResult WriteSvg(const ByteSink& sink, QSize size, const TreeRecord& tree,
                     RunControl& control) {
    SvgSurface svg(sink, size.width(), size.height());
    control.polygonLimit = tree.polygonLimit;
    GuardedSurface surface(svg, control);
    RunControlMonitor monitor(control);
    const FixedClock clock(tree.second);
    DrawTreeRun(surface, tree.parameters, &monitor);
    if (control.stop.load()) {
        return {WriteOutcome::Stopped, "stopped before the end"};
    }
    return svg.Finish() ? kWritten : WriteResult{WriteOutcome::Failed, "the file took no more"};
}

} // namespace

bool IsSvgPath(const QString& path) {
    return path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive);
}

QString SavePicture(const QString& path, const QImage& picture, const TreeRecord& tree,
                    RunControl* control) {
    const WriteResult result =
        WriteWhole(QFile::encodeName(path).toStdString(), [&](const ByteSink& sink) {
            if (IsSvgPath(path)) {
                RunControl ownControl;
                return WriteSvg(sink, picture.size(), tree,
                                control != nullptr ? *control : ownControl);
            }
            return WritePng(FromQImage(picture), sink)
                       ? kWritten
                       : WriteResult{WriteOutcome::Failed, "the file took no more"};
        });
    if (result.outcome == WriteOutcome::Written) {
        return {};
    }
    return QString::fromStdString(result.reason.empty() ? "could not write the file"
                                                        : result.reason);
}

} // namespace arbolith
