#include <QApplication>
#include <QIcon>

#include "ui/qt/TreeDialog.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("arbolith"));
    QApplication::setDesktopFileName(QStringLiteral("arbolith"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/arbolith/arbolith.svg")));

    arbolith::TreeDialog dialog;
    dialog.show();
    dialog.activateWindow();
    QApplication::exec();
    // Exit, closing the window and Ctrl+Q are the only ways out, and each is a success.
    return 0;
}
