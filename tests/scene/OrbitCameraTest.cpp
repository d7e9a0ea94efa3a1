#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "mesh/Mesher.h"
#include "scene/OrbitCamera.h"
#include "tree/ViewTurn.h"

namespace arbolith {
namespace {

double Dot(const Vec3& a, const Vec3& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

const Viewport kViewport{800, 600};

// Seen from (yaw, pitch), the camera's right and up axes are the picture's x and -y after the
// picture's turn by the same view: the 3-D view and the picture show the tree from one side.
TEST(OrbitCameraTest, ItsDirectionIsThePicturesView) {
    const IntTriple foot{230, 650, -60};
    const ModelSpace space(foot);
    const std::vector<CVector> points{CVector(300, 400, 20), CVector(100, 600, -150),
                                      CVector(230, 650, -60), CVector(-40, 10, 400)};
    for (const ViewAngles view : std::vector<ViewAngles>{
             {0, 0}, {35, 10}, {-90, 0}, {180, -45}, {120, 90}, {-60, -90}, {7, 33}}) {
        SCOPED_TRACE(::testing::Message() << view.yaw << "," << view.pitch);
        OrbitCamera camera;
        camera.yaw = view.yaw;
        camera.pitch = view.pitch;
        EXPECT_EQ(camera.PictureView(), view);
        const ViewTurn turn(view, CVector(foot.x, foot.y, foot.z));
        for (const CVector& p : points) {
            const CVector turned = turn.Point(p);
            const ModelPoint m = space.Point(p);
            const Vec3 model{m[0], m[1], m[2]};
            EXPECT_NEAR(Dot(model, camera.Right()) / kMetresPerPixel, turned.x - foot.x, 1e-9);
            EXPECT_NEAR(-Dot(model, camera.Up()) / kMetresPerPixel, turned.y - foot.y, 1e-9);
            // The picture's depth grows away from the viewer, as the camera looks.
            EXPECT_NEAR(Dot(model, camera.Forward()) / kMetresPerPixel, turned.z - foot.z, 1e-9);
        }
    }
}

struct OrbitCase {
    double yaw, pitch, dx, dy;
    double expectedYaw, expectedPitch;
};

// A drag turns as the picture's drag does, half a degree a pixel: the yaw wraps round, the pitch
// stops at straight above and below; the picture's view rounds to whole degrees.
TEST(OrbitCameraTest, ADragOrbitsAndThePictureViewRounds) {
    const std::vector<OrbitCase> cases{
        {0, 0, 20, 0, 10, 0},        {0, 0, 0, -30, 0, -15}, {170, 0, 40, 0, -170, 0},
        {-170, 0, -41, 0, 169.5, 0}, {0, 80, 0, 100, 0, 90}, {0, -80, 0, -100, 0, -90},
        {10, 10, -3, 5, 8.5, 12.5},
    };
    for (const OrbitCase& c : cases) {
        OrbitCamera camera;
        camera.yaw = c.yaw;
        camera.pitch = c.pitch;
        camera.Orbit(c.dx, c.dy);
        EXPECT_NEAR(camera.yaw, c.expectedYaw, 1e-9) << c.yaw << " + " << c.dx;
        EXPECT_NEAR(camera.pitch, c.expectedPitch, 1e-9) << c.pitch << " + " << c.dy;
    }
    OrbitCamera camera;
    camera.yaw = -179.6;
    camera.pitch = 89.5;
    EXPECT_EQ(camera.PictureView(), (ViewAngles{180, 90}));
    camera.yaw = 12.4;
    camera.pitch = -0.6;
    EXPECT_EQ(camera.PictureView(), (ViewAngles{12, -1}));
}

OrbitCamera Looking() {
    OrbitCamera camera;
    camera.yaw = 30;
    camera.pitch = 20;
    camera.distance = 8;
    camera.target = {0.5, 3, -0.2};
    return camera;
}

// The point the target's plane has under the pointer.
Vec3 Under(const OrbitCamera& camera, ScreenPoint pointer) {
    const double h =
        std::tan(camera.verticalFieldOfView * 3.14159265358979323846 / 360) * camera.distance;
    const double x = (2 * pointer.x / kViewport.width - 1) * h * kViewport.Aspect();
    const double y = (1 - 2 * pointer.y / kViewport.height) * h;
    const Vec3 r = camera.Right();
    const Vec3 u = camera.Up();
    return {camera.target[0] + x * r[0] + y * u[0], camera.target[1] + x * r[1] + y * u[1],
            camera.target[2] + x * r[2] + y * u[2]};
}

// Zooming keeps the point under the pointer where it is and brings the camera nearer by the
// factor; panning moves that point with the pointer.
TEST(OrbitCameraTest, ZoomKeepsThePointUnderThePointerAndPanMovesItWithThePointer) {
    for (const ScreenPoint pointer :
         {ScreenPoint{400, 300}, ScreenPoint{90, 500}, ScreenPoint{700, 40}}) {
        for (const double factor : {0.5, 0.9, 1.25}) {
            OrbitCamera camera = Looking();
            const Vec3 pointed = Under(camera, pointer);
            camera.Zoom(factor, pointer, kViewport);
            EXPECT_NEAR(camera.distance, 8 * factor, 1e-9);
            ScreenPoint shown;
            ASSERT_TRUE(camera.Project(pointed, kViewport, shown));
            EXPECT_NEAR(shown.x, pointer.x, 1e-6);
            EXPECT_NEAR(shown.y, pointer.y, 1e-6);
        }
        OrbitCamera camera = Looking();
        const Vec3 pointed = Under(camera, pointer);
        camera.Pan(35, -12, kViewport);
        ScreenPoint shown;
        ASSERT_TRUE(camera.Project(pointed, kViewport, shown));
        EXPECT_NEAR(shown.x, pointer.x + 35, 1e-6);
        EXPECT_NEAR(shown.y, pointer.y - 12, 1e-6);
    }
}

struct FrameCase {
    double yaw, pitch;
    Viewport viewport;
    ModelBox box;
};

// Framing shows every corner of the box inside the view and fills it: the box reaches near the
// view's edge along one of its axes.
TEST(OrbitCameraTest, FramingFitsTheWholeBoxAndFillsTheView) {
    const ModelBox tall{{-1, 0, -0.5}, {1.5, 6, 0.7}, false};
    const ModelBox wide{{-20, -1, -3}, {25, 2, 4}, false};
    const ModelBox point{{1, 1, 1}, {1, 1, 1}, false};
    const std::vector<FrameCase> cases{
        {0, 0, {800, 600}, tall},  {45, 30, {800, 600}, tall}, {-120, -60, {300, 900}, tall},
        {0, 90, {800, 600}, wide}, {200, 5, {600, 600}, wide}, {10, 10, {800, 600}, point},
    };
    for (const FrameCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.yaw << "," << c.pitch << " " << c.viewport.width);
        OrbitCamera camera;
        camera.yaw = c.yaw;
        camera.pitch = c.pitch;
        camera.target = {100, 100, 100};
        camera.Frame(c.box, c.viewport);
        double reach = 0; // the farthest from the middle, as a share of the half-size
        for (int corner = 0; corner < 8; ++corner) {
            const Vec3 p{(corner & 1) != 0 ? c.box.high[0] : c.box.low[0],
                         (corner & 2) != 0 ? c.box.high[1] : c.box.low[1],
                         (corner & 4) != 0 ? c.box.high[2] : c.box.low[2]};
            ScreenPoint shown;
            ASSERT_TRUE(camera.Project(p, c.viewport, shown));
            EXPECT_GE(shown.x, 0);
            EXPECT_LE(shown.x, c.viewport.width);
            EXPECT_GE(shown.y, 0);
            EXPECT_LE(shown.y, c.viewport.height);
            reach = std::max({reach, std::fabs(2 * shown.x / c.viewport.width - 1),
                              std::fabs(2 * shown.y / c.viewport.height - 1)});
        }
        if (c.box.high != c.box.low) {
            EXPECT_GT(reach, 0.9);
        }
        EXPECT_LT(reach, 1);
    }
}

// The matrices the shaders take put a point where Project says.
TEST(OrbitCameraTest, TheMatricesProjectAsTheCameraDoes) {
    const ModelBox box{{-2, 0, -2}, {2, 6, 2}, false};
    for (const double yaw : {0.0, 73.0, -150.0}) {
        OrbitCamera camera = Looking();
        camera.yaw = yaw;
        const Matrix4 view = camera.ViewMatrix();
        const Matrix4 projection = camera.ProjectionMatrix(kViewport, box);
        for (const Vec3& p : {Vec3{0, 0, 0}, Vec3{1.5, 5, -1}, Vec3{-2, 3, 2}}) {
            double eye[4];
            double clip[4];
            for (int row = 0; row < 4; ++row) {
                eye[row] =
                    view[row] * p[0] + view[4 + row] * p[1] + view[8 + row] * p[2] + view[12 + row];
            }
            for (int row = 0; row < 4; ++row) {
                clip[row] = 0;
                for (int k = 0; k < 4; ++k) {
                    clip[row] += projection[4 * k + row] * eye[k];
                }
            }
            ScreenPoint shown;
            ASSERT_TRUE(camera.Project(p, kViewport, shown));
            EXPECT_NEAR((clip[0] / clip[3] + 1) / 2 * kViewport.width, shown.x, 1e-3);
            EXPECT_NEAR((1 - clip[1] / clip[3]) / 2 * kViewport.height, shown.y, 1e-3);
            // Inside the depth range.
            EXPECT_LT(std::fabs(clip[2] / clip[3]), 1);
        }
    }
}

} // namespace
} // namespace arbolith
