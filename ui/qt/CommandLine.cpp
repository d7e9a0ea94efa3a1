#include "ui/qt/CommandLine.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "output/StandardStreams.h"
#include "values/MessageText.h"

namespace arbolith {

namespace {

// The program's name for the one line said at the exit, when the toolkit's may be gone.
char exitName[64] = "";

void ReportUndeliveredOutput() {
    if (!StandardOutputDelivered()) {
        std::fprintf(stderr, "%s: cannot write standard output: %s\n", exitName,
                     std::strerror(errno));
        std::_Exit(1);
    }
}

// Help and the version are printed by the toolkit, which then ends the program at once: whether
// they reached standard output is checked as it ends, and a failure is the exit's status.
void CheckStandardOutputAtExit() {
    if (exitName[0] == '\0') {
        std::snprintf(exitName, sizeof exitName, "%s",
                      qPrintable(QCoreApplication::applicationName()));
        std::atexit(&ReportUndeliveredOutput);
    }
}

// An argument as a message quotes it.
QString QuotedArgument(const QString& argument) {
    return QString::fromStdString(Quoted(argument.toStdString()));
}

// The argument as it was typed that holds the option `name`: -name, --name or --name=VALUE.
QString Typed(const QStringList& arguments, const QString& name) {
    for (const QString& argument : arguments) {
        QString option = argument.section(QLatin1Char('='), 0, 0);
        while (option.startsWith(QLatin1Char('-'))) {
            option.remove(0, 1);
        }
        if (argument.startsWith(QLatin1Char('-')) && option == name) {
            return argument;
        }
    }
    return name;
}

} // namespace

CommandLine::CommandLine() {
    parser_.setApplicationDescription(
        QStringLiteral("Grows and draws random three-dimensional branching trees."));
    // -platform is one option, as the toolkit reads it, not eight letters.
    parser_.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser_.addHelpOption();
    parser_.addVersionOption();
}

void CommandLine::AnswerWithoutDisplay(int& argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    if (!parser_.parse(arguments) || !parser_.positionalArguments().isEmpty()) {
        return;
    }
    if (parser_.isSet(QStringLiteral("help")) || parser_.isSet(QStringLiteral("help-all")) ||
        parser_.isSet(QStringLiteral("version"))) {
        // An application object without a window system names the program in the usage line.
        const QCoreApplication core(argc, argv);
        CheckStandardOutputAtExit();
        parser_.process(core);
    }
}

int CommandLine::Check(const QCoreApplication& application) {
    const QStringList arguments = QCoreApplication::arguments();
    QString problem;
    if (!parser_.parse(arguments)) {
        const QStringList unknown = parser_.unknownOptionNames();
        if (unknown.isEmpty()) {
            // Such as "Unexpected value after '--version'.", made a clause of the one line.
            problem = parser_.errorText();
            problem.front() = problem.front().toLower();
            problem.chop(problem.endsWith(QLatin1Char('.')) ? 1 : 0);
        } else {
            problem = QStringLiteral("unknown option %1")
                          .arg(QuotedArgument(Typed(arguments, unknown.first())));
        }
    } else if (!parser_.positionalArguments().isEmpty()) {
        problem = QStringLiteral("unexpected argument %1: the program takes options only")
                      .arg(QuotedArgument(parser_.positionalArguments().first()));
    }
    if (!problem.isEmpty()) {
        const QString name = QCoreApplication::applicationName();
        std::fprintf(stderr, "%s: %s; see '%s --help'\n", qPrintable(name),
                     Printable(problem.toStdString()).c_str(), qPrintable(name));
        return kExitUsage;
    }
    CheckStandardOutputAtExit();
    parser_.process(application);
    return 0;
}

} // namespace arbolith
