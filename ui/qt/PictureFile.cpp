#include "ui/qt/PictureFile.h"

#include <QSaveFile>

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
    DrawTreeRun(surface, tree.parameters, &monitor);
    if (control.stop.load()) {
        return QStringLiteral("stopped before the end");
    }
    return svg.Finish() ? QString() : Failure(file);
}

} // namespace

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
    if (IsSvgPath(path)) {
        RunControl ownControl;
        failure = WriteSvg(file, picture.size(), tree, control != nullptr ? *control : ownControl);
    } else if (!WritePng(FromQImage(picture), [&file](const void* data, std::size_t size) {
                   return file.write(static_cast<const char*>(data), static_cast<qint64>(size)) ==
                          static_cast<qint64>(size);
               })) {
        failure = Failure(file);
    }
    if (!failure.isEmpty()) {
        file.cancelWriting();
        return failure;
    }
    if (!file.commit()) {
        return Failure(file);
    }
    return {};
}

} // namespace arbolith
