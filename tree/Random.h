#pragma once

#include <cstdint>

namespace arbolith {

// The process-wide pseudo-random generator that grows trees. Our own code, so that every
// platform yields the same sequence: state' = state * 214013 + 2531011 (mod 2^32), and a draw
// is bits 16..30 of the new state, 0..32767.
namespace detail {
inline std::uint32_t randomState = 1;
} // namespace detail

inline void SeedRandom(std::uint32_t seed) {
    detail::randomState = seed;
}

// One step of the generator on any state; the process-wide generator takes its steps here.
inline int NextDraw(std::uint32_t& state) {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFFu);
}

inline int DrawRandom() {
    return NextDraw(detail::randomState);
}

inline std::uint32_t RandomState() {
    return detail::randomState;
}

inline constexpr int kRandomMax = 32767;

// The clock that seeds the generator at every fork: calendar seconds since 1970-01-01 UTC,
// taken as 32 bits. Replaceable so that tests and tools can draw the tree of any second.
using ClockSource = std::uint32_t (*)();
std::uint32_t SystemClockSeconds();
std::uint32_t ReadClock();
// Installs a clock (nullptr restores the system clock) and returns the one it replaces.
ClockSource SetClockSource(ClockSource clock);

// Makes the clock read one fixed second while it lives.
class FixedClock {
public:
    explicit FixedClock(std::uint32_t second);
    ~FixedClock();
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;

private:
    ClockSource previous_;
    std::uint32_t previousSecond_;
};

} // namespace arbolith
