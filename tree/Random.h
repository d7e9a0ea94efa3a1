#pragma once

#include <cstdint>

namespace arbolith {

// One step of the generator on any state: state' = state * 214013 + 2531011 (mod 2^32), and a
// draw is bits 16..30 of the new state, 0..32767. Our own code, so every platform yields the
// same sequence.
inline int NextDraw(std::uint32_t& state) {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFFu);
}

inline constexpr int kRandomMax = 32767;

// The pseudo-random generator that grows a tree. Each run has its own, so any number of trees
// can grow at once; every fork seeds it afresh from the clock, so what a run left in it never
// matters to the next.
class RandomGenerator {
public:
    void Seed(std::uint32_t seed) { state_ = seed; }
    int Draw() { return NextDraw(state_); }
    std::uint32_t State() const { return state_; }

private:
    std::uint32_t state_ = 1;
};

} // namespace arbolith
