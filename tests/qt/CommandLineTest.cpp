// The desktop program's command line, run as the real binary: with no display as well as on the
// offscreen platform.
#include <gtest/gtest.h>

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <unistd.h>

#include "DialogHelpers.h"

namespace arbolith {
namespace {

struct CommandLineCase {
    QStringList arguments;
    bool display; // on the offscreen platform, else with none at all
    int status;
    QString out;     // what standard output holds
    QStringList err; // what the one line on standard error holds; none when it is empty
};

TEST(ProgramCommandLine, AnswersWithoutADisplayAndRefusesWhatItCannotObey) {
    const std::vector<CommandLineCase> cases{
        {{QStringLiteral("--version")}, false, 0, QStringLiteral("arbolith "), {}},
        {{QStringLiteral("-v")}, false, 0, QStringLiteral("arbolith "), {}},
        {{QStringLiteral("--help")}, false, 0, QStringLiteral("--help-all"), {}},
        // The toolkit's own options are still taken.
        {{QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("--version")},
         false,
         0,
         QStringLiteral("arbolith "),
         {}},
        {{}, false, 1, {}, {QStringLiteral("no display"), QStringLiteral("xvfb-run")}},
        // A command line it cannot obey is refused before the display is looked for.
        {{QStringLiteral("--bogus")},
         false,
         2,
         {},
         {QStringLiteral("unknown option '--bogus'"), QStringLiteral("--help")}},
        {{QStringLiteral("-platform"), QStringLiteral("xcb"), QStringLiteral("stray")},
         false,
         2,
         {},
         {QStringLiteral("unexpected argument 'stray'"), QStringLiteral("--help")}},
        {{QStringLiteral("--bogus")},
         true,
         2,
         {},
         {QStringLiteral("unknown option '--bogus'"), QStringLiteral("--help")}},
        {{QStringLiteral("-x")},
         true,
         2,
         {},
         {QStringLiteral("unknown option '-x'"), QStringLiteral("--help")}},
        {{QStringLiteral("tree.png")},
         true,
         2,
         {},
         {QStringLiteral("unexpected argument 'tree.png'"), QStringLiteral("--help")}},
        {{QStringLiteral("--version=2")},
         true,
         2,
         {},
         {QStringLiteral("'--version'"), QStringLiteral("--help")}},
        // Escaped, so that the line cannot drive the terminal, break or read reversed.
        {{QStringLiteral("x\x1b]0;title\a\x1b[2J\nsecond\u202e")},
         true,
         2,
         {},
         {QStringLiteral("'x\\x1b]0;title\\x07\\x1b[2J\\nsecond\\u202e'")}},
        {{QStringLiteral("--\u2066x")}, true, 2, {}, {QStringLiteral("'--\\u2066x'")}},
    };
    const QTemporaryDir runtime; // made private to its owner, as the toolkit wants it
    ASSERT_TRUE(runtime.isValid());
    for (const CommandLineCase& each : cases) {
        SCOPED_TRACE(each.arguments.join(' ').toStdString());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
            environment.remove(QString::fromLatin1(name));
        }
        if (each.display) {
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        }
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(ARBOLITH_PROGRAM), each.arguments);
        ASSERT_TRUE(program.waitForFinished(30000));
        ASSERT_EQ(program.exitStatus(), QProcess::NormalExit) << "a crash, not an answer";
        EXPECT_EQ(program.exitCode(), each.status);
        const QString out = QString::fromLocal8Bit(program.readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(program.readAllStandardError());
        EXPECT_TRUE(each.out.isEmpty() ? out.isEmpty() : out.contains(each.out)) << out;
        EXPECT_EQ(err.count(QLatin1Char('\n')), each.err.isEmpty() ? 0 : 1) << err;
        for (const QString& mention : each.err) {
            EXPECT_TRUE(err.startsWith(QStringLiteral("arbolith: ")) && err.contains(mention))
                << err << " should mention " << mention;
        }
    }
}

// Help and the version that do not reach standard output are a failure in one line.
TEST(ProgramCommandLine, InformationThatCannotBeWrittenIsAFailure) {
    const std::pair<const char*, QString> destinations[] = {
        {"/dev/full", QStringLiteral("No space left on device")},
        {nullptr, QStringLiteral("Bad file descriptor")}, // closed
    };
    for (const char* option : {"--help", "--version", "--help-all"}) {
        for (const auto& [file, reason] : destinations) {
            SCOPED_TRACE(std::string(option) + ": " + reason.toStdString());
            QProcess program;
            if (file != nullptr) {
                program.setStandardOutputFile(QString::fromLatin1(file));
            } else {
                program.setChildProcessModifier([] { ::close(STDOUT_FILENO); });
            }
            program.start(QStringLiteral(ARBOLITH_PROGRAM), {QString::fromLatin1(option)});
            ASSERT_TRUE(program.waitForFinished(30000));
            EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(program.exitCode(), 1);
            EXPECT_EQ(QString::fromLocal8Bit(program.readAllStandardError()),
                      QStringLiteral("arbolith: cannot write standard output: %1\n").arg(reason));
        }
    }
}

} // namespace
} // namespace arbolith
