#include "tree/ViewTurn.h"

namespace arbolith {

namespace {

constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180;

} // namespace

std::int32_t WrappedYaw(std::int64_t degrees) {
    std::int64_t yaw = degrees % 360;
    if (yaw > kLargestYaw) {
        yaw -= 360;
    } else if (yaw <= -kLargestYaw) {
        yaw += 360;
    }
    return static_cast<std::int32_t>(yaw);
}

CosSin DegreesCosSin(std::int32_t degrees) {
    const std::int32_t turn = ((degrees % 360) + 360) % 360;
    const CosSin rest = CosSinRounded((turn % 90) * kRadiansPerDegree);
    switch (turn / 90) {
    case 0:
        return rest;
    case 1:
        return {-rest.sin, rest.cos};
    case 2:
        return {-rest.cos, -rest.sin};
    default:
        return {rest.sin, -rest.cos};
    }
}

ViewTurn::ViewTurn(ViewAngles view, const CVector& foot)
    : view_(view), yaw_(DegreesCosSin(view.yaw)), pitch_(DegreesCosSin(view.pitch)), foot_(foot) {}

CVector ViewTurn::Vector(const CVector& vector) const {
    double x = vector.x;
    double y = vector.y;
    double z = vector.z;
    if (view_.yaw != 0) {
        const double turnedX = yaw_.cos * x - yaw_.sin * z;
        z = yaw_.sin * x + yaw_.cos * z;
        x = turnedX;
    }
    if (view_.pitch != 0) {
        const double turnedY = pitch_.cos * y - pitch_.sin * z;
        z = pitch_.sin * y + pitch_.cos * z;
        y = turnedY;
    }
    return CVector(x, y, z);
}

CVector ViewTurn::Point(const CVector& point) const {
    if (view_.IsFront()) {
        return point;
    }
    const CVector turned = Vector(CVector(point.x - foot_.x, point.y - foot_.y, point.z - foot_.z));
    return CVector(view_.yaw != 0 ? foot_.x + turned.x : point.x,
                   view_.pitch != 0 ? foot_.y + turned.y : point.y, foot_.z + turned.z);
}

} // namespace arbolith
