#include "ui/qt/DisplayApplication.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "values/MessageText.h"

namespace arbolith {

namespace {

struct HeldMessage {
    QtMsgType type;
    QByteArray file;
    int line;
    QByteArray function;
    QByteArray category;
    QString text;
};

std::mutex heldLock;
std::vector<HeldMessage> held;
QtMessageHandler passOn = nullptr;
QByteArray name;
QByteArray program; // as it was started, for the command to try

// Why no window could be opened, in the toolkit's words where it gave them.
QString Reason(const QString& fatal) {
    for (const HeldMessage& message : held) {
        if (!message.category.startsWith("qt.qpa")) {
            continue;
        }
        // It would name an empty display; the environment says it better.
        if (message.text.contains(QStringLiteral("display")) &&
            qEnvironmentVariableIsEmpty("DISPLAY") &&
            qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
            return QStringLiteral("no display (DISPLAY is not set)");
        }
        return message.text.trimmed();
    }
    return fatal.section(QLatin1Char('\n'), 0, 0).trimmed();
}

void Hold(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    const std::lock_guard lock(heldLock);
    if (type == QtFatalMsg) {
        std::fprintf(stderr,
                     "%s: cannot open a window: %s; run it on a virtual display with "
                     "'xvfb-run -a %s', or draw without a window with arbolith-render\n",
                     name.constData(), Printable(Reason(text).toStdString()).c_str(),
                     Printable(program.toStdString()).c_str());
        // Nothing was made that needs ending, and returning would abort.
        std::_Exit(kExitNoDisplay);
    }
    held.push_back({type, context.file, context.line, context.function, context.category, text});
}

} // namespace

std::unique_ptr<QApplication> ApplicationOnDisplay(int& argc, char** argv) {
    name = QCoreApplication::applicationName().toLocal8Bit();
    program = argv[0];
    passOn = qInstallMessageHandler(&Hold);
    auto application = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(passOn);
    const std::lock_guard lock(heldLock);
    for (const HeldMessage& message : held) {
        const QMessageLogContext context(message.file.constData(), message.line,
                                         message.function.constData(),
                                         message.category.constData());
        passOn(message.type, context, message.text);
    }
    held.clear();
    return application;
}

} // namespace arbolith
