// The menu bar: every entry of its table in its place, and each doing its job, its file
// dialogs and message boxes answered as a user would.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <sys/stat.h>

#include <set>

#include "DialogHelpers.h"
#include "mesh/GltfWriter.h"
#include "render/RasterPicture.h"
#include "tree/BranchCount.h"
#include "tree/Presets.h"
#include "ui/DialogLayout.h"
#include "ui/qt/PixelImages.h"
#include "ui/qt/SecondStrip.h"
#include "ui/qt/TemplatePanel.h"
#include "ui/qt/TreeCanvas.h"
#include "ui/qt/TreeMenus.h"
#include "values/KeyTable.h"

namespace arbolith {
namespace {

using namespace arbolith::testing;

QAction* Entry(const TreeDialog& dialog, const QString& name) {
    return dialog.MenuBar()->findChild<QAction*>(name);
}

// The title of the menu that holds the action.
QString MenuOf(const QAction* action) {
    for (const QObject* holder : action->associatedObjects()) {
        if (const auto* menu = qobject_cast<const QMenu*>(holder)) {
            return menu->title();
        }
    }
    return {};
}

// Once the next modal window of this type opens, hands it to `answer`.
template <typename Window> void WhenOpen(std::function<void(Window&)> answer) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, answer] {
        if (auto* window = qobject_cast<Window*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            answer(*window);
        }
    });
    poll->start(10);
}

// Types this file's name into the next file dialog and presses Enter.
void ChooseFile(const QString& path) {
    WhenOpen<QFileDialog>([path](QFileDialog& dialog) {
        auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(path);
        QTest::keyClick(name, Qt::Key_Return);
    });
}

// Reads the next message box and closes it.
void ReadMessage(QString& text) {
    WhenOpen<QMessageBox>([&text](QMessageBox& box) {
        text = box.text();
        box.reject();
    });
}

TEST(Menus, EveryEntryStandsInItsMenuWithItsKey) {
    const TreeDialog dialog;
    QStringList titles;
    for (const QAction* menu : dialog.MenuBar()->actions()) {
        titles << menu->text();
    }
    EXPECT_EQ(titles, (QStringList{QStringLiteral("&File"), QStringLiteral("&Edit"),
                                   QStringLiteral("&View"), QStringLiteral("&Tree"),
                                   QStringLiteral("&Presets"), QStringLiteral("&Help")}));
    for (const MenuEntry& entry : MenuEntries()) {
        SCOPED_TRACE(entry.name);
        const QAction* action = Entry(dialog, QString::fromLatin1(entry.name));
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(MenuOf(action), QString::fromLatin1(entry.menu));
        EXPECT_EQ(action->text(), QString::fromLatin1(entry.text));
        EXPECT_EQ(action->shortcut(), QKeySequence(QString::fromLatin1(entry.key)));
    }
    EXPECT_EQ(MenuOf(dialog.Canvas()->FrontViewAction()), QStringLiteral("&View"));
    for (const Preset& preset : kPresets) {
        const QAction* action =
            Entry(dialog, QStringLiteral("preset-") + QString::fromLatin1(preset.name.data()));
        ASSERT_NE(action, nullptr) << preset.name;
        EXPECT_EQ(MenuOf(action), QStringLiteral("&Presets"));
    }
}

TEST(Menus, EachEntryDoesItsJob) {
    TreeDialog dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    for (const Preset& preset : kPresets) {
        SCOPED_TRACE(preset.name);
        Entry(dialog, QStringLiteral("preset-") + QString::fromLatin1(preset.name.data()))
            ->trigger();
        ASSERT_TRUE(WaitForTree(dialog, preset.parameters, preset.second));
        EXPECT_EQ(dialog.SecondField()->text(), QString::number(preset.second));
        EXPECT_EQ(CanvasPixels(dialog), ReferencePixels(preset.parameters, preset.second));
    }
    const TreeOrder fan = *dialog.ShownTree();

    Entry(dialog, QStringLiteral("copyPicture"))->trigger();
    EXPECT_EQ(QApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
              dialog.Canvas()->Picture());
    Entry(dialog, QStringLiteral("copyCommand"))->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromStdString(RenderCommand(fan)));

    // With no second held, the file takes that of the tree drawn from the same values.
    dialog.SetView({20, -5});
    ASSERT_TRUE(WaitForRunEnd(dialog));
    Type(dialog.SecondField(), QString());
    QTemporaryDir folder;
    const QString saved = folder.filePath(QStringLiteral("fan.txt"));
    ChooseFile(saved);
    Entry(dialog, QStringLiteral("saveParameters"))->trigger();
    EXPECT_EQ(ReadParameterFile(saved.toStdString()),
              ParameterReading(ParameterSet{fan.parameters, fan.second, ViewAngles{20, -5}}));

    const QString picture = folder.filePath(QStringLiteral("fan.svg"));
    ChooseFile(picture);
    Entry(dialog, QStringLiteral("saveTree"))->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.SaveGoing(); }, 60000));
    QFile svg(picture);
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    EXPECT_EQ(static_cast<std::uint64_t>(svg.readAll().count("<polygon")),
              CountBranches(fan.parameters, fan.path, fan.second).branches);

    // Levels of detail: asked for first, then a file among the 3-D formats alone, a name without
    // an extension taking the first's.
    WhenOpen<QInputDialog>([](QInputDialog& levels) {
        levels.setIntValue(3);
        levels.accept();
    });
    QStringList offered;
    WhenOpen<QFileDialog>([&](QFileDialog& files) {
        offered = files.nameFilters();
        auto* name = files.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(folder.filePath(QStringLiteral("fan-lod")));
        QTest::keyClick(name, Qt::Key_Return);
    });
    Entry(dialog, QStringLiteral("saveLevelsOfDetail"))->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.SaveGoing(); }, 60000));
    EXPECT_EQ(offered.size(), 2) << offered.join(QStringLiteral("; ")).toStdString();
    QFile lod(folder.filePath(QStringLiteral("fan-lod.glb")));
    ASSERT_TRUE(lod.open(QIODevice::ReadOnly));
    std::string expected;
    WriteGlb(
        fan,
        [&expected](const void* data, std::size_t size) {
            expected.append(static_cast<const char*>(data), size);
            return true;
        },
        nullptr, nullptr, 3);
    EXPECT_TRUE(lod.readAll().toStdString() == expected) << "not the .glb of 3 levels of detail";

    // Ctrl+O, pressed in a field, opens the file saved above: values, second and view.
    Entry(dialog, QStringLiteral("preset-oak"))->trigger();
    dialog.SetView({});
    ASSERT_TRUE(WaitForTree(dialog, FindPreset("oak")->parameters, FindPreset("oak")->second));
    ChooseFile(saved);
    QTest::keyClick(Field(dialog, kFieldLevels), Qt::Key_O, Qt::ControlModifier);
    EXPECT_TRUE(WaitForTree(dialog, fan.parameters, fan.second));
    EXPECT_EQ(dialog.SecondField()->text(), QString::number(fan.second));
    EXPECT_EQ(dialog.View(), (ViewAngles{20, -5}));
    // A faulty file is refused naming it and its line, as plain text whatever its name holds,
    // and the fields keep their values.
    QFile bad(folder.filePath(QStringLiteral("<b>bad.txt")));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("levels = 3\nlevels = 4\n");
    bad.close();
    ChooseFile(bad.fileName());
    QString warning;
    Qt::TextFormat format = Qt::AutoText;
    WhenOpen<QMessageBox>([&](QMessageBox& box) {
        warning = box.text();
        format = box.textFormat();
        box.reject();
    });
    Entry(dialog, QStringLiteral("openParameters"))->trigger();
    EXPECT_TRUE(warning.contains(bad.fileName() +
                                 QStringLiteral(", line 2: levels given again (first on line 1)")))
        << warning;
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(dialog.Template()->Parameters(), fan.parameters);

    QString keys;
    ReadMessage(keys);
    Entry(dialog, QStringLiteral("keys"))->trigger();
    for (const MenuEntry& entry : MenuEntries()) {
        EXPECT_TRUE(keys.contains(QString::fromLatin1(entry.key))) << entry.key;
    }
    QString about;
    ReadMessage(about);
    Entry(dialog, QStringLiteral("about"))->trigger();
    EXPECT_TRUE(about.contains(QStringLiteral(ARBOLITH_VERSION))) << about;
    EXPECT_TRUE(about.contains(QStringLiteral("MIT"))) << about;
}

// Open Parameters never waits on a file that may not come, and what a message quotes is shown
// escaped and short: it cannot break the line, reorder it or bury it.
TEST(Menus, OpenNeverWaitsAndItsMessagesCannotDeceive) {
    TreeDialog dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QTemporaryDir folder;
    const QString fifo = folder.filePath(QStringLiteral("fifo.txt"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const struct {
        QString name;
        QByteArray content; // none for the FIFO
        QStringList mentions;
    } cases[] = {
        {fifo, {}, {fifo + QStringLiteral(": not a regular file")}},
        {QStringLiteral("reversed.txt"),
         "levels = \u202e5\" is fine",
         {QStringLiteral("line 1: invalid value '\\u202e5\" is fine' for levels")}},
        {QStringLiteral("huge.txt"),
         "levels = " + QByteArray(60000, '9'),
         {QStringLiteral("'") + QString(64, QLatin1Char('9')) +
          QStringLiteral("...' (60,000 characters) for levels")}},
        {QStringLiteral("two\nlines\x1b[2J.txt"),
         "levels = x",
         {QStringLiteral("two\\nlines\\x1b[2J.txt, line 1")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        const QString path = c.name == fifo ? fifo : folder.filePath(c.name);
        if (!c.content.isNull()) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(c.content);
        }
        ChooseFile(path);
        QString warning;
        ReadMessage(warning);
        Entry(dialog, QStringLiteral("openParameters"))->trigger();
        for (const QString& mention : c.mentions) {
            EXPECT_TRUE(warning.contains(mention)) << warning << " should hold " << mention;
        }
        EXPECT_LT(warning.size(), 400);
        EXPECT_FALSE(warning.contains(QLatin1Char('\n')) || warning.contains(QChar(0x202e)) ||
                     warning.contains(QChar(0x1b)));
    }
    // The status line too, which names the file a tree was saved to.
    Entry(dialog, QStringLiteral("preset-bush"))->trigger();
    ASSERT_TRUE(WaitForRunEnd(dialog));
    dialog.SaveInBackground(folder.filePath(QStringLiteral("a\nb\u202e.svg")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.SaveGoing(); }, 60000));
    EXPECT_TRUE(StatusText(dialog).endsWith(QStringLiteral("a\\nb\\u202e.svg.")))
        << StatusText(dialog);
}

// Every press a new tree, held; the neighbouring seconds a step away; a larger picture of the
// tree shown, every branch drawn that many times larger.
TEST(Menus, TheTreeMenuStepsThroughTreesAndALargerPictureIsDrawnLarger) {
    TreeDialog dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    TypeParameters(dialog, SmallTree());
    std::set<std::uint32_t> pressed;
    for (int press = 0; press < 3; ++press) {
        Entry(dialog, QStringLiteral("generate"))->trigger();
        ASSERT_TRUE(WaitForTree(dialog, SmallTree()));
        EXPECT_EQ(dialog.SecondField()->text(), QString::number(dialog.ShownTree()->second));
        pressed.insert(dialog.ShownTree()->second);
    }
    EXPECT_EQ(pressed.size(), 3u) << "three presses, three trees";
    const std::uint32_t held = dialog.ShownTree()->second;
    QTest::keyClick(Field(dialog, kFieldLevels), Qt::Key_PageDown);
    ASSERT_TRUE(WaitForTree(dialog, SmallTree(), held + 1));
    Entry(dialog, QStringLiteral("previousSecond"))->trigger();
    ASSERT_TRUE(WaitForTree(dialog, SmallTree(), held));
    EXPECT_EQ(dialog.SecondField()->text(), QString::number(held));

    // More like this: the neighbours drawn under the canvas, a click taking one's second.
    Entry(dialog, QStringLiteral("moreLikeThis"))->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.Neighbours()->Drawn(); }, 60000));
    EXPECT_EQ(
        dialog.Neighbours()->Seconds(),
        (std::vector<std::uint32_t>{held - 3, held - 2, held - 1, held + 1, held + 2, held + 3}));
    QTest::mouseClick(dialog.Neighbours()->findChild<QToolButton*>(QStringLiteral("neighbour1")),
                      Qt::LeftButton);
    ASSERT_TRUE(WaitForTree(dialog, SmallTree(), held - 2));
    EXPECT_EQ(dialog.SecondField()->text(), QString::number(held - 2));
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.Neighbours()->Drawn(); }, 60000));
    EXPECT_EQ(dialog.Neighbours()->Seconds().front(), held - 5) << "round the new tree";
    Entry(dialog, QStringLiteral("moreLikeThis"))->trigger();
    EXPECT_FALSE(dialog.Neighbours()->isVisible());
    Entry(dialog, QStringLiteral("previousSecond"))->trigger();
    ASSERT_TRUE(WaitForTree(dialog, SmallTree(), held - 3));
    Entry(dialog, QStringLiteral("nextSecond"))->trigger();
    ASSERT_TRUE(WaitForTree(dialog, SmallTree(), held - 2));
    Entry(dialog, QStringLiteral("nextSecond"))->trigger();
    Entry(dialog, QStringLiteral("nextSecond"))->trigger();
    ASSERT_TRUE(WaitForTree(dialog, SmallTree(), held));

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("large.png"));
    WhenOpen<QInputDialog>([path](QInputDialog& ask) {
        ask.setIntValue(3);
        ChooseFile(path);
        ask.accept();
    });
    Entry(dialog, QStringLiteral("saveLarger"))->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.SaveGoing() && QFile::exists(path); }, 60000));
    TreeOrder larger{SmallTree(), held};
    larger.placement = {3, 0, 0};
    const QImage expected = ToQImage(*RenderTreeImage(larger, 3 * kCanvasWidth, 3 * kCanvasHeight));
    EXPECT_EQ(QImage(path).convertToFormat(QImage::Format_RGB32), expected);
}

} // namespace
} // namespace arbolith
