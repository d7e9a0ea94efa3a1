#include <QApplication>
#include <QIcon>

#include "output/StandardStreams.h"
#include "tree/Presets.h"
#include "ui/qt/CommandLine.h"
#include "ui/qt/DisplayApplication.h"
#include "ui/qt/TreeDialog.h"

int main(int argc, char* argv[]) {
    arbolith::HoldClosedStandardStreams();
    QApplication::setApplicationName(QStringLiteral("arbolith"));
    QApplication::setApplicationVersion(QStringLiteral(ARBOLITH_VERSION));
    arbolith::CommandLine commandLine;
    commandLine.AnswerWithoutDisplay(argc, argv);
    const auto application = arbolith::ApplicationOnDisplay(argc, argv);
    if (const int refused = commandLine.Check(*application); refused != 0) {
        return refused;
    }
    QApplication::setDesktopFileName(QStringLiteral(ARBOLITH_APP_ID));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/arbolith/arbolith.svg")));

    arbolith::TreeDialog dialog;
    // It opens with a tree drawn, the example's, its second held for tuning.
    dialog.ShowPreset(arbolith::kPresets.front());
    dialog.show();
    dialog.activateWindow();
    QApplication::exec();
    // Exit, closing the window and Ctrl+Q are the only ways out, and each is a success.
    return 0;
}
