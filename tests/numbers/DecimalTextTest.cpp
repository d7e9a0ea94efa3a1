#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "numbers/DecimalText.h"

namespace arbolith {
namespace {

// The library's text, which the exact implementation must give byte for byte where the library
// has none (the browser's).
template <typename Float> std::string LibraryText(Float value) {
    std::array<char, 64> text{};
    return {text.data(), std::to_chars(text.data(), text.data() + text.size(), value).ptr};
}

std::string LibraryScientific(double value, int precision) {
    std::array<char, 64> text{};
    return {text.data(), std::to_chars(text.data(), text.data() + text.size(), value,
                                       std::chars_format::scientific, precision)
                             .ptr};
}

constexpr double kMinSubnormal = std::numeric_limits<double>::denorm_min();

TEST(DecimalTextTest, ShortestDoubleTextIsTheLibrarys) {
    const std::vector<double> values{
        0.78, 0.1, 0.1 + 0.2, 1.0 / 3, 2.0 / 3, 4.35, 0.5, 1, 100, 123456, 0.001, 1e-4, 0.00012,
        // Powers of ten, where the shortest text is one digit and the value is not exact.
        1e-300, 1e-100, 1e-20, 1e-5, 1e15, 1e16, 1e21, 1e22, 1e23, 1e100, 1e300,
        // Seventeen digits, and whole numbers past 2^53 written out in full.
        0.12345678901234568, 1.2345678901234567e-300, 12345678901234568.0, 123456789012345680000.0,
        9.999999999999999e22, 9007199254740993.0, 1.7976931348623157e308,
        // Subnormals, the smallest normal, and powers of two where the gap below halves.
        kMinSubnormal, 3 * kMinSubnormal, 5e-310, 2.225073858507201e-308,
        std::numeric_limits<double>::min(), std::ldexp(1.0, -1021), std::ldexp(1.0, 100),
        std::ldexp(1.0, -100), std::ldexp(1.0, 1023),
        // Signs and what is not a number.
        -0.78, -0.0, 0.0, -kMinSubnormal, std::numeric_limits<double>::infinity(),
        -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()};
    for (const double value : values) {
        EXPECT_EQ(exact::ShortestText(value), LibraryText(value)) << LibraryText(value);
    }
    // And a spread of every exponent and mantissa.
    std::mt19937_64 random(20261209);
    for (int i = 0; i < 20000; ++i) {
        const double value = std::bit_cast<double>(random());
        if (std::isfinite(value)) {
            ASSERT_EQ(exact::ShortestText(value), LibraryText(value)) << LibraryText(value);
        }
    }
}

TEST(DecimalTextTest, ShortestFloatTextIsTheLibrarys) {
    const std::vector<float> values{0.1f,
                                    0.78f,
                                    -1.5f,
                                    16777216.0f,
                                    1e7f,
                                    1e10f,
                                    3.4028235e38f,
                                    std::numeric_limits<float>::min(),
                                    std::numeric_limits<float>::denorm_min(),
                                    std::ldexp(1.0f, -126) * 0.75f,
                                    std::ldexp(1.0f, 64)};
    for (const float value : values) {
        EXPECT_EQ(exact::ShortestText(value), LibraryText(value)) << LibraryText(value);
    }
    std::mt19937 random(20261209);
    for (int i = 0; i < 20000; ++i) {
        const float value = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
        if (std::isfinite(value)) {
            ASSERT_EQ(exact::ShortestText(value), LibraryText(value)) << LibraryText(value);
        }
    }
}

TEST(DecimalTextTest, RoundedDigitsAreTheLibrarysScientificDigits) {
    const std::vector<double> values{0.78, 1.0 / 3,      0.125,         2.5,
                                     0.35, 9.9999999e-5, kMinSubnormal, 1.7976931348623157e308,
                                     1e23, 99999.5,      0.1 + 0.2};
    for (const double value : values) {
        for (const int significant : {1, 2, 5, 13, 16, 17}) {
            const DecimalDigits rounded = RoundedDigits(value, significant);
            std::string digits;
            const std::string library = LibraryScientific(value, significant - 1);
            const std::size_t e = library.find('e');
            for (const char c : library.substr(0, e)) {
                if (c != '.') {
                    digits += c;
                }
            }
            EXPECT_EQ(rounded.digits, digits) << library;
            EXPECT_EQ(rounded.exponent + significant - 1, std::stoi(library.substr(e + 1)))
                << library;
        }
    }
}

TEST(DecimalTextTest, ReadingIsTheLibrarysToTheLastBit) {
    const std::string longDigits = "1." + std::string(900, '0') + "1";
    const std::vector<std::string> texts{
        "0.78", "1.", ".5", "-.5", "00012", "1E3", "1.e2", "1e", "1e+", "1e5x", "0x10", "-0",
        // Halfway between two doubles: to the even one.
        "9007199254740993", "9007199254740995", "9007199254740993.0000000000000000001",
        // At the ends of the range, and past them.
        "2.4703282292062328e-324", "1e-320", "1.7976931348623157e308", "1.7976931348623158e308",
        "2.2250738585072011e-308", "123456789012345678901234567890e-10", longDigits,
        "0." + std::string(400, '0') + "1e400"};
    for (const std::string& text : texts) {
        double expected = -1;
        const auto library = std::from_chars(text.data(), text.data() + text.size(), expected);
        const DecimalReading reading = exact::ReadDecimal(text);
        EXPECT_EQ(reading.length, static_cast<std::size_t>(library.ptr - text.data())) << text;
        EXPECT_EQ(std::bit_cast<std::uint64_t>(reading.value),
                  std::bit_cast<std::uint64_t>(expected))
            << text;
    }
    std::mt19937_64 random(20261209);
    std::uniform_int_distribution<int> exponent(-340, 320);
    for (int i = 0; i < 5000; ++i) {
        const std::string text = std::to_string(random()) + std::to_string(random() % 1000) + "e" +
                                 std::to_string(exponent(random));
        double expected = 0;
        const auto library = std::from_chars(text.data(), text.data() + text.size(), expected);
        const DecimalReading reading = exact::ReadDecimal(text);
        ASSERT_EQ(reading.outOfRange, library.ec == std::errc::result_out_of_range) << text;
        if (!reading.outOfRange) {
            ASSERT_EQ(reading.value, expected) << text;
        }
    }
}

TEST(DecimalTextTest, ReadingOnlyPlainNotation) {
    struct Case {
        const char* text;
        std::size_t length;
        double value;
        bool outOfRange;
    };
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    for (const Case& c : std::initializer_list<Case>{{"inf", 0, 0, false},
                                                     {"-inf", 0, 0, false},
                                                     {"nan", 0, 0, false},
                                                     {"+1", 0, 0, false},
                                                     {" 1", 0, 0, false},
                                                     {".", 0, 0, false},
                                                     {"-", 0, 0, false},
                                                     {"1e400", 5, kInfinity, true},
                                                     {"-1e400", 6, -kInfinity, true},
                                                     {"1e-400", 6, 0.0, true},
                                                     {"0e999999999999", 14, 0.0, false}}) {
        for (const DecimalReading& reading : {ReadDecimal(c.text), exact::ReadDecimal(c.text)}) {
            EXPECT_EQ(reading.length, c.length) << c.text;
            EXPECT_EQ(reading.value, c.value) << c.text;
            EXPECT_EQ(reading.outOfRange, c.outOfRange) << c.text;
        }
    }
}

TEST(DecimalTextTest, CountsAreGroupedInThousands) {
    const std::pair<std::uint64_t, const char*> cases[] = {
        {0, "0"},
        {999, "999"},
        {1000, "1,000"},
        {1048575, "1,048,575"},
        {std::numeric_limits<std::uint64_t>::max(), "18,446,744,073,709,551,615"},
    };
    for (const auto& [count, text] : cases) {
        EXPECT_EQ(CountText(count), text);
    }
}

} // namespace
} // namespace arbolith
