#include "ui/qt/PictureFile.h"

#include <QFile>

#include "render/GltfWriter.h"
#include "render/ObjFiles.h"
#include "render/ObjWriter.h"
#include "render/OutputFile.h"
#include "render/PngWriter.h"
#include "render/SvgSurface.h"
#include "tree/DrawingRun.h"
#include "tree/Random.h"
#include "ui/qt/PixelImages.h"

namespace arbolith {

namespace {

constexpr WriteResult kWritten{};
const WriteResult kSinkGaveUp{WriteOutcome::Failed, "the file took no more"};

WriteResult WriteSvg(const ByteSink& sink, QSize size, const TreeRecord& tree,
                     RunControl& control) {
    SvgSurface svg(sink, size.width(), size.height());
    control.polygonLimit = tree.polygonLimit;
    GuardedSurface surface(svg, control);
    RunControlMonitor monitor(control);
    const FixedClock clock(tree.second);
    DrawTurnedTreeRun(surface, tree.parameters, tree.view, &monitor);
    if (control.stop.load()) {
        return {WriteOutcome::Stopped, "stopped before the end"};
    }
    return svg.Finish() ? kWritten : kSinkGaveUp;
}

bool IsObjPath(const QString& path) {
    return path.endsWith(QStringLiteral(".obj"), Qt::CaseInsensitive);
}

// Empty for a written file, else why it was not written.
QString Failure(const WriteResult& result) {
    if (result.outcome == WriteOutcome::Written) {
        return {};
    }
    return QString::fromStdString(result.reason.empty() ? "could not write the file"
                                                        : result.reason);
}

std::string NativePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// The tree in 3-D: the branches the picture shows, on the path the canvas draws; an OBJ names
// the material library `library`, if any.
WriteResult WriteModel(const ByteSink& sink, const QString& path, const std::string& library,
                       const TreeRecord& tree, RunControl& control) {
    const ExportedTree exported{tree.parameters, tree.second, GrowthPath::RepeatsOnce,
                                tree.polygonLimit};
    RunControlMonitor monitor(control);
    const ExportResult result = IsObjPath(path) ? WriteObj(exported, library, sink, &monitor)
                                                : WriteGlb(exported, sink, &monitor);
    switch (result.outcome) {
    case ExportResult::Done:
        return kWritten;
    case ExportResult::Stopped:
        return {WriteOutcome::Stopped, "stopped before the end"};
    case ExportResult::Failed:
        break;
    }
    return result.failure.empty() ? kSinkGaveUp : WriteResult{WriteOutcome::Failed, result.failure};
}

} // namespace

bool IsModelPath(const QString& path) {
    return path.endsWith(QStringLiteral(".glb"), Qt::CaseInsensitive) || IsObjPath(path);
}

bool IsSvgPath(const QString& path) {
    return path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive);
}

QString SavePicture(const QString& path, const QImage& picture, const TreeRecord& tree,
                    RunControl* control) {
    RunControl ownControl;
    RunControl& stop = control != nullptr ? *control : ownControl;
    const std::string native = NativePath(path);
    if (IsObjPath(path)) {
        // An OBJ and its material library, one output: a failure names the file it ended at.
        std::string failed;
        const WriteResult result = WriteObjFiles(
            native,
            [&](const ByteSink& sink, const std::string& library) {
                return WriteModel(sink, path, library, tree, stop);
            },
            failed);
        return result.outcome == WriteOutcome::Written || failed == native
                   ? Failure(result)
                   : QFile::decodeName(failed.c_str()) + QStringLiteral(": ") + Failure(result);
    }
    return Failure(WriteWhole(native, [&](const ByteSink& sink) {
        if (IsSvgPath(path)) {
            return WriteSvg(sink, picture.size(), tree, stop);
        }
        if (IsModelPath(path)) {
            return WriteModel(sink, path, {}, tree, stop);
        }
        return WritePng(FromQImage(picture), sink) ? kWritten : kSinkGaveUp;
    }));
}

} // namespace arbolith
