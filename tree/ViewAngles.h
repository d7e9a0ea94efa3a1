#pragma once

#include <cstdint>

namespace arbolith {

// Which side the tree is seen from, in whole degrees: it is first turned by `yaw` about the
// vertical axis through the trunk's foot (positive brings its front to the right), then tilted
// by `pitch` about the horizontal axis through the foot (positive brings its top toward the
// viewer, so that it is seen more from above). (0, 0) is the front view.
struct ViewAngles {
    std::int32_t yaw = 0;
    std::int32_t pitch = 0;
    bool IsFront() const { return yaw == 0 && pitch == 0; }
    friend bool operator==(const ViewAngles&, const ViewAngles&) = default;
};

// The angles a view takes: yaw from -180 to 180, pitch from -90 (from below) to 90 (from above).
inline constexpr std::int32_t kLargestYaw = 180;
inline constexpr std::int32_t kLargestPitch = 90;

} // namespace arbolith
