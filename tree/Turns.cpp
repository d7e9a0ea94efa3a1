#include "tree/Turns.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "tree/Random.h"

namespace arbolith {

namespace {

// Marks an entry not computed yet; no angle compares equal to it.
constexpr double kNotComputed = std::numeric_limits<double>::quiet_NaN();

std::uint64_t Magnitude(std::int32_t bound) {
    return bound < 0 ? static_cast<std::uint64_t>(-static_cast<std::int64_t>(bound))
                     : static_cast<std::uint64_t>(bound);
}

} // namespace

double TurnAngle(int draw, std::int32_t maxAngle) {
    return DegreesToRadians(maxAngle == 0 ? 0 : draw % maxAngle);
}

DrawRemainder::DrawRemainder(std::int32_t bound)
    // A bound of 0 has no remainder and turns nothing, as a bound of 1 does.
    : divisor_(bound == 0 ? 1 : Magnitude(bound)),
      magic_(((std::uint64_t{1} << kShift) + divisor_ - 1) / divisor_) {}

TurnTable::TurnTable(std::size_t largestBound)
    : entries_(largestBound, Entry{kNotComputed, {0.0, 0.0}}) {
    const std::size_t ahead = std::min(largestBound, kComputedAhead);
    ahead_.reserve(ahead);
    for (std::size_t degrees = 0; degrees < ahead; ++degrees) {
        const double angle = DegreesToRadians(static_cast<std::int32_t>(degrees));
        entries_[degrees] = {angle, Compute(angle)};
        ahead_.push_back(entries_[degrees].value);
    }
}

std::size_t TurnTable::Entries(std::int32_t bound) {
    return static_cast<std::size_t>(std::min<std::uint64_t>(Magnitude(bound), kRandomMax + 1));
}

CosSin TurnTable::Compute(double angle) {
    const bool rounded = !std::signbit(angle) && angle < kLargestRoundedAngle;
    const CosSin value = rounded ? CosSinRounded(angle) : CosSin{std::cos(angle), std::sin(angle)};
    if (!std::signbit(angle) && angle < kLargestAngle) {
        const auto degrees = static_cast<std::size_t>(angle * kRadiansToDegrees + 0.5);
        if (degrees < entries_.size() &&
            DegreesToRadians(static_cast<std::int32_t>(degrees)) == angle) {
            entries_[degrees] = {angle, value};
        }
    }
    return value;
}

} // namespace arbolith
