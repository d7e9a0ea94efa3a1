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
#include "render/GltfWriter.h"
#include "ui/DialogLayout.h"
#include "ui/qt/TreeCanvas.h"

namespace arbolith {
namespace {

using namespace arbolith::testing;

QString StatusText(const TreeDialog& dialog) {
    return dialog.findChild<QLabel*>(QStringLiteral("status"))->text();
}

// Drags across the canvas with the left button, through a point on the way.
void Drag(TreeDialog& dialog, QPoint from, QPoint to) {
    QWidget* canvas = dialog.Canvas();
    QTest::mousePress(canvas, Qt::LeftButton, {}, from);
    QTest::mouseMove(canvas, (from + to) / 2);
    QTest::mouseMove(canvas, to);
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, to);
    EXPECT_TRUE(WaitForRunEnd(dialog));
}

TreeRecord DrawSmallTree(TreeDialog& dialog) {
    TypeParameters(dialog, SmallTree());
    QTest::mouseClick(Button(dialog, kButtonGenerate), Qt::LeftButton);
    EXPECT_TRUE(WaitForRunEnd(dialog));
    return dialog.ShownTree().value_or(TreeRecord{});
}

// What the status line says, given back to arbolith-render with the tree's values, draws the
// canvas to the pixel.
TEST(TreeView, DraggingTurnsTheTreeAndTheStatusLineRedrawsItThroughTheRenderer) {
    TreeDialog dialog;
    dialog.show();
    const TreeRecord front = DrawSmallTree(dialog);
    Drag(dialog, {200, 300}, {330, 250});
    EXPECT_EQ(dialog.View(), (ViewAngles{65, -25})) << "half a degree a pixel";
    const TreeRecord turned = dialog.ShownTree().value_or(TreeRecord{});
    EXPECT_EQ(turned.second, front.second) << "the same tree, seen from elsewhere";
    const QImage canvas = CanvasPixels(dialog);
    EXPECT_NE(canvas, ReferencePixels(SmallTree(), front.second));

    const QRegularExpressionMatch said =
        QRegularExpression(QStringLiteral("arbolith-render (--time \\d+ --view -?\\d+,-?\\d+)"))
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
    const TreeParameters p = SmallTree();
    const auto triple = [](const IntTriple& t) {
        return QStringLiteral("%1,%2,%3").arg(t.x).arg(t.y).arg(t.z);
    };
    arguments << QStringLiteral("--max-xy") << QString::number(p.maxAngleXY)
              << QStringLiteral("--max-yz") << QString::number(p.maxAngleYZ)
              << QStringLiteral("--max-xz") << QString::number(p.maxAngleXZ)
              << QStringLiteral("--scale") << QString::number(p.scaleFactor)
              << QStringLiteral("--limbs") << QString::number(p.limbsDegree)
              << QStringLiteral("--reference") << triple(p.referencePoint)
              << QStringLiteral("--vector") << triple(p.firstVector) << QStringLiteral("--levels")
              << QString::number(p.levels) << QStringLiteral("-o")
              << folder.filePath(QStringLiteral("view.png"));
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
    const TreeRecord tree = DrawSmallTree(dialog);
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

// The 3-D files hold the tree itself, whatever side the canvas shows it from.
TEST(TreeView, SavesTheTreeIn3DAsArbolithRenderWritesIt) {
    TreeDialog dialog;
    dialog.show();
    const TreeRecord tree = DrawSmallTree(dialog);
    Drag(dialog, {200, 300}, {300, 300});
    QTemporaryDir folder;
    ASSERT_EQ(dialog.SaveTo(folder.filePath(QStringLiteral("tree.glb"))), QString());
    ASSERT_EQ(dialog.SaveTo(folder.filePath(QStringLiteral("tree.obj"))), QString());
    QFile glb(folder.filePath(QStringLiteral("tree.glb")));
    ASSERT_TRUE(glb.open(QIODevice::ReadOnly));
    std::string expected;
    WriteGlb({SmallTree(), tree.second}, [&expected](const void* data, std::size_t size) {
        expected.append(static_cast<const char*>(data), size);
        return true;
    });
    EXPECT_EQ(glb.readAll().toStdString(), expected);
    EXPECT_TRUE(QFile::exists(folder.filePath(QStringLiteral("tree.mtl"))));
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

} // namespace
} // namespace arbolith
