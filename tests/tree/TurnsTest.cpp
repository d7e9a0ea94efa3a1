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

#ifdef __GLIBC__
// True when no other double lies nearer to `exact` than `value`, allowing for the error of the
// long double computation of `exact`.
bool Nearest(double value, long double exact) {
    const long double margin = std::fabs(exact) * 0x1p-60L;
    const long double distance = std::fabs(value - exact);
    for (double neighbour : {std::nextafter(value, -2.0), std::nextafter(value, 2.0)}) {
        if (std::fabs(neighbour - exact) + margin < distance) {
            return false;
        }
    }
    return true;
}
#endif

TEST(TurnsTest, TableGivesTheNearestDoublesToEveryTurnsCosineAndSine) {
    TurnTable table(TurnTable::Entries(32768));
    std::uint64_t digest = 0xcbf29ce484222325ULL; // FNV-1a over the bits of every turn
    for (std::int32_t degrees = 0; degrees <= kRandomMax; ++degrees) {
        const double angle = DegreesToRadians(degrees);
        for (int pass = 0; pass < 2; ++pass) { // computed, then cached
            const CosSin turn = table.Of(angle);
#ifdef __GLIBC__
            // A long double library good to its last bits; not every platform has one.
            ASSERT_TRUE(Nearest(turn.cos, std::cos(static_cast<long double>(angle)))) << degrees;
            ASSERT_TRUE(Nearest(turn.sin, std::sin(static_cast<long double>(angle)))) << degrees;
#endif
            if (pass == 0) {
                for (const double value : {turn.cos, turn.sin}) {
                    std::uint64_t bits = 0;
                    std::memcpy(&bits, &value, sizeof bits);
                    digest = (digest ^ bits) * 0x100000001b3ULL;
                }
            }
        }
    }
    // The same bits on every platform: the digest taken where the check above runs.
    EXPECT_EQ(digest, 0xf312ae911dd3ccf8ULL);
    // Turns where a common runtime library is one bit off; the bits are those of the values
    // worked out to 70 digits.
    struct Known {
        std::int32_t degrees;
        double cos;
        double sin;
    };
    for (const Known known : {Known{234, -0x1.2cf2304825515p-1, -0x1.9e3779b8e869p-1},
                              Known{263, -0x1.f32d44cde9079p-4, -0x1.fc2f025a00bfbp-1},
                              Known{922, -0x1.dab7d79af7981p-1, -0x1.7f98dee705dc3p-2}}) {
        const CosSin turn = table.Of(DegreesToRadians(known.degrees));
        EXPECT_TRUE(SameBits(turn.cos, known.cos)) << known.degrees;
        EXPECT_TRUE(SameBits(turn.sin, known.sin)) << known.degrees;
    }
    // Angles beyond the rounded range come from the runtime library; the sign of a zero is kept.
    TurnTable small(TurnTable::Entries(40));
    for (double angle : {-DegreesToRadians(5), 1e300, std::numeric_limits<double>::infinity()}) {
        const CosSin turn = small.Of(angle);
        EXPECT_TRUE(SameBits(turn.sin, std::sin(angle))) << angle;
        EXPECT_TRUE(SameBits(turn.cos, std::cos(angle)) || std::isnan(turn.cos)) << angle;
    }
    EXPECT_TRUE(std::signbit(small.Of(-0.0).sin));
    EXPECT_FALSE(std::signbit(small.Of(0.0).sin));
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
