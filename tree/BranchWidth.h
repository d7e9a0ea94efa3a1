#pragma once

#include <cstdint>

#include "surface/PixelMath.h"

namespace arbolith {

// Half a branch's width where it has depth z: 3 - z/30 (with 1/30 as a double, multiplied),
// truncated, then halved toward zero. The larger z, the narrower; it may come out 0 or negative.
inline std::int32_t BranchHalfWidth(double z) {
    return TruncateToPixel(3.0 - z * (1.0 / 30)) / 2;
}

} // namespace arbolith
