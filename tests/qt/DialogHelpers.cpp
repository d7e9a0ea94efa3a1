#include "DialogHelpers.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPainter>
#include <QTest>

#include "render/RasterPicture.h"
#include "tree/DrawingRun.h"
#include "ui/DialogLayout.h"
#include "ui/FieldTexts.h"
#include "ui/qt/PixelImages.h"
#include "ui/qt/TemplatePanel.h"
#include "ui/qt/TreeCanvas.h"

namespace arbolith::testing {

QLineEdit* Field(const TreeDialog& dialog, int id) {
    return dialog.Template()->Field(id);
}

QPushButton* Button(const TreeDialog& dialog, int id) {
    return dialog.Template()->Button(id);
}

void Type(QLineEdit* field, const QString& text) {
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}

void TypeParameters(const TreeDialog& dialog, const TreeParameters& parameters) {
    for (const auto& [id, text] : FieldTextsOf(parameters)) {
        Type(Field(dialog, id), QString::fromStdString(text));
    }
}

bool WaitForRunEnd(const TreeDialog& dialog) {
    return QTest::qWaitFor([&] { return !dialog.RunGoing(); }, 60000);
}

bool WaitForTree(const TreeDialog& dialog, const TreeParameters& parameters,
                 std::optional<std::uint32_t> second) {
    return QTest::qWaitFor(
        [&] {
            const auto shown = dialog.ShownTree();
            return !dialog.RunGoing() && shown && shown->parameters == parameters &&
                   (!second || shown->second == *second);
        },
        60000);
}

QString StatusText(const TreeDialog& dialog) {
    return dialog.findChild<QLabel*>(QStringLiteral("status"))->text();
}

QImage CanvasPixels(const TreeDialog& dialog) {
    TreeCanvas* canvas = dialog.Canvas();
    EXPECT_EQ(canvas->Scale(), 1.0) << "the window has room for the picture at its own size";
    QImage image(canvas->size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    canvas->render(&image);
    return image.copy(canvas->PictureRect());
}

QImage ReferencePixels(const TreeParameters& parameters, std::uint32_t second) {
    return ToQImage(*RenderTreeImage({parameters, second}, kCanvasWidth, kCanvasHeight));
}

QImage PartialReferencePixels(const TreeParameters& parameters, std::uint32_t second,
                              std::uint64_t polygons) {
    TreeOrder order{parameters, second};
    order.branchLimit = polygons;
    return ToQImage(*RenderTreeImage(order, kCanvasWidth, kCanvasHeight));
}

TreeParameters SmallTree() {
    return {.maxAngleXY = 50,
            .maxAngleYZ = 35,
            .maxAngleXZ = 25,
            .scaleFactor = 0.7,
            .limbsDegree = 3,
            .referencePoint = {250, 600, 0},
            .firstVector = {10, -160, 5},
            .levels = 5};
}

TreeParameters EndlessTree() {
    return {.maxAngleXY = 60,
            .maxAngleYZ = 30,
            .maxAngleXZ = 30,
            .scaleFactor = 0.8,
            .limbsDegree = 2,
            .referencePoint = {280, 640, 0},
            .firstVector = {0, -120, 0},
            .levels = 40};
}

} // namespace arbolith::testing
