// The real program in a real window: an X server of the test's own, input through xdotool and
// the picture read back from a screenshot of the whole screen.
#include <gtest/gtest.h>

#include <QColorSpace>
#include <QDateTime>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <map>
#include <optional>

#include "DialogHelpers.h"
#include "ui/DialogLayout.h"
#include "ui/FieldTexts.h"

namespace arbolith {
namespace {

using namespace arbolith::testing;

constexpr int kDeadlineMs = 30000;

// Runs a tool to its end and gives its standard output; fails the test if it does not succeed.
QString RunTool(const QString& program, const QStringList& arguments,
                const QProcessEnvironment& environment) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(kDeadlineMs)) << program << " did not finish";
    EXPECT_EQ(process.exitCode(), 0) << program << " " << arguments.join(' ') << ": "
                                     << QString::fromLocal8Bit(process.readAllStandardError());
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

class ProgramWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server_ = new QProcess;
        // The server writes the number of the display it found free to standard output. It must
        // not reset when its last client leaves: between two xdotool probes, or between one
        // test's program and the next, it would refuse the next program's first connection.
        server_->start(QStringLiteral("Xvfb"),
                       {QStringLiteral("-displayfd"), QStringLiteral("1"),
                        QStringLiteral("-screen"), QStringLiteral("0"),
                        QStringLiteral("1280x1024x24"), QStringLiteral("-dpi"),
                        QStringLiteral("96"), QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                        QStringLiteral("-noreset")});
        if (!server_->waitForStarted(kDeadlineMs)) {
            return;
        }
        QByteArray number;
        while (!number.contains('\n') && server_->waitForReadyRead(kDeadlineMs)) {
            number += server_->readAllStandardOutput();
        }
        display_ = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
    }

    static void TearDownTestSuite() {
        server_->terminate();
        server_->waitForFinished(kDeadlineMs);
        delete server_;
        server_ = nullptr;
    }

    void SetUp() override {
        ASSERT_NE(display_, QStringLiteral(":")) << "Xvfb did not start";
        ASSERT_FALSE(display_.isEmpty()) << "Xvfb did not start";
        environment_ = QProcessEnvironment::systemEnvironment();
        environment_.insert(QStringLiteral("DISPLAY"), display_);
        environment_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment_.remove(QStringLiteral("WAYLAND_DISPLAY"));
        ASSERT_TRUE(folder_.isValid());
        // The same dialog in this process tells where each control lies.
        for (QWidget* widget : layout_.findChildren<QWidget*>()) {
            places_[widget->objectName()] = widget->geometry();
        }
    }

    void TearDown() override {
        if (program_.state() != QProcess::NotRunning) {
            program_.kill();
            program_.waitForFinished(kDeadlineMs);
        }
    }

    // Starts the program and waits for its dialog; false if it never appeared.
    bool Start() {
        program_.setProcessEnvironment(environment_);
        program_.setProcessChannelMode(QProcess::MergedChannels);
        program_.start(QStringLiteral(ARBOLITH_PROGRAM), {});
        if (!program_.waitForStarted(kDeadlineMs)) {
            return false;
        }
        const bool found = QTest::qWaitFor(
            [&] {
                if (program_.state() != QProcess::Running) {
                    return true;
                }
                QProcess search;
                search.setProcessEnvironment(environment_);
                search.start(QStringLiteral("xdotool"),
                             {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                              QStringLiteral("--name"), QStringLiteral("^Arbolith generator$")});
                search.waitForFinished(kDeadlineMs);
                window_ = QString::fromLatin1(search.readAllStandardOutput()).split('\n').first();
                return !window_.isEmpty();
            },
            kDeadlineMs);
        if (!found || program_.state() != QProcess::Running) {
            return false;
        }
        std::map<QString, int> geometry;
        const QString shell =
            Xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window_});
        for (const QString& line : shell.split('\n')) {
            const QStringList pair = line.split('=');
            if (pair.size() == 2) {
                geometry[pair[0]] = pair[1].toInt();
            }
        }
        origin_ = QPoint(geometry["X"], geometry["Y"]);
        EXPECT_EQ(QSize(geometry["WIDTH"], geometry["HEIGHT"]), layout_.size())
            << "the window's layout differs from the one measured here";
        return true;
    }

    QString Xdotool(const QStringList& arguments) {
        return RunTool(QStringLiteral("xdotool"), arguments, environment_);
    }

    void Click(int controlId) {
        const QPoint at = origin_ + places_.at(QString::number(controlId)).center();
        Xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                 QStringLiteral("click"), QStringLiteral("1")});
    }

    // Replaces the text of the field that has the focus.
    void TypeIntoFocus(const QString& text) {
        Xdotool({QStringLiteral("key"), QStringLiteral("ctrl+a"), QStringLiteral("BackSpace")});
        if (!text.isEmpty()) {
            Xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("5"),
                     QStringLiteral("--"), text});
        }
    }

    // Types the parameters in: a click into the first field, then Tab from field to field in
    // the dialog's order, and a click into "Levels:", which comes after the buttons.
    void TypeParameters(const TreeParameters& parameters) {
        std::map<int, QString> texts;
        for (const auto& [id, text] : FieldTextsOf(parameters)) {
            texts[id] = QString::fromStdString(text);
        }
        Click(kDialogControls.front().id);
        for (const DialogControl& control : kDialogControls) {
            if (control.kind != ControlKind::InputField || control.id == kFieldLevels) {
                continue;
            }
            TypeIntoFocus(texts.at(control.id));
            Xdotool({QStringLiteral("key"), QStringLiteral("Tab")});
        }
        Click(kFieldLevels);
        TypeIntoFocus(texts.at(kFieldLevels));
    }

    // The canvas's picture as the screen shows it.
    QImage Canvas() {
        const QString path = folder_.filePath(QStringLiteral("screen.png"));
        RunTool(QStringLiteral("import"),
                {QStringLiteral("-display"), display_, QStringLiteral("-window"),
                 QStringLiteral("root"), path},
                environment_);
        const QImage screen(path);
        QImage canvas =
            screen.copy(origin_.x() + kCanvasX, origin_.y() + kCanvasY, kCanvasWidth, kCanvasHeight)
                .convertToFormat(QImage::Format_RGB32);
        // The screenshot's file names a colour space; its pixels are the screen's as they are.
        canvas.setColorSpace(QColorSpace());
        return canvas;
    }

    // Waits for the program to end by itself and gives its exit status.
    std::optional<int> ExitStatus() {
        if (!program_.waitForFinished(kDeadlineMs) ||
            program_.exitStatus() != QProcess::NormalExit) {
            return std::nullopt;
        }
        return program_.exitCode();
    }

    // Starts an endless tree and waits until the program shows the run: before its first
    // branch, a run whitens the canvas, which shows the window colour until then. The wait has
    // no deadline that a loaded machine could pass; it ends when the program shows the run or
    // ends.
    void StartEndlessRun() {
        TypeParameters(EndlessTree());
        Click(kButtonGenerate);
        while (!program_.waitForFinished(0) && Canvas().pixel(0, 0) != qRgb(255, 255, 255)) {
        }
        ASSERT_EQ(program_.state(), QProcess::Running) << "the program ended before its run showed";
    }

    static std::uint32_t Now() {
        return static_cast<std::uint32_t>(QDateTime::currentSecsSinceEpoch());
    }

    static inline QProcess* server_ = nullptr;
    static inline QString display_;
    QProcessEnvironment environment_;
    QTemporaryDir folder_;
    TreeDialog layout_;
    std::map<QString, QRect> places_;
    QProcess program_;
    QString window_;
    QPoint origin_;
};

TEST_F(ProgramWindow, TypedValuesAndAPressDrawTheTreeOfThatSecond) {
    ASSERT_TRUE(Start()) << program_.readAll().toStdString();
    const TreeParameters tree = SmallTree();
    TypeParameters(tree);
    const std::uint32_t before = Now();
    Click(kButtonGenerate);
    // The press falls in one of the seconds from before the click to the moment of the match.
    std::optional<std::uint32_t> second;
    QImage shown;
    const bool matched = QTest::qWaitFor(
        [&] {
            shown = Canvas();
            for (std::uint32_t s = before; s <= Now() && !second; ++s) {
                if (shown == ReferencePixels(tree, s)) {
                    second = s;
                }
            }
            return second.has_value();
        },
        kDeadlineMs);
    // Kept beside the test for a look when it fails.
    const QString seen = QDir::current().filePath(QStringLiteral("window-test-canvas.png"));
    shown.save(seen);
    ASSERT_TRUE(matched && second.has_value())
        << "the canvas never showed the tree of a second of the press; it showed " << seen;

    Click(kButtonExit);
    EXPECT_EQ(ExitStatus(), 0);
}

TEST_F(ProgramWindow, ExitEndsTheProgramWithStatusZeroDuringARun) {
    ASSERT_TRUE(Start()) << program_.readAll().toStdString();
    StartEndlessRun();
    Click(kButtonExit);
    EXPECT_EQ(ExitStatus(), 0) << program_.readAll().toStdString();
}

TEST_F(ProgramWindow, CloseRequestEndsTheProgramWithStatusZeroDuringARun) {
    ASSERT_TRUE(Start()) << program_.readAll().toStdString();
    StartEndlessRun();
    RunTool(QStringLiteral(ARBOLITH_SEND_CLOSE_REQUEST), {window_}, environment_);
    EXPECT_EQ(ExitStatus(), 0) << program_.readAll().toStdString();
}

TEST_F(ProgramWindow, CtrlQEndsTheProgramWithStatusZero) {
    ASSERT_TRUE(Start()) << program_.readAll().toStdString();
    Click(kFieldLevels);
    Xdotool({QStringLiteral("key"), QStringLiteral("ctrl+q")});
    EXPECT_EQ(ExitStatus(), 0) << program_.readAll().toStdString();
}

} // namespace
} // namespace arbolith
