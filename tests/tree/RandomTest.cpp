#include <gtest/gtest.h>

#include "tree/Random.h"

namespace arbolith {
namespace {

TEST(RandomTest, KnownSeedGivesKnownDraws) {
    SeedRandom(1000000000);
    const int expected[] = {18686, 28840, 29787, 31391, 28529, 1806};
    for (int draw : expected) {
        EXPECT_EQ(DrawRandom(), draw);
    }
}

TEST(RandomTest, StateWrapsModulo32BitsAndDrawsStayInRange) {
    SeedRandom(0xFFFFFFFFu);
    const std::uint32_t next = 0xFFFFFFFFu * 214013u + 2531011u;
    EXPECT_EQ(DrawRandom(), static_cast<int>((next >> 16) & 0x7FFF));
    EXPECT_EQ(RandomState(), next);
    int lowest = kRandomMax;
    int highest = 0;
    for (int i = 0; i < 100000; ++i) {
        const int draw = DrawRandom();
        lowest = std::min(lowest, draw);
        highest = std::max(highest, draw);
    }
    EXPECT_EQ(lowest, 0);
    EXPECT_EQ(highest, kRandomMax);
}

TEST(RandomTest, FixedClockReplacesAndRestoresTheClock) {
    {
        FixedClock clock(1234567);
        EXPECT_EQ(ReadClock(), 1234567u);
        {
            FixedClock inner(42);
            EXPECT_EQ(ReadClock(), 42u);
        }
        EXPECT_EQ(ReadClock(), 1234567u);
    }
    // The system clock again: some second after this code was written.
    EXPECT_GT(ReadClock(), 1'790'000'000u);
}

} // namespace
} // namespace arbolith
