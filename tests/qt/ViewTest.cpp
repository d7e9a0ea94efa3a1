// Turning the view on the canvas, and the 3-D files the dialog saves.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "DialogHelpers.h"
#include "output/Formats.h"
#include "ui/DialogLayout.h"
#include "ui/qt/TreeCanvas.h"
#include "ui/qt/TreeViews.h"

namespace arbolith {
namespace {

using namespace arbolith::testing;

// Drags across the canvas with the left button, through a point on the way.
void Drag(TreeDialog& dialog, QPoint from, QPoint to) {
    QWidget* canvas = dialog.Canvas();
    QTest::mousePress(canvas, Qt::LeftButton, {}, from);
    QTest::mouseMove(canvas, (from + to) / 2);
    QTest::mouseMove(canvas, to);
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, to);
    EXPECT_TRUE(WaitForRunEnd(dialog));
}

TreeOrder DrawSmallTree(TreeDialog& dialog) {
    TypeParameters(dialog, SmallTree());
    QTest::mouseClick(Button(dialog, kButtonGenerate), Qt::LeftButton);
    EXPECT_TRUE(WaitForRunEnd(dialog));
    return dialog.ShownTree().value_or(TreeOrder{});
}

// What the status line says, given back to arbolith-render with the tree's values, draws the
// canvas to the pixel.
TEST(TreeView, DraggingTurnsTheTreeAndTheStatusLineRedrawsItThroughTheRenderer) {
    TreeDialog dialog;
    dialog.show();
    const TreeOrder front = DrawSmallTree(dialog);
    Drag(dialog, {200, 300}, {330, 250});
    EXPECT_EQ(dialog.View(), (ViewAngles{65, -25})) << "half a degree a pixel";
    const TreeOrder turned = dialog.ShownTree().value_or(TreeOrder{});
    EXPECT_EQ(turned.second, front.second) << "the same tree, seen from elsewhere";
    const QImage canvas = CanvasPixels(dialog);
    EXPECT_NE(canvas, ReferencePixels(SmallTree(), front.second));

    const QRegularExpressionMatch said =
        QRegularExpression(QStringLiteral("arbolith-render (--time \\d+ .*--view -?\\d+,-?\\d+) "))
            .match(StatusText(dialog));
    ASSERT_TRUE(said.hasMatch()) << StatusText(dialog);
    const QRegularExpressionMatch angles =
        QRegularExpression(QStringLiteral("yaw (-?\\d+)°, pitch (-?\\d+)°"))
            .match(StatusText(dialog));
    ASSERT_TRUE(angles.hasMatch()) << StatusText(dialog);
    EXPECT_EQ(angles.captured(1).toInt(), 65);
    EXPECT_EQ(angles.captured(2).toInt(), -25);

    QTemporaryDir folder;
    QStringList arguments = said.captured(1).split(QLatin1Char(' '));
    arguments << QStringLiteral("-o") << folder.filePath(QStringLiteral("view.png"));
    QProcess render;
    render.start(QStringLiteral(ARBOLITH_RENDER), arguments);
    ASSERT_TRUE(render.waitForFinished(60000));
    ASSERT_EQ(render.exitCode(), 0) << render.readAllStandardError().toStdString();
    const QImage drawn = QImage(folder.filePath(QStringLiteral("view.png")))
                             .convertToFormat(QImage::Format_RGB32)
                             .copy(QRect(QPoint(0, 0), canvas.size()));
    EXPECT_EQ(drawn, canvas) << "0 differing pixels";
}

TEST(TreeView, HomeAndTheContextMenuEntryBringBackTheFrontView) {
    TreeDialog dialog;
    dialog.show();
    const TreeOrder tree = DrawSmallTree(dialog);
    const QImage front = ReferencePixels(SmallTree(), tree.second);

    Drag(dialog, {300, 300}, {100, 340});
    ASSERT_NE(CanvasPixels(dialog), front);
    QTest::keyClick(dialog.Canvas(), Qt::Key_Home);
    ASSERT_TRUE(WaitForRunEnd(dialog));
    EXPECT_TRUE(dialog.View().IsFront());
    EXPECT_EQ(CanvasPixels(dialog), front);

    Drag(dialog, {300, 300}, {320, 100});
    ASSERT_NE(CanvasPixels(dialog), front);
    auto* entry = dialog.Canvas()->findChild<QAction*>(QStringLiteral("frontView"));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->shortcut(), QKeySequence(Qt::Key_Home));
    entry->trigger();
    ASSERT_TRUE(WaitForRunEnd(dialog));
    EXPECT_EQ(CanvasPixels(dialog), front);
}

// Whatever the fields hold, the command on the status line draws exactly the canvas: it carries
// every value that differs from arbolith-render's defaults.
TEST(TreeView, TheStatusLinesCommandDrawsTheCanvasWhateverTheFieldsHold) {
    const std::vector<std::pair<int, QString>> texts{
        {kFieldLimbsDegree, QStringLiteral("abc")},
        {kFieldScaleFactor, QStringLiteral("0,6")},
        {kFieldMaxAngleXY, QStringLiteral(" -33x")},
        {kFieldReferenceZ, QStringLiteral("4294967297")},
        {kFieldLevels, QStringLiteral("3.9")},
        {kFieldScaleFactor, QStringLiteral("6e-1")},
        {kFieldVectorX, QStringLiteral("")},
        {kFieldMaxAngleXZ, QStringLiteral("1d1")},
    };
    TreeDialog dialog;
    dialog.show();
    QTemporaryDir folder;
    for (const auto& [id, text] : texts) {
        SCOPED_TRACE(text.toStdString());
        TypeParameters(dialog, SmallTree());
        Type(Field(dialog, id), text);
        QTest::mouseClick(Button(dialog, kButtonGenerate), Qt::LeftButton);
        ASSERT_TRUE(WaitForRunEnd(dialog));
        const QRegularExpressionMatch said =
            QRegularExpression(QStringLiteral("arbolith-render (--time \\d+.*) draws it again"))
                .match(StatusText(dialog));
        ASSERT_TRUE(said.hasMatch()) << StatusText(dialog);
        QStringList arguments = said.captured(1).split(QLatin1Char(' '));
        arguments << QStringLiteral("-o") << folder.filePath(QStringLiteral("tree.png"));
        QProcess render;
        render.start(QStringLiteral(ARBOLITH_RENDER), arguments);
        ASSERT_TRUE(render.waitForFinished(60000));
        ASSERT_EQ(render.exitCode(), 0) << render.readAllStandardError().toStdString();
        const QImage canvas = CanvasPixels(dialog);
        const QImage drawn = QImage(folder.filePath(QStringLiteral("tree.png")))
                                 .convertToFormat(QImage::Format_RGB32)
                                 .copy(QRect(QPoint(0, 0), canvas.size()));
        EXPECT_EQ(drawn, canvas) << "0 differing pixels";
    }
}

// Save offers every format of the table and writes each as arbolith-render does for the same
// values, second and view: pictures as the canvas shows the tree, 3-D files the tree itself.
TEST(TreeView, SavesEveryFormatAsArbolithRenderWritesIt) {
    TreeDialog dialog;
    dialog.show();
    const TreeOrder tree = DrawSmallTree(dialog);
    Drag(dialog, {200, 300}, {300, 300});
    const ViewAngles view = dialog.View();
    ASSERT_FALSE(view.IsFront());
    const TreeParameters& p = tree.parameters;
    const auto triple = [](const IntTriple& t) {
        return QStringLiteral("%1,%2,%3").arg(t.x).arg(t.y).arg(t.z);
    };
    QTemporaryDir saved;
    QTemporaryDir rendered;
    for (const FormatInfo& format : Formats()) {
        const QString name = QStringLiteral("tree") + QString::fromLatin1(format.extension.data());
        SCOPED_TRACE(name.toStdString());
        ASSERT_EQ(dialog.SaveTo(saved.filePath(name)), QString());
        QStringList arguments{QStringLiteral("--time"),      QString::number(tree.second),
                              QStringLiteral("--max-xy"),    QString::number(p.maxAngleXY),
                              QStringLiteral("--max-yz"),    QString::number(p.maxAngleYZ),
                              QStringLiteral("--max-xz"),    QString::number(p.maxAngleXZ),
                              QStringLiteral("--scale"),     QString::number(p.scaleFactor),
                              QStringLiteral("--limbs"),     QString::number(p.limbsDegree),
                              QStringLiteral("--reference"), triple(p.referencePoint),
                              QStringLiteral("--vector"),    triple(p.firstVector),
                              QStringLiteral("--levels"),    QString::number(p.levels),
                              QStringLiteral("-o"),          rendered.filePath(name)};
        if (!format.model) {
            arguments << QStringLiteral("--view")
                      << QStringLiteral("%1,%2").arg(view.yaw).arg(view.pitch);
        }
        QProcess render;
        render.start(QStringLiteral(ARBOLITH_RENDER), arguments);
        ASSERT_TRUE(render.waitForFinished(60000));
        ASSERT_EQ(render.exitCode(), 0) << render.readAllStandardError().toStdString();
        QFile ours(saved.filePath(name));
        QFile theirs(rendered.filePath(name));
        ASSERT_TRUE(ours.open(QIODevice::ReadOnly) && theirs.open(QIODevice::ReadOnly));
        EXPECT_TRUE(ours.readAll() == theirs.readAll());
    }
    EXPECT_TRUE(QFile::exists(saved.filePath(QStringLiteral("tree.mtl"))));
}

// An OBJ and its material library are saved as one: a library that cannot be written leaves
// the old OBJ, and the message names the file that failed.
TEST(TreeView, AnObjWhoseLibraryCannotBeWrittenLeavesTheOldFile) {
    TreeDialog dialog;
    dialog.show();
    DrawSmallTree(dialog);
    QTemporaryDir folder;
    QFile old(folder.filePath(QStringLiteral("tree.obj")));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("OLD");
    old.close();
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("tree.mtl")));
    EXPECT_EQ(dialog.SaveTo(old.fileName()),
              folder.filePath(QStringLiteral("tree.mtl")) + QStringLiteral(": Is a directory"));
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("OLD"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({QStringLiteral("tree.mtl"), QStringLiteral("tree.obj")}));
}

// Where there is no OpenGL (Qt's offscreen screen offers none), the 3-D view says so in one line
// and the picture draws on.
TEST(TreeView, Without3DTheViewSaysSoInOneLineAndThePictureWorks) {
    TreeDialog dialog;
    dialog.show();
    TreeViews& views = *dialog.Views();
    views.Show3D();
    const auto shownLine = [&] {
        return qobject_cast<QLabel*>(views.currentWidget());
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return shownLine() != nullptr; }, 5000));
    EXPECT_FALSE(views.Trouble().contains(QLatin1Char('\n')));
    EXPECT_TRUE(views.Trouble().contains(QStringLiteral("OpenGL 3.3")));
    EXPECT_TRUE(shownLine()->isVisible());
    EXPECT_EQ(shownLine()->text(), views.Trouble());
    views.ShowPicture();
    const TreeOrder drawn = DrawSmallTree(dialog);
    EXPECT_EQ(CanvasPixels(dialog), ReferencePixels(drawn.parameters, drawn.second));
}

} // namespace
} // namespace arbolith
