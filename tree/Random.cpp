#include "tree/Random.h"

#include <chrono>

namespace arbolith {

namespace {
ClockSource clockSource = &SystemClockSeconds;
std::uint32_t fixedSecond = 0;

std::uint32_t ReadFixedSecond() {
    return fixedSecond;
}
} // namespace

std::uint32_t SystemClockSeconds() {
    const auto since = std::chrono::system_clock::now().time_since_epoch();
    const auto seconds = std::chrono::floor<std::chrono::seconds>(since).count();
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(seconds));
}

std::uint32_t ReadClock() {
    return clockSource();
}

ClockSource SetClockSource(ClockSource clock) {
    const ClockSource previous = clockSource;
    clockSource = clock != nullptr ? clock : &SystemClockSeconds;
    return previous;
}

FixedClock::FixedClock(std::uint32_t second)
    : previous_(SetClockSource(&ReadFixedSecond)), previousSecond_(fixedSecond) {
    fixedSecond = second;
}

FixedClock::~FixedClock() {
    fixedSecond = previousSecond_;
    SetClockSource(previous_);
}

} // namespace arbolith
