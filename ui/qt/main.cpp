#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

#include "ui/qt/TreeDialog.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("arbolith"));
    QApplication::setApplicationVersion(QStringLiteral(ARBOLITH_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("arbolith"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/arbolith/arbolith.svg")));

    // --help and --version print and end the program; an unknown argument ends it with status 1.
    QCommandLineParser arguments;
    arguments.setApplicationDescription(
        QStringLiteral("Grows and draws random three-dimensional branching trees."));
    arguments.addHelpOption();
    arguments.addVersionOption();
    arguments.process(application);

    arbolith::TreeDialog dialog;
    dialog.show();
    dialog.activateWindow();
    QApplication::exec();
    // Exit, closing the window and Ctrl+Q are the only ways out, and each is a success.
    return 0;
}
