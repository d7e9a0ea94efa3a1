#pragma once

#include <QCommandLineParser>
#include <QCoreApplication>

namespace arbolith {

// The desktop program's exit status for a command line it cannot obey, as arbolith-render's.
inline constexpr int kExitUsage = 2;

// The desktop program's command line: -h/--help, --help-all, -v/--version and nothing else.
class CommandLine {
public:
    CommandLine();

    // Before the application object, which needs a display: refuses a command line it cannot
    // obey, as Check does, and answers --help, --help-all and --version, ending the program
    // either way (with status 1 if standard output did not take the answer). The toolkit's own
    // options (such as -platform NAME), which that object takes out, pass.
    void AnswerWithoutDisplay(int& argc, char** argv);

    // After it: refuses an unknown option or a stray argument in one line on standard error
    // and gives kExitUsage; answers --help, --help-all and --version and ends the program;
    // gives 0 when the program is to open its window.
    int Check(const QCoreApplication& application);

private:
    // What is wrong with the arguments, in a clause; empty when nothing is.
    QString Problem(const QStringList& arguments);
    static void Refuse(const QString& problem);

    QCommandLineParser parser_;
};

} // namespace arbolith
