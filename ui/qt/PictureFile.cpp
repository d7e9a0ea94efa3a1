#include "ui/qt/PictureFile.h"

#include <QFileInfo>
#include <QSaveFile>

#include "render/GltfWriter.h"
#include "render/ObjWriter.h"
#include "render/PngWriter.h"
#include "render/SvgSurface.h"
#include "tree/DrawingRun.h"
#include "tree/Random.h"
#include "ui/qt/PixelImages.h"

namespace arbolith {

namespace {

QString Failure(const QSaveFile& file) {
    return file.errorString().isEmpty() ? QStringLiteral("could not write the file")
                                        : file.errorString();
}

// Empty on success, else why the document was not written.
QString WriteSvg(QSaveFile& file, QSize size, const TreeRecord& tree, RunControl& control) {
    SvgSurface svg(file, size);
    control.polygonLimit = tree.polygonLimit;
    GuardedSurface surface(svg, control);
    RunControlMonitor monitor(control);
    const FixedClock clock(tree.second);
    DrawTurnedTreeRun(surface, tree.parameters, tree.view, &monitor);
    if (control.stop.load()) {
        return QStringLiteral("stopped before the end");
    }
    return svg.Finish() ? QString() : Failure(file);
}

ByteSink SinkOf(QSaveFile& file) {
    return [&file](const void* data, std::size_t size) {
        return file.write(static_cast<const char*>(data), static_cast<qint64>(size)) ==
               static_cast<qint64>(size);
    };
}

bool IsObjPath(const QString& path) {
    return path.endsWith(QStringLiteral(".obj"), Qt::CaseInsensitive);
}

// The tree in 3-D: the branches the picture shows, on the path the canvas draws.
QString WriteModel(QSaveFile& file, const QString& path, const TreeRecord& tree,
                   RunControl& control) {
    const ExportedTree exported{tree.parameters, tree.second, GrowthPath::RepeatsOnce,
                                tree.polygonLimit};
    RunControlMonitor monitor(control);
    const QString library =
        QFileInfo(QString::fromStdString(MaterialLibraryPath(path.toStdString()))).fileName();
    const ExportResult result =
        IsObjPath(path) ? WriteObj(exported, library.toStdString(), SinkOf(file), &monitor)
                        : WriteGlb(exported, SinkOf(file), &monitor);
    switch (result.outcome) {
    case ExportResult::Done:
        return {};
    case ExportResult::Stopped:
        return QStringLiteral("stopped before the end");
    case ExportResult::Failed:
        break;
    }
    return result.failure.empty() ? Failure(file) : QString::fromStdString(result.failure);
}

// The material library beside an OBJ, written whole or not at all.
QString SaveMaterialLibrary(const QString& objPath) {
    QSaveFile file(QString::fromStdString(MaterialLibraryPath(objPath.toStdString())));
    if (!file.open(QIODevice::WriteOnly) || !WriteMaterialLibrary(SinkOf(file))) {
        file.cancelWriting();
        return Failure(file);
    }
    return file.commit() ? QString() : Failure(file);
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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return Failure(file);
    }
    QString failure;
    RunControl ownControl;
    if (IsSvgPath(path)) {
        failure = WriteSvg(file, picture.size(), tree, control != nullptr ? *control : ownControl);
    } else if (IsModelPath(path)) {
        failure = WriteModel(file, path, tree, control != nullptr ? *control : ownControl);
    } else if (!WritePng(FromQImage(picture), SinkOf(file))) {
        failure = Failure(file);
    }
    if (!failure.isEmpty()) {
        file.cancelWriting();
        return failure;
    }
    if (!file.commit()) {
        return Failure(file);
    }
    return IsObjPath(path) ? SaveMaterialLibrary(path) : QString();
}

} // namespace arbolith
