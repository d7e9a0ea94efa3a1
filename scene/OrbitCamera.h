#pragma once

#include <array>

#include "tree/ViewAngles.h"

namespace arbolith {

using Vec3 = std::array<double, 3>;
// Column by column, as OpenGL takes a matrix.
using Matrix4 = std::array<float, 16>;

// An axis-aligned box in model space.
struct ModelBox {
    Vec3 low{0, 0, 0};
    Vec3 high{0, 0, 0};
    bool empty = true;
    void Add(const Vec3& point, double reach);
    Vec3 Centre() const;
};

// Where on the screen: pixels from the viewport's top left, x to the right, y down.
struct ScreenPoint {
    double x = 0;
    double y = 0;
};

// A size in pixels.
struct Viewport {
    double width = 1;
    double height = 1;
    double Aspect() const { return width / height; }
};

// Dragging orbits the camera this many degrees a pixel.
inline constexpr double kOrbitDegreesPerPixel = 0.5;

// A camera that looks at a target from a distance, in the model's space (metres, +Y up, the front
// facing +Z). Its direction is the picture's view: seen from (yaw, pitch), the tree shows as the
// picture turned by that view shows it, only in perspective. Yaw turns the tree's front to the
// right, pitch shows it more from above; (0, 0) looks at its front.
class OrbitCamera {
public:
    double yaw = 0;   // degrees, -180 to 180
    double pitch = 0; // degrees, -90 (from below) to 90 (from above)
    double distance = 1;
    Vec3 target{0, 0, 0};
    double verticalFieldOfView = 40; // degrees

    Vec3 Eye() const;
    // The unit vectors of the camera: looking along Forward, Right and Up on the screen.
    Vec3 Forward() const;
    Vec3 Right() const;
    Vec3 Up() const;

    Matrix4 ViewMatrix() const;
    // Perspective, its near and far planes round the box so that depth keeps its precision.
    Matrix4 ProjectionMatrix(const Viewport& viewport, const ModelBox& scene) const;

    // A drag of (dx, dy) pixels: right turns the front to the right, down shows the top; the pitch
    // stops at straight above and below.
    void Orbit(double dx, double dy);
    // Moves toward (factor < 1) or away from the point under the pointer, which stays under it.
    void Zoom(double factor, ScreenPoint pointer, const Viewport& viewport);
    // Moves the scene with the pointer, by (dx, dy) pixels at the target's depth.
    void Pan(double dx, double dy, const Viewport& viewport);
    // Keeps the direction and puts the whole box in view, filling it.
    void Frame(const ModelBox& box, const Viewport& viewport);

    // The picture's view closest to this direction, in whole degrees.
    ViewAngles PictureView() const;
    // Where a point shows; false behind the camera.
    bool Project(const Vec3& point, const Viewport& viewport, ScreenPoint& shown) const;

private:
    double HalfHeight() const; // tan of half the vertical field of view
};

} // namespace arbolith
