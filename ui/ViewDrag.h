#pragma once

#include <algorithm>
#include <cstdint>

#include "tree/ViewAngles.h"
#include "tree/ViewTurn.h"

namespace arbolith {

// Dragging on a canvas turns the view a degree for every this many pixels.
inline constexpr int kPixelsPerDegree = 2;

// The view after a drag that began at `start` and has moved by (dx, dy) pixels since: right turns
// the front to the right, down tilts the top toward the viewer. The yaw wraps round; the pitch
// stops at straight above and below.
inline ViewAngles ViewAfterDrag(ViewAngles start, std::int64_t dx, std::int64_t dy) {
    const std::int64_t pitch = std::clamp<std::int64_t>(
        std::int64_t{start.pitch} + dy / kPixelsPerDegree, -kLargestPitch, kLargestPitch);
    return {WrappedYaw(std::int64_t{start.yaw} + dx / kPixelsPerDegree),
            static_cast<std::int32_t>(pitch)};
}

} // namespace arbolith
