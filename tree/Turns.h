#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "tree/Trigonometry.h"

namespace arbolith {

// A whole number of degrees in radians, multiplied out exactly as the tree has always done it:
// (2k) x 3.1415926535 x (1/360), left to right, with pi to ten decimals.
inline double DegreesToRadians(std::int32_t degrees) {
    return static_cast<double>(2 * degrees) * 3.1415926535 * (1.0 / 360);
}

// Turns a draw into an angle in radians: the draw modulo the bound, in whole degrees. A bound
// of 0 has no remainder, so that plane gets no turn; the draw is still taken, which keeps the
// other planes' draws where they would be. A negative bound acts as its magnitude.
double TurnAngle(int draw, std::int32_t maxAngle);

// The remainder of a draw (0 to 32767) by a fixed bound, as `draw % bound` gives it, without a
// division per draw: for n < 2^15 and d <= 2^31, n / d == n * ceil(2^47 / d) / 2^47.
class DrawRemainder {
public:
    explicit DrawRemainder(std::int32_t bound);
    std::int32_t Of(int draw) const {
        const auto n = static_cast<std::uint64_t>(draw);
        return static_cast<std::int32_t>(n - ((n * magic_) >> kShift) * divisor_);
    }

private:
    static constexpr int kShift = 47;
    std::uint64_t divisor_;
    std::uint64_t magic_;
};

// The cosine and sine of whole-degree turns, each computed once and then looked up. Every
// angle from 0 up to kLargestRoundedAngle, whole-degree turn or not, gets the correctly rounded
// values of CosSinRounded, the same bits on every platform; other angles (never a turn a draw
// makes) those of the runtime library.
class TurnTable {
public:
    // Holds the turns of 0 to `largestBound` - 1 degrees.
    explicit TurnTable(std::size_t largestBound);

    // Turns below this many degrees are computed when the table is made; larger bounds compute
    // the rest as they are first drawn.
    static constexpr std::size_t kComputedAhead = 1024;

    // The angle of a turn of `degrees` (0 to the largest bound - 1), as DegreesToRadians gives
    // it. The turn asked for next is most likely this one, so it is looked at first.
    double AngleOf(std::int32_t degrees) {
        const auto index = static_cast<std::size_t>(degrees);
        if (index >= entries_.size()) {
            return DegreesToRadians(degrees);
        }
        Entry& entry = entries_[index];
        if (!(entry.angle == entry.angle)) { // not computed yet
            const double angle = DegreesToRadians(degrees);
            entry = {angle, Compute(angle)};
        }
        next_ = index;
        return entry.angle;
    }

    // The cosine and sine of a turn of `degrees` (0 to the largest bound - 1): Of(AngleOf(degrees))
    // without the angle. The turns of the usual bounds are all computed ahead, side by side.
    CosSin OfDegrees(std::int32_t degrees) {
        const auto index = static_cast<std::size_t>(degrees);
        if (index < ahead_.size()) [[likely]] {
            return ahead_[index];
        }
        if (index >= entries_.size()) {
            return Compute(DegreesToRadians(degrees));
        }
        Entry& entry = entries_[index];
        if (!(entry.angle == entry.angle)) { // not computed yet
            const double angle = DegreesToRadians(degrees);
            entry = {angle, Compute(angle)};
        }
        return entry.value;
    }

    CosSin Of(double angle) {
        if (next_ < entries_.size() && entries_[next_].angle == angle) {
            return entries_[next_].value;
        }
        // A negative zero has a sine of its own, so it never comes from the table. The bound on
        // the angle in radians only keeps the conversion defined; the table's size decides.
        if (!std::signbit(angle) && angle < kLargestAngle) {
            const auto degrees = static_cast<std::size_t>(angle * kRadiansToDegrees + 0.5);
            if (degrees < entries_.size() && entries_[degrees].angle == angle) {
                return entries_[degrees].value;
            }
        }
        return Compute(angle);
    }

    // The bound beyond which no turn can come from a draw.
    static std::size_t Entries(std::int32_t bound);

private:
    static constexpr double kRadiansToDegrees = 180.0 / 3.1415926535;
    static constexpr double kLargestAngle = 1e6;

    // Computes a turn, and keeps it if it is a whole-degree turn the table holds.
    CosSin Compute(double angle);

    struct Entry {
        double angle;
        CosSin value;
    };
    std::vector<Entry> entries_;
    std::vector<CosSin> ahead_;
    // The entry AngleOf gave last.
    std::size_t next_ = ~std::size_t{0};
};

} // namespace arbolith
