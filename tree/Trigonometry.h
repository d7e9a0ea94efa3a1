#pragma once

namespace arbolith {

struct CosSin {
    double cos;
    double sin;
};

// The largest angle, in radians, that CosSinRounded takes: beyond every whole-degree turn a
// draw can make (32767 degrees).
inline constexpr double kLargestRoundedAngle = 1024.0;

// Cosine and sine of 0 <= angle < kLargestRoundedAngle, each the double nearest to the true
// value. Computed in our own code, so that every platform's tree has the same bits: runtime
// libraries differ in the last bit (one computes on the x87 unit).
CosSin CosSinRounded(double angle);

} // namespace arbolith
