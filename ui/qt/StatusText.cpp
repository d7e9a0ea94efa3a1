#include "ui/qt/StatusText.h"

#include <QCoreApplication>

#include "ui/StatusSentences.h"
#include "ui/qt/TreeDrawing.h"
#include "values/KeyTable.h"
#include "values/MessageText.h"

namespace arbolith {

namespace {

QString Tr(const char* text) {
    return QCoreApplication::translate("TreeDialog", text);
}

// How the latest run stands: a run that ended short of its order is stopped, at the fork limit
// where its tree nests its forks too deep.
RunState StateOf(const TreeDrawing& drawing) {
    if (!drawing.Shown()) {
        return RunState::Drawing;
    }
    if (drawing.Shown()->branchLimit == kNoBranchLimit) {
        return RunState::Complete;
    }
    return drawing.Total().OutgrowsForkLimit() ? RunState::ForkLimit : RunState::Stopped;
}

} // namespace

QString PrintableText(const QString& text) {
    return QString::fromStdString(Printable(text.toStdString()));
}

QString DrawingStatus(const TreeDrawing& drawing) {
    const TreeOrder* latest = drawing.Latest();
    if (latest == nullptr) {
        const ViewAngles view = drawing.View();
        return view.IsFront()
                   ? Tr("Enter draws the tree of these values; F1 lists the keys.")
                   : Tr("Enter draws the tree of these values, %1; Home on the canvas turns it "
                        "back.")
                         .arg(QString::fromStdString(SeenFrom(view)));
    }
    const std::optional<TreeOrder>& shown = drawing.Shown();
    return QString::fromStdString(StatusSentence(shown ? *shown : *latest, drawing.Total(),
                                                 drawing.Drawn(), StateOf(drawing),
                                                 shown ? RenderCommand(*shown) : std::string()));
}

} // namespace arbolith
