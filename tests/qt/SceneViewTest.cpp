// The 3-D view's pixels, read back from Mesa's software OpenGL on a private X server.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

#include <QTest>
#include <QToolButton>

#include "DialogHelpers.h"
#include "mesh/GltfWriter.h"
#include "scene/Shaders.h"
#include "tests/mesh/ModelFiles.h"
#include "tree/Presets.h"
#include "ui/DialogLayout.h"
#include "ui/qt/TreeView3D.h"
#include "ui/qt/TreeViews.h"

namespace arbolith {
namespace {

using namespace arbolith::testing;

// A box in pixels, its right and bottom edges outside it.
struct PixelBox {
    double left = 1e9, top = 1e9, right = -1e9, bottom = -1e9;
};

bool IsSky(QRgb pixel) {
    const auto near = [](int channel, float sky) {
        return std::abs(channel - static_cast<int>(std::lround(sky * 255))) <= 1;
    };
    return near(qRed(pixel), kSkyBackground[0]) && near(qGreen(pixel), kSkyBackground[1]) &&
           near(qBlue(pixel), kSkyBackground[2]);
}

PixelBox TreePixels(const QImage& frame) {
    PixelBox box;
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            if (!IsSky(frame.pixel(x, y))) {
                box = {std::min<double>(box.left, x), std::min<double>(box.top, y),
                       std::max<double>(box.right, x + 1), std::max<double>(box.bottom, y + 1)};
            }
        }
    }
    return box;
}

// Where the camera puts every vertex of the tree's .glb.
PixelBox MeshBox(const TreeOrder& order, const OrbitCamera& camera, const Viewport& viewport) {
    const ReadMesh mesh =
        ReadGlb(Written([&](const ByteSink& sink) { return WriteGlb(order, sink); }));
    PixelBox box;
    for (const MeshVertex& v : mesh.vertices) {
        ScreenPoint shown;
        EXPECT_TRUE(camera.Project({v.position[0], v.position[1], v.position[2]}, viewport, shown));
        box = {std::min(box.left, shown.x), std::min(box.top, shown.y),
               std::max(box.right, shown.x), std::max(box.bottom, shown.y)};
    }
    return box;
}

// The part of the mesh's box in view matches the pixels'.
void ExpectSameBox(const PixelBox& pixels, const PixelBox& mesh, const Viewport& viewport) {
    EXPECT_NEAR(pixels.left, std::max(mesh.left, 0.0), 2);
    EXPECT_NEAR(pixels.top, std::max(mesh.top, 0.0), 2);
    EXPECT_NEAR(pixels.right, std::min(mesh.right, viewport.width), 2);
    EXPECT_NEAR(pixels.bottom, std::min(mesh.bottom, viewport.height), 2);
}

bool WaitForRecords(const TreeView3D& view) {
    return QTest::qWaitFor([&] { return !view.Going(); }, 60000);
}

class SceneView : public ::testing::Test {
protected:
    void SetUp() override {
        view_.resize(480, 560);
        view_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view_));
        ASSERT_TRUE(view_.isValid());
        ASSERT_EQ(view_.Trouble(), QString());
    }
    QImage Show(const TreeOrder& order) {
        view_.ShowTree(order);
        EXPECT_TRUE(WaitForRecords(view_));
        return view_.grabFramebuffer();
    }
    Viewport Size() const {
        return {static_cast<double>(view_.width()), static_cast<double>(view_.height())};
    }
    TreeView3D view_;
};

struct MoveCase {
    const char* what;
    std::function<void(QWidget&)> move;
};

// The tree on the screen spans the box the camera makes of the .glb's vertices, within 2 px:
// framed, after a known drag (which turns it by the camera's half a degree a pixel), a wheel
// notch toward a corner and a right-button pan.
TEST_F(SceneView, TheTreesBoxOnScreenIsTheMeshsProjectedBox) {
    const TreeOrder oak{FindPreset("oak")->parameters, FindPreset("oak")->second};
    const std::vector<MoveCase> cases{
        {"framed",
         [](QWidget&) {
         }},
        {"dragged",
         [](QWidget& w) {
             QTest::mousePress(&w, Qt::LeftButton, {}, {200, 300});
             QTest::mouseMove(&w, {230, 280});
             QTest::mouseMove(&w, {260, 270});
             QTest::mouseRelease(&w, Qt::LeftButton, {}, {260, 270});
         }},
        {"zoomed toward a corner",
         [](QWidget& w) {
             QWheelEvent wheel({120, 140}, w.mapToGlobal(QPointF(120, 140)), {}, {0, 120},
                               Qt::NoButton, {}, Qt::NoScrollPhase, false);
             QApplication::sendEvent(&w, &wheel);
         }},
        {"panned",
         [](QWidget& w) {
             QTest::mousePress(&w, Qt::RightButton, {}, {200, 300});
             QTest::mouseMove(&w, {180, 340});
             QTest::mouseRelease(&w, Qt::RightButton, {}, {180, 340});
         }},
    };
    Show(oak);
    for (const MoveCase& c : cases) {
        SCOPED_TRACE(c.what);
        const OrbitCamera before = view_.Camera();
        c.move(view_);
        const QImage frame = view_.grabFramebuffer();
        if (std::string(c.what) == "dragged") {
            EXPECT_DOUBLE_EQ(view_.Camera().yaw, before.yaw + 60 * kOrbitDegreesPerPixel);
            EXPECT_DOUBLE_EQ(view_.Camera().pitch, before.pitch - 30 * kOrbitDegreesPerPixel);
        }
        ExpectSameBox(TreePixels(frame), MeshBox(oak, view_.Camera(), Size()), Size());
    }
}

// Framing puts the whole tree in view, filling much of it (its box's corners reach beyond the
// tree), for trees round, flat and spreading, and tall; and the
// lit bark shows many brightnesses, not one flat colour.
TEST_F(SceneView, FramingFitsTheWholeTreeAndTheBarkIsLit) {
    for (const char* name : {"oak", "acacia", "poplar"}) {
        SCOPED_TRACE(name);
        const Preset& preset = *FindPreset(name);
        OrbitCamera turned = view_.Camera();
        turned.yaw = 40;
        turned.pitch = 25;
        view_.SetCamera(turned);
        view_.ShowTree({preset.parameters, preset.second});
        ASSERT_TRUE(WaitForRecords(view_));
        view_.FrameTree();
        const QImage frame = view_.grabFramebuffer();
        const PixelBox box = TreePixels(frame);
        EXPECT_GT(box.left, 0);
        EXPECT_GT(box.top, 0);
        EXPECT_LT(box.right, frame.width());
        EXPECT_LT(box.bottom, frame.height());
        // Round crowns that spin all round the trunk are as deep as they are wide, so the box
        // framed reaches further beyond them than beyond a flat tree.
        EXPECT_GT(std::max((box.right - box.left) / frame.width(),
                           (box.bottom - box.top) / frame.height()),
                  0.45);
        std::set<int> brightness;
        for (int y = 0; y < frame.height(); ++y) {
            for (int x = 0; x < frame.width(); ++x) {
                if (!IsSky(frame.pixel(x, y))) {
                    brightness.insert(qGray(frame.pixel(x, y)));
                }
            }
        }
        EXPECT_GT(brightness.size(), 20u);
    }
}

// Orbiting in 3-D leaves the picture's pixels alone, and "Picture from here" draws the picture
// from the camera's direction.
TEST(SceneDialog, TheViewLeavesThePictureAndPictureFromHereTurnsIt) {
    TreeDialog dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    TypeParameters(dialog, SmallTree());
    QTest::mouseClick(Button(dialog, kButtonGenerate), Qt::LeftButton);
    ASSERT_TRUE(WaitForRunEnd(dialog));
    const QImage picture = CanvasPixels(dialog);
    const std::optional<TreeOrder> shown = dialog.ShownTree();

    TreeViews& views = *dialog.Views();
    views.Show3D();
    TreeView3D& view = *views.View3D();
    ASSERT_TRUE(WaitForRecords(view));
    EXPECT_GT(view.Records(), 0u);
    QTest::mousePress(&view, Qt::LeftButton, {}, {100, 100});
    QTest::mouseMove(&view, {150, 80});
    QTest::mouseRelease(&view, Qt::LeftButton, {}, {150, 80});
    EXPECT_FALSE(dialog.RunGoing());
    views.ShowPicture();
    EXPECT_EQ(CanvasPixels(dialog), picture);
    EXPECT_EQ(dialog.ShownTree()->view, shown->view);

    views.Show3D();
    const ViewAngles expected = view.Camera().PictureView();
    ASSERT_NE(expected, shown->view);
    QToolButton* fromHere = views.Switch()->findChildren<QToolButton*>().back();
    ASSERT_EQ(fromHere->text(), QStringLiteral("Picture from here"));
    QTest::mouseClick(fromHere, Qt::LeftButton);
    ASSERT_TRUE(WaitForRunEnd(dialog));
    EXPECT_FALSE(views.Showing3D());
    EXPECT_EQ(dialog.View(), expected);
    EXPECT_EQ(dialog.ShownTree()->view, expected);
}

} // namespace
} // namespace arbolith
