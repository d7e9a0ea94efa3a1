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

} // namespace arbolith
