#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "tree/Random.h"
#include "tree/Turns.h"

namespace arbolith {
namespace {

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(TurnsTest, RemainderWithoutDivisionEqualsTheDivisionForEveryDraw) {
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    for (std::int32_t bound :
         {1,     2,     3,     7,       20,       30,   40, 90,  360,    1000,     32767,
          32768, 32769, 65535, 1 << 20, kMax - 1, kMax, -1, -40, -32768, kMin + 1, kMin}) {
        const DrawRemainder remainder(bound);
        for (int draw = 0; draw <= kRandomMax; ++draw) {
            ASSERT_EQ(remainder.Of(draw), draw % bound) << draw << " % " << bound;
        }
    }
    const DrawRemainder none(0);
    EXPECT_EQ(none.Of(0), 0);
    EXPECT_EQ(none.Of(kRandomMax), 0);
}

TEST(TurnsTest, TableGivesTheVeryBitsOfCosineAndSine) {
    TurnTable table(TurnTable::Entries(32768));
    for (std::int32_t degrees = 0; degrees <= kRandomMax; degrees += 7) {
        const double angle = DegreesToRadians(degrees);
        for (int pass = 0; pass < 2; ++pass) { // computed, then cached
            const TurnTable::CosSin turn = table.Of(angle);
            ASSERT_TRUE(SameBits(turn.cos, std::cos(angle))) << degrees;
            ASSERT_TRUE(SameBits(turn.sin, std::sin(angle))) << degrees;
        }
    }
    // Angles that are no whole-degree turn, and those beyond the table, are computed afresh.
    TurnTable small(TurnTable::Entries(40));
    for (double angle : {-0.0, 0.1, std::nextafter(DegreesToRadians(3), 1.0), DegreesToRadians(40),
                         -DegreesToRadians(5), 1e300, std::numeric_limits<double>::infinity()}) {
        const TurnTable::CosSin turn = small.Of(angle);
        EXPECT_TRUE(SameBits(turn.sin, std::sin(angle))) << angle;
        EXPECT_TRUE(SameBits(turn.cos, std::cos(angle)) || std::isnan(turn.cos)) << angle;
    }
    EXPECT_TRUE(std::signbit(small.Of(-0.0).sin));
    EXPECT_TRUE(std::isnan(small.Of(std::nan("")).cos));
}

TEST(TurnsTest, TableSizeCoversEveryTurnADrawCanGive) {
    EXPECT_EQ(TurnTable::Entries(0), 0u);
    EXPECT_EQ(TurnTable::Entries(40), 40u);
    EXPECT_EQ(TurnTable::Entries(-40), 40u);
    EXPECT_EQ(TurnTable::Entries(std::numeric_limits<std::int32_t>::min()), 32768u);
    EXPECT_EQ(TurnTable::Entries(100000), 32768u);
}

} // namespace
} // namespace arbolith
