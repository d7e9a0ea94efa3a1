#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace arbolith {

// Truncates toward zero to a 32-bit pixel coordinate or width. Values beyond the 32-bit range,
// infinities included, saturate at the nearest bound so that a far-flung branch stays on its
// side of the canvas; NaN, which has no side, becomes 0.
inline std::int32_t TruncateToPixel(double value) {
    if (value > -2147483649.0 && value < 2147483648.0) [[likely]] {
        return static_cast<std::int32_t>(value);
    }
    if (std::isnan(value)) {
        return 0;
    }
    return value > 0 ? std::numeric_limits<std::int32_t>::max()
                     : std::numeric_limits<std::int32_t>::min();
}

// Half a branch's width where it has depth z: 3 - z/30 (with 1/30 as a double, multiplied),
// truncated, then halved toward zero. The larger z, the narrower; it may come out 0 or negative.
inline std::int32_t BranchHalfWidth(double z) {
    return TruncateToPixel(3.0 - z * (1.0 / 30)) / 2;
}

} // namespace arbolith
