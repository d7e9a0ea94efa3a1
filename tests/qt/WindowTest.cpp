// The real program in a real window: an X server of the test's own, input through xdotool and
// the picture read back from a screenshot of the whole screen.
#include <gtest/gtest.h>

#include <QColorSpace>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <map>
#include <optional>

#include "DialogHelpers.h"
#include "tree/ExampleTree.h"
#include "tree/Presets.h"
#include "ui/DialogLayout.h"
#include "ui/FieldTexts.h"
#include "ui/qt/TreeCanvas.h"

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

// An X server of the test's own, 24 bits deep at 96 dpi, and where asked a window manager that
// frames and places windows and keeps `panel` pixels free at the bottom of the screen, as a panel
// there would.
class Display {
public:
    Display(QSize screen, std::optional<int> panel, const QString& folder) {
        // The server writes the number of the display it found free to standard output. It must
        // not reset when its last client leaves: between two xdotool probes, or between one
        // test's program and the next, it would refuse the next program's first connection.
        server_.start(QStringLiteral("Xvfb"),
                      {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                       QStringLiteral("0"),
                       QStringLiteral("%1x%2x24").arg(screen.width()).arg(screen.height()),
                       QStringLiteral("-dpi"), QStringLiteral("96"), QStringLiteral("-nolisten"),
                       QStringLiteral("tcp"), QStringLiteral("-noreset")});
        if (!server_.waitForStarted(kDeadlineMs)) {
            return;
        }
        QByteArray number;
        while (!number.contains('\n') && server_.waitForReadyRead(kDeadlineMs)) {
            number += server_.readAllStandardOutput();
        }
        if (number.trimmed().isEmpty()) {
            return;
        }
        environment_ = QProcessEnvironment::systemEnvironment();
        environment_.insert(QStringLiteral("DISPLAY"),
                            QStringLiteral(":") + QString::fromLatin1(number.trimmed()));
        environment_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment_.remove(QStringLiteral("WAYLAND_DISPLAY"));
        if (panel) {
            const QString config = folder + QStringLiteral("/openbox-rc.xml");
            QFile file(config);
            if (!file.open(QIODevice::WriteOnly)) {
                return;
            }
            file.write(
                QStringLiteral("<openbox_config xmlns=\"http://openbox.org/3.4/rc\"><margins>"
                               "<bottom>%1</bottom></margins></openbox_config>\n")
                    .arg(*panel)
                    .toUtf8());
            file.close();
            manager_.setProcessEnvironment(environment_);
            manager_.start(QStringLiteral("openbox"), {QStringLiteral("--config-file"), config});
            // Managing once it says how much of the screen windows may have.
            const QString room =
                QStringLiteral("0, 0, %1, %2").arg(screen.width()).arg(screen.height() - *panel);
            if (!QTest::qWaitFor([&] { return RootProperty("_NET_WORKAREA").contains(room); },
                                 kDeadlineMs)) {
                return;
            }
        }
        ready_ = true;
    }
    ~Display() {
        for (QProcess* process : {&manager_, &server_}) {
            process->terminate();
            process->waitForFinished(kDeadlineMs);
        }
    }
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    bool Ready() const { return ready_; }
    const QProcessEnvironment& Environment() const { return environment_; }
    QString Name() const { return environment_.value(QStringLiteral("DISPLAY")); }

    QString RootProperty(const char* name) const {
        QProcess xprop;
        xprop.setProcessEnvironment(environment_);
        xprop.start(QStringLiteral("xprop"), {QStringLiteral("-root"), QString::fromLatin1(name)});
        xprop.waitForFinished(kDeadlineMs);
        return QString::fromLatin1(xprop.readAllStandardOutput());
    }

private:
    QProcess server_;
    QProcess manager_;
    QProcessEnvironment environment_;
    bool ready_ = false;
};

class ProgramWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        shared_ = new Display(QSize(1280, 1024), std::nullopt, QString());
    }

    static void TearDownTestSuite() {
        delete shared_;
        shared_ = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(shared_->Ready()) << "Xvfb did not start";
        ASSERT_TRUE(folder_.isValid());
        display_ = shared_;
    }

    void TearDown() override {
        if (program_.state() != QProcess::NotRunning) {
            program_.kill();
            program_.waitForFinished(kDeadlineMs);
        }
    }

    // Starts the program and waits for its dialog; false if it never appeared.
    bool Start() {
        environment_ = display_->Environment();
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
        const QRect client = Client();
        origin_ = client.topLeft();
        Measure(client.size());
        return true;
    }

    // The window's inside on the screen, wherever a window manager's frame holds it.
    QRect Client() {
        std::map<QString, int> said;
        const QString info =
            RunTool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), window_}, environment_);
        for (const QString& line : info.split('\n')) {
            const QStringList pair = line.split(':');
            if (pair.size() == 2) {
                said[pair[0].trimmed()] = pair[1].trimmed().toInt();
            }
        }
        return {said["Absolute upper-left X"], said["Absolute upper-left Y"], said["Width"],
                said["Height"]};
    }

    // The whole window on the screen: its inside and the frame the window manager gives it.
    QRect Frame() {
        const QString said = RunTool(
            QStringLiteral("xprop"),
            {QStringLiteral("-id"), window_, QStringLiteral("_NET_FRAME_EXTENTS")}, environment_);
        const QStringList sides = said.section(QLatin1Char('='), 1).split(QLatin1Char(','));
        EXPECT_EQ(sides.size(), 4) << said;
        if (sides.size() != 4) {
            return {};
        }
        return Client().adjusted(-sides[0].trimmed().toInt(), -sides[2].trimmed().toInt(),
                                 sides[1].trimmed().toInt(), sides[3].trimmed().toInt());
    }

    // Lays out the same dialog in this process at the window's size, which tells where each
    // control and the canvas's picture lie.
    void Measure(QSize size) {
        layout_.resize(size);
        layout_.show();
        places_.clear();
        for (QWidget* widget : layout_.findChildren<QWidget*>()) {
            places_[widget->objectName()] =
                QRect(widget->mapTo(&layout_, QPoint(0, 0)), widget->size());
        }
        const QRect picture = layout_.Canvas()->PictureRect();
        picture_ = QRect(layout_.Canvas()->mapTo(&layout_, picture.topLeft()), picture.size());
    }

    QString Xdotool(const QStringList& arguments) {
        return RunTool(QStringLiteral("xdotool"), arguments, environment_);
    }

    void Click(int controlId) { Click(QString::number(controlId)); }
    void Click(const QString& name) {
        const QPoint at = origin_ + places_.at(name).center();
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
                {QStringLiteral("-display"), display_->Name(), QStringLiteral("-window"),
                 QStringLiteral("root"), path},
                environment_);
        const QImage screen(path);
        QImage canvas =
            screen.copy(picture_.translated(origin_)).convertToFormat(QImage::Format_RGB32);
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

    static inline Display* shared_ = nullptr;
    Display* display_ = nullptr;
    QProcessEnvironment environment_;
    QTemporaryDir folder_;
    TreeDialog layout_;
    std::map<QString, QRect> places_;
    // Where the canvas shows its picture, in the window.
    QRect picture_;
    QProcess program_;
    QString window_;
    QPoint origin_;
};

TEST_F(ProgramWindow, TypedValuesAndAPressDrawTheTreeOfThatSecond) {
    ASSERT_TRUE(Start()) << program_.readAll().toStdString();
    const QImage example = ReferencePixels(kExampleTree, kPresets.front().second);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Canvas() == example; }, kDeadlineMs))
        << "the program opens with the example tree drawn";
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

// On a 1366 x 768 screen whose panel takes 40 pixels, the whole window lies in the room left and
// its canvas shows the whole picture, scaled down; on a larger screen the window opens at its own
// size, the canvas showing a picture pixel a pixel, and grows with the screen.
TEST_F(ProgramWindow, FitsASmallScreenWithAPanelAndGrowsOnALargerOne) {
    const std::uint32_t second = 1000000006;
    const QImage tree = ReferencePixels(kExampleTree, second);
    struct Screen {
        QSize size;
        int panel;
    };
    for (const Screen& screen : {Screen{{1366, 768}, 40}, Screen{{1920, 1080}, 0}}) {
        SCOPED_TRACE(screen.size.width());
        Display display(screen.size, screen.panel, folder_.path());
        ASSERT_TRUE(display.Ready()) << "Xvfb or the window manager did not start";
        display_ = &display;
        ASSERT_TRUE(Start()) << program_.readAll().toStdString();
        const QRect room(QPoint(0, 0), screen.size - QSize(0, screen.panel));
        EXPECT_TRUE(room.contains(Frame()))
            << "frame " << Frame().width() << "x" << Frame().height() << " at " << Frame().x()
            << "," << Frame().y();

        Click(QStringLiteral("second"));
        TypeIntoFocus(QString::number(second));
        Xdotool({QStringLiteral("key"), QStringLiteral("Return")});
        const auto showsTree = [&] {
            return QTest::qWaitFor([&] { return Canvas() == ShownPicture(tree, picture_.size()); },
                                   kDeadlineMs);
        };
        EXPECT_TRUE(showsTree()) << "the canvas never showed the whole tree";
        if (screen.panel > 0) {
            EXPECT_LT(layout_.Canvas()->Scale(), 1.0);
        } else {
            EXPECT_EQ(layout_.Canvas()->Scale(), 1.0);
            // Grown within the screen, so that the screenshot holds the whole canvas.
            const QSize larger(1600, 1000);
            Xdotool(
                {QStringLiteral("windowmove"), window_, QStringLiteral("0"), QStringLiteral("0")});
            Xdotool({QStringLiteral("windowsize"), window_, QString::number(larger.width()),
                     QString::number(larger.height())});
            ASSERT_TRUE(QTest::qWaitFor([&] { return Client().size() == larger; }, kDeadlineMs));
            origin_ = Client().topLeft();
            Measure(larger);
            EXPECT_GT(layout_.Canvas()->width(), 2 * kCanvasWidth) << "the canvas takes the room";
            EXPECT_EQ(layout_.Canvas()->Scale(), 1.0);
            EXPECT_TRUE(showsTree()) << "the grown canvas lost the tree";
        }
        Xdotool({QStringLiteral("key"), QStringLiteral("ctrl+q")});
        EXPECT_EQ(ExitStatus(), 0);
        display_ = shared_;
    }
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
