#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <limits>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "DialogHelpers.h"
#include "tests/support/RecordingSurface.h"
#include "tree/DrawingRun.h"
#include "tree/ExampleTree.h"
#include "ui/DialogLayout.h"
#include "ui/FieldText.h"
#include "ui/qt/TemplatePanel.h"
#include "ui/qt/TreeCanvas.h"

namespace arbolith {
namespace {

using namespace arbolith::testing;

// Presses "Generate new tree" with the mouse and waits for the tree.
TreeOrder Draw(TreeDialog& dialog) {
    QTest::mouseClick(Button(dialog, kButtonGenerate), Qt::LeftButton);
    EXPECT_TRUE(WaitForRunEnd(dialog));
    EXPECT_TRUE(dialog.ShownTree().has_value());
    return dialog.ShownTree().value_or(TreeOrder{});
}

TEST(TreeDialog, PlacesTheTemplatesControlsInItsOrder) {
    TreeDialog dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Arbolith generator"));
    std::vector<QWidget*> controls;
    for (QObject* child : dialog.Template()->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget != nullptr && controls.size() < kDialogControls.size()) {
            controls.push_back(widget);
        }
    }
    ASSERT_EQ(controls.size(), kDialogControls.size());
    for (std::size_t i = 0; i < kDialogControls.size(); ++i) {
        const DialogControl& control = kDialogControls[i];
        QWidget* widget = controls[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(widget->objectName(), QString::number(control.id));
        const QRect place = DialogRectToPixels(dialog.BaseUnits(), control.x, control.y,
                                               control.width, control.height);
        EXPECT_EQ(widget->pos(), place.topLeft());
        if (control.kind != ControlKind::Picture) {
            EXPECT_EQ(widget->size(), place.size());
        }
        EXPECT_LE(widget->geometry().right(), kCanvasX) << "controls stay left of the canvas";
        switch (control.kind) {
        case ControlKind::InputField:
            EXPECT_NE(qobject_cast<QLineEdit*>(widget), nullptr);
            break;
        case ControlKind::DefaultButton:
        case ControlKind::PushButton: {
            auto* button = qobject_cast<QPushButton*>(widget);
            ASSERT_NE(button, nullptr);
            EXPECT_EQ(button->text(), QString::fromLatin1(control.text));
            EXPECT_EQ(button->isDefault(), control.kind == ControlKind::DefaultButton);
            break;
        }
        case ControlKind::Label:
            ASSERT_NE(qobject_cast<QLabel*>(widget), nullptr);
            EXPECT_EQ(qobject_cast<QLabel*>(widget)->text(), QString::fromLatin1(control.text));
            break;
        case ControlKind::Picture: {
            auto* picture = qobject_cast<QLabel*>(widget);
            ASSERT_NE(picture, nullptr);
            // Bitmap 102 at its own size, the control fitted round it.
            EXPECT_EQ(picture->pixmap().size(), QSize(179, 299));
            EXPECT_EQ(picture->contentsRect().size(), QSize(179, 299));
            break;
        }
        }
    }
    // Below the menu bar, the controls at their places and the picture at the template's place,
    // at its own size, its border outside it.
    const QPoint below(0, dialog.MenuBar()->height());
    EXPECT_EQ(dialog.Template()->pos(), below);
    const QRect picture = dialog.Canvas()->PictureRect();
    EXPECT_EQ(QRect(dialog.Canvas()->mapTo(&dialog, picture.topLeft()), picture.size()),
              QRect(below + QPoint(kCanvasX, kCanvasY), QSize(kCanvasWidth, kCanvasHeight)));
}

TEST(TreeDialog, TabMovesThroughFieldsAndButtonsInTemplateOrder) {
    TreeDialog dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    std::vector<QString> expected;
    for (const DialogControl& control : kDialogControls) {
        if (control.kind != ControlKind::Label && control.kind != ControlKind::Picture) {
            expected.push_back(QString::number(control.id));
        }
    }
    // The second's field comes after the template's controls.
    expected.push_back(QStringLiteral("second"));
    std::vector<QString> visited;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        visited.push_back(QApplication::focusWidget()->objectName());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(visited, expected);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), expected.front()) << "Tab wraps round";
}

TEST(TreeDialog, FieldsStartWithTheExampleTree) {
    const TreeDialog dialog;
    const TreeParameters read =
        ReadTreeParameters([&](int id) { return Field(dialog, id)->text().toStdString(); });
    EXPECT_EQ(read, kExampleTree);
}

TEST(TreeDialog, CanvasShowsTheWindowColourInsideItsBorderBeforeTheFirstRun) {
    TreeDialog dialog;
    dialog.show();
    QImage whole(dialog.Canvas()->size(), QImage::Format_RGB32);
    dialog.Canvas()->render(&whole);
    const QColor window = dialog.Canvas()->palette().color(QPalette::Base);
    const QColor border = dialog.Canvas()->palette().color(QPalette::WindowText);
    ASSERT_NE(window, border);
    // Every pixel of the picture's place is the picture's, the last row and column too.
    const QRect inside = dialog.Canvas()->PictureRect();
    ASSERT_EQ(inside.size(), QSize(kCanvasWidth, kCanvasHeight));
    EXPECT_EQ(whole.pixelColor(inside.topLeft() - QPoint(1, 1)), border);
    EXPECT_EQ(whole.pixelColor(inside.right() + 1, inside.center().y()), border);
    EXPECT_EQ(whole.pixelColor(inside.center().x(), inside.bottom() + 1), border);
    EXPECT_EQ(whole.pixelColor(inside.topLeft()), window);
    EXPECT_EQ(whole.pixelColor(inside.bottomRight()), window);
}

TEST(TreeDialog, PressDrawsTheTreeOfTheSecondItShows) {
    TreeDialog dialog;
    dialog.show();
    TypeParameters(dialog, SmallTree());
    const TreeOrder tree = Draw(dialog);
    EXPECT_EQ(tree.parameters, SmallTree());
    EXPECT_EQ(tree.branchLimit, kNoBranchLimit);
    EXPECT_TRUE(StatusText(dialog).contains(QString::number(tree.second))) << StatusText(dialog);

    const QImage shown = CanvasPixels(dialog);
    const QImage expected = ReferencePixels(SmallTree(), tree.second);
    EXPECT_EQ(shown, expected);
    // A real tree: black outlines with some of the branches' brown between them.
    int brown = 0;
    int drawn = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            const QRgb pixel = shown.pixel(x, y);
            brown += pixel == qRgb(kBranchFill.red, kBranchFill.green, kBranchFill.blue);
            drawn += pixel != qRgb(255, 255, 255);
        }
    }
    EXPECT_GT(brown, 50);
    EXPECT_GT(drawn, 2000);
}

TEST(TreeDialog, EnterInAFieldPressesGenerate) {
    TreeDialog dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QLineEdit* levels = Field(dialog, kFieldLevels);
    Type(levels, QStringLiteral("2"));
    QTest::keyClick(levels, Qt::Key_Return);
    ASSERT_TRUE(WaitForRunEnd(dialog));
    ASSERT_TRUE(dialog.ShownTree().has_value());
    EXPECT_EQ(dialog.ShownTree()->parameters.levels, 2);
}

TEST(TreeDialog, ConvertsTheFieldsTextAsTheSharedRulesSay) {
    TreeDialog dialog;
    dialog.show();
    Type(Field(dialog, kFieldMaxAngleXY), QStringLiteral("12abc"));
    Type(Field(dialog, kFieldMaxAngleXZ), QStringLiteral(" -7"));
    Type(Field(dialog, kFieldMaxAngleYZ), QStringLiteral("letters"));
    Type(Field(dialog, kFieldScaleFactor), QStringLiteral("1d-1"));
    Type(Field(dialog, kFieldLimbsDegree), QStringLiteral("2.9"));
    Type(Field(dialog, kFieldReferenceX), QStringLiteral("4294967297"));
    // 25 digits: only the first 19 are read, and they wrap around.
    Type(Field(dialog, kFieldReferenceY), QStringLiteral("1234567890123456789012345"));
    Type(Field(dialog, kFieldReferenceZ), QString());
    Type(Field(dialog, kFieldVectorY), QStringLiteral("+30"));
    TreeOrder tree = Draw(dialog);
    EXPECT_EQ(tree.parameters.maxAngleXY, 12);
    EXPECT_EQ(tree.parameters.maxAngleXZ, -7);
    EXPECT_EQ(tree.parameters.maxAngleYZ, 0);
    EXPECT_EQ(tree.parameters.scaleFactor, 0.1);
    EXPECT_EQ(tree.parameters.limbsDegree, 2);
    EXPECT_EQ(tree.parameters.referencePoint.x, 1);
    EXPECT_EQ(tree.parameters.referencePoint.y, ParseIntegerField("1234567890123456789"));
    EXPECT_NE(tree.parameters.referencePoint.y, ParseIntegerField("1234567890123456789012345"));
    EXPECT_EQ(tree.parameters.referencePoint.z, 0);
    EXPECT_EQ(tree.parameters.firstVector.y, 30);

    Type(Field(dialog, kFieldScaleFactor), QStringLiteral("3,5"));
    tree = Draw(dialog);
    EXPECT_EQ(tree.parameters.scaleFactor, 3.0);
    Type(Field(dialog, kFieldScaleFactor), QStringLiteral("0.0000000000000000001"));
    tree = Draw(dialog);
    EXPECT_EQ(tree.parameters.scaleFactor, 0.0) << "cut after 19 characters";
}

TEST(TreeDialog, PictureSurvivesRepaintsAndBeingCovered) {
    TreeDialog dialog;
    dialog.show();
    TypeParameters(dialog, SmallTree());
    const TreeOrder tree = Draw(dialog);
    const QImage before = CanvasPixels(dialog);

    auto* cover = new QWidget(&dialog);
    cover->setAutoFillBackground(true);
    cover->setGeometry(dialog.Canvas()->geometry().adjusted(100, 100, -100, -100));
    cover->show();
    cover->raise();
    dialog.repaint();
    delete cover;
    dialog.Canvas()->repaint();
    dialog.hide();
    dialog.show();
    EXPECT_EQ(CanvasPixels(dialog), before);
    EXPECT_EQ(before, ReferencePixels(SmallTree(), tree.second));
}

TEST(TreeDialog, EscStopsALongRunAndTheCanvasKeepsWhatItDrew) {
    TreeDialog dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    TypeParameters(dialog, EndlessTree());
    QTest::mouseClick(Button(dialog, kButtonGenerate), Qt::LeftButton);
    ASSERT_TRUE(dialog.RunGoing());
    auto* progress = dialog.findChild<QProgressBar*>(QStringLiteral("progress"));
    EXPECT_TRUE(progress->isVisible());
    // The tree is seen growing: the canvas shows the run's picture while it lasts.
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.Canvas()->HasPicture(); }, 30000));
    EXPECT_TRUE(dialog.RunGoing());
    EXPECT_TRUE(StatusText(dialog).contains(QStringLiteral("Esc"))) << StatusText(dialog);

    QTest::keyClick(Field(dialog, kFieldLevels), Qt::Key_Escape);
    ASSERT_TRUE(WaitForRunEnd(dialog));
    ASSERT_TRUE(dialog.ShownTree().has_value());
    EXPECT_TRUE(dialog.isVisible()) << "Esc stops the run, not the program";
    EXPECT_FALSE(progress->isVisible());
    const TreeOrder tree = *dialog.ShownTree();
    EXPECT_GT(tree.branchLimit, 0u);
    EXPECT_LT(tree.branchLimit, 1000000000u);
    EXPECT_TRUE(StatusText(dialog).startsWith(QStringLiteral("Stopped"))) << StatusText(dialog);
    // The canvas keeps exactly what the run had drawn when it stopped.
    EXPECT_EQ(CanvasPixels(dialog),
              PartialReferencePixels(EndlessTree(), tree.second, tree.branchLimit));
}

TEST(TreeDialog, ABottomlessTreeStopsWhereARunsForksEndAndSaysSo) {
    TreeDialog dialog;
    dialog.show();
    TreeParameters bottomless = SmallTree();
    bottomless.levels = std::numeric_limits<std::int32_t>::max();
    TypeParameters(dialog, bottomless);
    const TreeOrder tree = Draw(dialog);
    // The trunk, and the first limb of each fork the run could hold.
    EXPECT_EQ(tree.branchLimit, kMaxUnfinishedForks + 1);
    EXPECT_TRUE(StatusText(dialog).contains(QStringLiteral("could never finish")))
        << StatusText(dialog);
    EXPECT_EQ(CanvasPixels(dialog),
              PartialReferencePixels(bottomless, tree.second, tree.branchLimit));
}

TEST(TreeDialog, ANewPressStopsTheRunThatIsGoing) {
    TreeDialog dialog;
    dialog.show();
    TypeParameters(dialog, EndlessTree());
    QTest::mouseClick(Button(dialog, kButtonGenerate), Qt::LeftButton);
    ASSERT_TRUE(dialog.RunGoing());
    TypeParameters(dialog, SmallTree());
    const TreeOrder tree = Draw(dialog);
    EXPECT_EQ(tree.parameters, SmallTree());
    EXPECT_EQ(tree.branchLimit, kNoBranchLimit);
    EXPECT_EQ(CanvasPixels(dialog), ReferencePixels(SmallTree(), tree.second));
}

int CountPolygons(const QString& svgPath) {
    QFile file(svgPath);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return static_cast<int>(file.readAll().count("<polygon"));
}

TEST(TreeDialog, SavesThePictureAsPngAndTheSameTreeAsSvg) {
    TreeDialog dialog;
    dialog.show();
    QTemporaryDir folder;
    EXPECT_FALSE(dialog.SaveTo(folder.filePath("early.png")).isEmpty()) << "no tree yet";
    EXPECT_FALSE(QFile::exists(folder.filePath("early.png")));

    TypeParameters(dialog, SmallTree());
    const TreeOrder tree = Draw(dialog);
    ASSERT_EQ(dialog.SaveTo(folder.filePath("tree.png")), QString());
    const QImage saved(folder.filePath("tree.png"));
    EXPECT_EQ(saved.size(), QSize(kCanvasWidth, kCanvasHeight));
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32),
              dialog.Canvas()->Picture().convertToFormat(QImage::Format_RGB32));

    ASSERT_EQ(dialog.SaveTo(folder.filePath("tree.svg")), QString());
    RecordingSurface recording(false);
    DrawTree(recording, {SmallTree(), tree.second});
    EXPECT_EQ(CountPolygons(folder.filePath("tree.svg")),
              static_cast<int>(recording.PolygonCount()));

    EXPECT_FALSE(dialog.SaveTo(folder.filePath("missing/tree.png")).isEmpty());
    EXPECT_FALSE(QFile::exists(folder.filePath("missing/tree.png")));
}

// Stops an endless run once it has drawn at least this many polygons.
TreeOrder StoppedEndlessTree(TreeDialog& dialog, std::uint64_t polygons) {
    TypeParameters(dialog, EndlessTree());
    QTest::mouseClick(Button(dialog, kButtonGenerate), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.RunProgress() >= polygons; }, 60000));
    dialog.StopRun();
    EXPECT_TRUE(WaitForRunEnd(dialog));
    return dialog.ShownTree().value_or(TreeOrder{});
}

TEST(TreeDialog, SvgOfAStoppedRunHoldsExactlyThePolygonsItDrewWrittenInTheBackground) {
    TreeDialog dialog;
    dialog.show();
    const TreeOrder tree = StoppedEndlessTree(dialog, 10000);
    QTemporaryDir folder;
    dialog.SaveInBackground(folder.filePath("stopped.svg"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.SaveGoing(); }, 60000));
    EXPECT_EQ(static_cast<std::uint64_t>(CountPolygons(folder.filePath("stopped.svg"))),
              tree.branchLimit);
    EXPECT_TRUE(StatusText(dialog).startsWith(QStringLiteral("Saved"))) << StatusText(dialog);
}

TEST(TreeDialog, DrawsWhileSavingAndEscStopsBothLeavingNoFile) {
    TreeDialog dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    // A million polygons take the writer far longer than a key press takes to arrive.
    StoppedEndlessTree(dialog, 1000000);
    QTemporaryDir folder;
    dialog.SaveInBackground(folder.filePath("large.svg"));
    ASSERT_TRUE(dialog.SaveGoing());
    QTest::mouseClick(Button(dialog, kButtonGenerate), Qt::LeftButton);
    EXPECT_TRUE(dialog.RunGoing()) << "a tree is drawn while another is saved";
    QTest::keyClick(Field(dialog, kFieldLevels), Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.SaveGoing(); }, 60000));
    EXPECT_FALSE(QFile::exists(folder.filePath("large.svg")));
    EXPECT_TRUE(QDir(folder.path()).isEmpty()) << "no temporary file left behind";
    EXPECT_TRUE(WaitForRunEnd(dialog));
}

// Saving to a FIFO keeps the window free, whether nothing reads it yet or its reader takes no
// more, and Esc's words say what the FIFO received.
TEST(TreeDialog, EscStopsASaveToAFifoSayingWhatItReceived) {
    TreeDialog dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    StoppedEndlessTree(dialog, 1000000);
    for (const bool reader : {false, true}) {
        SCOPED_TRACE(reader ? "a reader that takes nothing" : "no reader");
        QTemporaryDir folder;
        const QString fifo = folder.filePath(QStringLiteral("tree.svg"));
        ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        // Opened without waiting for the writer, and read only once the saving has ended.
        const int in =
            reader ? open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)
                   : -1;
        dialog.SaveInBackground(fifo);
        ASSERT_TRUE(dialog.SaveGoing());
        int queued = 0;
        EXPECT_TRUE(!reader || QTest::qWaitFor([&] {
            return ioctl(in, FIONREAD, &queued) == 0 && queued > 0;
        }));
        QTest::keyClick(Field(dialog, kFieldLevels), Qt::Key_Escape);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.SaveGoing(); }, 60000));
        QByteArray received;
        char buffer[65536];
        for (ssize_t got; reader && (got = read(in, buffer, sizeof buffer)) > 0;) {
            received.append(buffer, got);
        }
        EXPECT_EQ(StatusText(dialog),
                  reader ? QStringLiteral("Saving stopped; %1 received only the first %2 bytes of "
                                          "the tree.")
                               .arg(fifo, QLocale(QLocale::English).toString(received.size()))
                         : QStringLiteral("Saving stopped; nothing was written to %1.").arg(fifo));
        EXPECT_EQ(received.isEmpty(), !reader);
        if (in >= 0) {
            close(in);
        }
    }
}

TEST(TreeDialog, CtrlCCopiesThePictureUnlessAFieldHasASelection) {
    TreeDialog dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    TypeParameters(dialog, SmallTree());
    Draw(dialog);
    QLineEdit* field = Field(dialog, kFieldLevels);
    field->setFocus();
    field->deselect();
    QApplication::clipboard()->clear();
    QTest::keyClick(field, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
              dialog.Canvas()->Picture());

    field->selectAll();
    QTest::keyClick(field, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), field->text());
}

TEST(TreeCanvas, StaysCrispAtTwiceTheDevicePixels) {
    TreeDialog dialog;
    dialog.show();
    TypeParameters(dialog, SmallTree());
    Draw(dialog);
    const QImage& picture = dialog.Canvas()->Picture();
    QImage doubled(dialog.Canvas()->size() * 2, QImage::Format_RGB32);
    doubled.setDevicePixelRatio(2);
    dialog.Canvas()->render(&doubled);
    int mismatches = 0;
    const QPoint at = dialog.Canvas()->PictureRect().topLeft();
    for (int y = 0; y < kCanvasHeight; ++y) {
        for (int x = 0; x < kCanvasWidth; ++x) {
            const QRgb expected = picture.pixel(x, y);
            for (int dy = 0; dy < 2; ++dy) {
                for (int dx = 0; dx < 2; ++dx) {
                    mismatches +=
                        doubled.pixel(2 * (x + at.x()) + dx, 2 * (y + at.y()) + dy) != expected;
                }
            }
        }
    }
    EXPECT_EQ(mismatches, 0) << "each pixel becomes a sharp 2x2 block";
}

} // namespace
} // namespace arbolith
