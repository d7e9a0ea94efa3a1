#include "ui/qt/StatusText.h"

#include <QCoreApplication>
#include <QLocale>

#include "tree/TreePainter.h"
#include "ui/qt/TreeDrawing.h"
#include "values/KeyTable.h"
#include "values/MessageText.h"

namespace arbolith {

namespace {

QString Count(std::uint64_t n) {
    return QLocale(QLocale::English).toString(static_cast<qulonglong>(n));
}

QString Tr(const char* text) {
    return QCoreApplication::translate("TreeDialog", text);
}

QString ViewText(ViewAngles view) {
    return Tr("seen from yaw %1°, pitch %2°").arg(view.yaw).arg(view.pitch);
}

} // namespace

QString PrintableText(const QString& text) {
    return QString::fromStdString(Printable(text.toStdString()));
}

QString DrawingStatus(const TreeDrawing& drawing) {
    const ViewAngles view = drawing.View();
    const bool turned = !view.IsFront();
    const TreeOrder* latest = drawing.Latest();
    if (latest == nullptr) {
        return turned ? Tr("Enter draws the tree of these values, %1; Home on the canvas turns it "
                           "back.")
                            .arg(ViewText(view))
                      : Tr("Enter draws the tree of these values; F1 lists the keys.");
    }
    const QString second = QString::number(latest->second);
    const QString drawn = Count(drawing.Drawn());
    const QString seen = turned ? QStringLiteral(", ") + ViewText(view) : QString();
    const BranchCount& total = drawing.Total();
    if (!drawing.Shown()) {
        const QString most = (total.exact ? QString() : Tr("at most ")) + Count(total.branches);
        return Tr("Drawing the tree of second %1%4: %2 of %3 branches. Esc stops.")
            .arg(second, drawn, most, seen);
    }
    const bool whole = drawing.Shown()->branchLimit == kNoBranchLimit;
    const QString command = QString::fromStdString(RenderCommand(*drawing.Shown()));
    if (whole && turned) {
        return Tr("Tree of second %1, %2 branches, %3: %4 draws it.")
            .arg(second, drawn, ViewText(view), command);
    }
    if (whole) {
        return Tr("Tree of second %1, %2 branches. %3 draws it again.").arg(second, drawn, command);
    }
    if (total.OutgrowsForkLimit()) {
        // Two or more limbs a fork over that many levels: more than 2^levels branches.
        return Tr("Stopped at %1 nested forks, all a run holds: this tree has over 2^%2 branches "
                  "and could never finish.")
            .arg(Count(kMaxUnfinishedForks))
            .arg(total.unfinishedForks);
    }
    return Tr("Stopped: %1 branches of the tree of second %2%3.").arg(drawn, second, seen);
}

} // namespace arbolith
