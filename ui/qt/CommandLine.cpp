#include "ui/qt/CommandLine.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <vector>

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
// they reached standard output is checked as it ends, and a failure is the exit's status. They go
// out whole then, from a buffer larger than any of them, so that a failure is seen with its
// reason.
void CheckStandardOutputAtExit() {
    if (exitName[0] == '\0') {
        std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
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

// The options the toolkit takes out of the command line when it opens the display, as -name or
// --name, and whether each takes the next argument as its value.
struct ToolkitOption {
    const char* name;
    bool takesValue;
};
constexpr ToolkitOption kToolkitOptions[] = {
    {"platform", true},
    {"platformpluginpath", true},
    {"platformtheme", true},
    {"plugin", true},
    {"qwindowgeometry", true},
    {"qwindowicon", true},
    {"qwindowtitle", true},
    {"geometry", true},
    {"title", true},
    {"display", true},
    {"name", true},
    {"style", true},
    {"stylesheet", true},
    {"session", true},
    {"qmljsdebugger", true},
    {"reverse", false},
    {"widgetcount", false},
    {"nograb", false},
    {"dograb", false},
    {"sync", false},
};

// The arguments less the toolkit's own options and their values.
QStringList WithoutToolkitOptions(const QStringList& arguments) {
    QStringList kept;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString name = arguments[i];
        if (i == 0 || !name.startsWith(QLatin1Char('-'))) {
            kept << arguments[i];
            continue;
        }
        name.remove(0, name.startsWith(QStringLiteral("--")) ? 2 : 1);
        const auto* option =
            std::find_if(std::begin(kToolkitOptions), std::end(kToolkitOptions),
                         [&](const ToolkitOption& o) { return name == QLatin1String(o.name); });
        if (option == std::end(kToolkitOptions)) {
            kept << arguments[i];
        } else if (option->takesValue) {
            ++i;
        }
    }
    return kept;
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
    // A command line the program cannot obey is refused before the display is looked for.
    arguments = WithoutToolkitOptions(arguments);
    if (const QString problem = Problem(arguments); !problem.isEmpty()) {
        Refuse(problem);
        std::exit(kExitUsage);
    }
    if (parser_.isSet(QStringLiteral("help")) || parser_.isSet(QStringLiteral("help-all")) ||
        parser_.isSet(QStringLiteral("version"))) {
        // An application object without a window system names the program in the usage line;
        // it reads the arguments left, which hold no option of the toolkit.
        std::vector<QByteArray> texts;
        std::vector<char*> kept;
        for (const QString& argument : arguments) {
            texts.push_back(argument.toLocal8Bit());
        }
        for (QByteArray& text : texts) {
            kept.push_back(text.data());
        }
        int count = static_cast<int>(kept.size());
        kept.push_back(nullptr);
        const QCoreApplication core(count, kept.data());
        CheckStandardOutputAtExit();
        parser_.process(core);
    }
}

void CommandLine::Refuse(const QString& problem) {
    const QString name = QCoreApplication::applicationName();
    std::fprintf(stderr, "%s: %s; see '%s --help'\n", qPrintable(name),
                 Printable(problem.toStdString()).c_str(), qPrintable(name));
}

QString CommandLine::Problem(const QStringList& arguments) {
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
    return problem;
}

int CommandLine::Check(const QCoreApplication& application) {
    if (const QString problem = Problem(QCoreApplication::arguments()); !problem.isEmpty()) {
        Refuse(problem);
        return kExitUsage;
    }
    CheckStandardOutputAtExit();
    parser_.process(application);
    return 0;
}

} // namespace arbolith
