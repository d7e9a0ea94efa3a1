// The canvas in the room it is given: the scale that fills it, zooming about the pointer and
// moving a large picture; and the fields that say what they read as.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QTest>

#include "DialogHelpers.h"
#include "ui/DialogLayout.h"
#include "ui/qt/TreeCanvas.h"

namespace arbolith {
namespace {

using namespace arbolith::testing;

TEST(CanvasRoom, FillsTheRoomWithWholePixelsOrScalesDownWhereThereIsNoRoom) {
    struct Case {
        QSize room;
        double scale;
    };
    const QSize picture(kCanvasWidth, kCanvasHeight);
    for (const Case& c :
         {Case{{560, 670}, 1}, Case{{1119, 1340}, 1}, Case{{1120, 1340}, 2}, Case{{3000, 2100}, 3},
          Case{{20000, 20000}, 16}, Case{{280, 670}, 0.5}, Case{{560, 335}, 0.5}}) {
        EXPECT_EQ(FittingScale(picture, c.room), c.scale)
            << c.room.width() << 'x' << c.room.height();
    }
    // Twice the size is the picture magnified, each pixel a 2 x 2 block.
    QImage small(2, 1, QImage::Format_RGB32);
    small.setPixel(0, 0, qRgb(0, 0, 0));
    small.setPixel(1, 0, qRgb(255, 255, 255));
    const QImage large = ShownPicture(small, {4, 2});
    EXPECT_EQ(large.pixel(1, 1), qRgb(0, 0, 0));
    EXPECT_EQ(large.pixel(2, 0), qRgb(255, 255, 255));
}

TEST(CanvasRoom, ZoomsAboutThePointerAndKeepsALargePictureOverTheRoom) {
    TreeCanvas canvas;
    canvas.resize(600, 700);
    ASSERT_EQ(canvas.Scale(), 1.0);
    const QPointF pointer(150, 400);
    const QPointF under = (pointer - canvas.PictureRect().topLeft()) / canvas.Scale();
    for (const auto& [steps, scale] : {std::pair{1, 2.0}, {2, 4.0}, {-1, 3.0}, {5, 16.0}}) {
        canvas.ZoomBy(steps, pointer);
        EXPECT_EQ(canvas.Scale(), scale);
        EXPECT_FALSE(canvas.FollowsRoom());
        const QPointF shown = canvas.PictureRect().topLeft() + under * scale;
        EXPECT_NEAR(shown.x(), pointer.x(), 1) << scale;
        EXPECT_NEAR(shown.y(), pointer.y(), 1) << scale;
    }
    // However far it is moved, the picture covers the room.
    canvas.Pan({100000, -100000});
    const QRect moved = canvas.PictureRect();
    EXPECT_LE(moved.left(), TreeCanvas::kBorder);
    EXPECT_GE(moved.bottom() + 1, canvas.height() - TreeCanvas::kBorder);
    canvas.ZoomBy(-20, pointer);
    EXPECT_EQ(canvas.Scale(), 0.25);
    EXPECT_EQ(canvas.PictureRect().center(), canvas.rect().center()) << "a small picture sits "
                                                                        "in the middle";
    canvas.FitRoom();
    EXPECT_TRUE(canvas.FollowsRoom());
    EXPECT_EQ(canvas.Scale(), 1.0);
}

TEST(CanvasRoom, AFieldThatReadsAsSomethingElseSaysSoAndItsTooltipToo) {
    TreeDialog dialog;
    dialog.show();
    const auto* notes = dialog.findChild<QLabel*>(QStringLiteral("notes"));
    const auto* canvas = dialog.findChild<TreeCanvas*>();
    ASSERT_TRUE(notes && canvas);
    QCoreApplication::processEvents();
    const QSize room = canvas->size();
    Type(Field(dialog, kFieldLimbsDegree), QStringLiteral("three"));
    EXPECT_TRUE(dialog.FieldNotes().contains(
        QStringLiteral("Limbs degree: \"three\" reads as 0 (random limbs")))
        << dialog.FieldNotes();
    // Shown whole, in the room kept for the status, which the canvas does not give up.
    QCoreApplication::processEvents();
    EXPECT_TRUE(notes->isVisible());
    EXPECT_EQ(notes->text(), dialog.FieldNotes());
    EXPECT_EQ(canvas->size(), room);
    EXPECT_TRUE(
        Field(dialog, kFieldLimbsDegree)->toolTip().startsWith(QStringLiteral("Reads as 0")));
    Type(Field(dialog, kFieldLimbsDegree), QStringLiteral("3"));
    EXPECT_TRUE(dialog.FieldNotes().isEmpty()) << dialog.FieldNotes();
    EXPECT_FALSE(notes->isVisible());
    EXPECT_TRUE(
        Field(dialog, kFieldLimbsDegree)->toolTip().startsWith(QStringLiteral("The limbs")));
}

} // namespace
} // namespace arbolith
