#include "ui/qt/PictureFile.h"

#include <QSaveFile>

#include "tree/DrawingRun.h"
#include "tree/Random.h"
#include "ui/qt/surface/SvgSurface.h"

namespace arbolith {

namespace {

QString Failure(const QSaveFile& file) {
    return file.errorString().isEmpty() ? QStringLiteral("could not write the file")
                                        : file.errorString();
}

bool WriteSvg(QSaveFile& file, QSize size, const TreeRecord& tree) {
    SvgSurface svg(file, size);
    RunControl control;
    control.polygonLimit = tree.polygonLimit;
    GuardedSurface surface(svg, control, nullptr);
    RunControlMonitor monitor(control);
    const FixedClock clock(tree.second);
    DrawTreeRun(surface, tree.parameters, &monitor);
    return svg.Finish();
}

} // namespace

QString SavePicture(const QString& path, const QImage& picture, const TreeRecord& tree) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return Failure(file);
    }
    const bool svg = path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive);
    const bool written = svg ? WriteSvg(file, picture.size(), tree) : picture.save(&file, "PNG");
    if (!written) {
        file.cancelWriting();
        return Failure(file);
    }
    if (!file.commit()) {
        return Failure(file);
    }
    return {};
}

} // namespace arbolith
