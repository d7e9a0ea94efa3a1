#include <gtest/gtest.h>

#include "tree/Clock.h"
#include "tree/Random.h"

namespace arbolith {
namespace {

TEST(RandomTest, KnownSeedGivesKnownDraws) {
    RandomGenerator random;
    random.Seed(1000000000);
    const int expected[] = {18686, 28840, 29787, 31391, 28529, 1806};
    for (int draw : expected) {
        EXPECT_EQ(random.Draw(), draw);
    }
}

TEST(RandomTest, StateWrapsModulo32BitsAndDrawsStayInRange) {
    RandomGenerator random;
    random.Seed(0xFFFFFFFFu);
    const std::uint32_t next = 0xFFFFFFFFu * 214013u + 2531011u;
    EXPECT_EQ(random.Draw(), static_cast<int>((next >> 16) & 0x7FFF));
    EXPECT_EQ(random.State(), next);
    int lowest = kRandomMax;
    int highest = 0;
    for (int i = 0; i < 100000; ++i) {
        const int draw = random.Draw();
        lowest = std::min(lowest, draw);
        highest = std::max(highest, draw);
    }
    EXPECT_EQ(lowest, 0);
    EXPECT_EQ(highest, kRandomMax);
}

TEST(RandomTest, TheSystemClockGivesSecondsOfNow) {
    // Some second after this code was written.
    EXPECT_GT(SystemClockSeconds(), 1'790'000'000u);
}

} // namespace
} // namespace arbolith
