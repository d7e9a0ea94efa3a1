#include "scene/OrbitCamera.h"

#include <algorithm>
#include <cmath>

#include "tree/ViewTurn.h"

namespace arbolith {

namespace {

constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180;
// Framing leaves this share of the view free round the box.
constexpr double kFrameMargin = 0.05;
// Nearer than this share of the scene's size the camera does not go.
constexpr double kNearestShare = 1e-4;

Vec3 Plus(const Vec3& a, const Vec3& b) {
    return {a[0] + b[0], a[1] + b[1], a[2] + b[2]};
}
Vec3 Minus(const Vec3& a, const Vec3& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
Vec3 Times(const Vec3& a, double s) {
    return {a[0] * s, a[1] * s, a[2] * s};
}
double Dot(const Vec3& a, const Vec3& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

double SceneSize(const ModelBox& box) {
    const Vec3 span = Minus(box.high, box.low);
    return box.empty ? 1.0 : std::max(std::sqrt(Dot(span, span)), 1e-3);
}

} // namespace

void ModelBox::Add(const Vec3& point, double reach) {
    for (int k = 0; k < 3; ++k) {
        low[k] = empty ? point[k] - reach : std::min(low[k], point[k] - reach);
        high[k] = empty ? point[k] + reach : std::max(high[k], point[k] + reach);
    }
    empty = false;
}

Vec3 ModelBox::Centre() const {
    return Times(Plus(low, high), 0.5);
}

Vec3 OrbitCamera::Forward() const {
    const double y = yaw * kRadiansPerDegree;
    const double p = pitch * kRadiansPerDegree;
    return {std::sin(y) * std::cos(p), -std::sin(p), -std::cos(y) * std::cos(p)};
}

Vec3 OrbitCamera::Up() const {
    const double y = yaw * kRadiansPerDegree;
    const double p = pitch * kRadiansPerDegree;
    return {std::sin(y) * std::sin(p), std::cos(p), -std::cos(y) * std::sin(p)};
}

Vec3 OrbitCamera::Right() const {
    const double y = yaw * kRadiansPerDegree;
    return {std::cos(y), 0, std::sin(y)};
}

Vec3 OrbitCamera::Eye() const {
    return Minus(target, Times(Forward(), distance));
}

double OrbitCamera::HalfHeight() const {
    return std::tan(verticalFieldOfView * kRadiansPerDegree / 2);
}

Matrix4 OrbitCamera::ViewMatrix() const {
    const Vec3 r = Right();
    const Vec3 u = Up();
    const Vec3 f = Forward();
    const Vec3 eye = Eye();
    const auto c = [](double v) {
        return static_cast<float>(v);
    };
    return {c(r[0]), c(u[0]), c(-f[0]), 0, c(r[1]),         c(u[1]),         c(-f[1]),       0,
            c(r[2]), c(u[2]), c(-f[2]), 0, c(-Dot(r, eye)), c(-Dot(u, eye)), c(Dot(f, eye)), 1};
}

Matrix4 OrbitCamera::ProjectionMatrix(const Viewport& viewport, const ModelBox& scene) const {
    const double radius = SceneSize(scene) / 2;
    const double centreDepth = Dot(Minus(scene.empty ? target : scene.Centre(), Eye()), Forward());
    const double nearest = std::max(radius, distance) * kNearestShare;
    const double nearPlane = std::max(centreDepth - radius, nearest);
    const double farPlane = std::max(centreDepth + radius, nearPlane * 2);
    const double h = HalfHeight();
    const double w = h * viewport.Aspect();
    const auto c = [](double v) {
        return static_cast<float>(v);
    };
    return {c(1 / w),
            0,
            0,
            0,
            0,
            c(1 / h),
            0,
            0,
            0,
            0,
            c((farPlane + nearPlane) / (nearPlane - farPlane)),
            -1,
            0,
            0,
            c(2 * farPlane * nearPlane / (nearPlane - farPlane)),
            0};
}

void OrbitCamera::Orbit(double dx, double dy) {
    yaw = std::remainder(yaw + dx * kOrbitDegreesPerPixel, 360.0);
    pitch = std::clamp(pitch + dy * kOrbitDegreesPerPixel, -90.0, 90.0);
}

void OrbitCamera::Zoom(double factor, ScreenPoint pointer, const Viewport& viewport) {
    const double h = HalfHeight() * distance;
    const double ndcX = 2 * pointer.x / viewport.width - 1;
    const double ndcY = 1 - 2 * pointer.y / viewport.height;
    // The point under the pointer in the plane through the target that faces the camera.
    const Vec3 pointed =
        Plus(target, Plus(Times(Right(), ndcX * h * viewport.Aspect()), Times(Up(), ndcY * h)));
    target = Plus(pointed, Times(Minus(target, pointed), factor));
    distance *= factor;
}

void OrbitCamera::Pan(double dx, double dy, const Viewport& viewport) {
    const double metresPerPixel = 2 * HalfHeight() * distance / viewport.height;
    target =
        Plus(target, Plus(Times(Right(), -dx * metresPerPixel), Times(Up(), dy * metresPerPixel)));
}

void OrbitCamera::Frame(const ModelBox& box, const Viewport& viewport) {
    target = box.empty ? Vec3{0, 0, 0} : box.Centre();
    const double ty = HalfHeight() * (1 - kFrameMargin);
    const double tx = ty * viewport.Aspect();
    const Vec3 r = Right();
    const Vec3 u = Up();
    const Vec3 f = Forward();
    // Each corner needs the camera far enough that it shows within both half-widths of the view.
    double needed = SceneSize(box) * kNearestShare;
    for (int corner = 0; corner < 8; ++corner) {
        const Vec3 p{(corner & 1) != 0 ? box.high[0] : box.low[0],
                     (corner & 2) != 0 ? box.high[1] : box.low[1],
                     (corner & 4) != 0 ? box.high[2] : box.low[2]};
        const Vec3 offset = Minus(p, target);
        const double depth = Dot(offset, f);
        needed = std::max({needed, std::fabs(Dot(offset, r)) / tx - depth,
                           std::fabs(Dot(offset, u)) / ty - depth});
    }
    distance = needed;
}

ViewAngles OrbitCamera::PictureView() const {
    return {WrappedYaw(std::lround(yaw)), static_cast<std::int32_t>(std::clamp<long>(
                                              std::lround(pitch), -kLargestPitch, kLargestPitch))};
}

bool OrbitCamera::Project(const Vec3& point, const Viewport& viewport, ScreenPoint& shown) const {
    const Vec3 offset = Minus(point, Eye());
    const double depth = Dot(offset, Forward());
    if (!(depth > 0)) {
        return false;
    }
    const double h = HalfHeight() * depth;
    const double ndcX = Dot(offset, Right()) / (h * viewport.Aspect());
    const double ndcY = Dot(offset, Up()) / h;
    shown = {(ndcX + 1) / 2 * viewport.width, (1 - ndcY) / 2 * viewport.height};
    return true;
}

} // namespace arbolith
