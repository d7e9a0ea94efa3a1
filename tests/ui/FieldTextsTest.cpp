#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include "tree/ExampleTree.h"
#include "ui/DialogLayout.h"
#include "ui/FieldText.h"
#include "ui/FieldTexts.h"

namespace arbolith {
namespace {

std::string ScaleTextOf(double scale) {
    TreeParameters parameters = kExampleTree;
    parameters.scaleFactor = scale;
    for (const auto& [id, text] : FieldTextsOf(parameters)) {
        if (id == kFieldScaleFactor) {
            return text;
        }
    }
    return {};
}

// Read as the field reads it: the first 19 characters only.
double ReadBack(const std::string& text) {
    return ParseScaleField(text.substr(0, kFieldTextLimit));
}

bool Same(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

TEST(FieldTexts, EveryFieldReadsBackAsTheParameters) {
    TreeParameters parameters{std::numeric_limits<std::int32_t>::min(),
                              -7,
                              std::numeric_limits<std::int32_t>::max(),
                              -0.0,
                              0,
                              {1, -2, 3},
                              {-4, 5, -6},
                              2147483647};
    const TreeParameters read = ReadTreeParameters([&](int id) -> std::string {
        for (const auto& [field, text] : FieldTextsOf(parameters)) {
            if (field == id) {
                return text;
            }
        }
        return "field not written";
    });
    EXPECT_EQ(read, parameters);
    EXPECT_TRUE(std::signbit(read.scaleFactor));
}

TEST(FieldTexts, AScaleReadsBackExactlyWheneverSomeTextOfNineteenCharactersDoes) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0.78, "0.78"},
        {1e300, "1e+300"},
        {5e-324, "5e-324"},
        {std::numeric_limits<double>::infinity(), "1e999"},
        {-std::numeric_limits<double>::infinity(), "-1e999"},
        // Written out, 20 characters; with an exponent, 19.
        {0.000123456789012345, nullptr},
        {-1.234567890123e-300, nullptr},
        {123456789012345678.0, nullptr},
    };
    for (const auto& [value, text] : cases) {
        const std::string written = ScaleTextOf(value);
        SCOPED_TRACE(written);
        EXPECT_LE(written.size(), kFieldTextLimit);
        EXPECT_TRUE(Same(ReadBack(written), value));
        if (text != nullptr) {
            EXPECT_EQ(written, text);
        }
    }

    // Thirteen significant digits always fit, whatever the sign and the exponent.
    std::mt19937_64 random(2026);
    std::uniform_int_distribution<std::int64_t> mantissa(1'000'000'000'000, 9'999'999'999'999);
    std::uniform_int_distribution<int> exponent(-335, 295);
    for (int i = 0; i < 20000; ++i) {
        std::string decimal = i % 2 == 0 ? "-" : "";
        decimal += std::to_string(mantissa(random)) + "e" + std::to_string(exponent(random));
        const double value = std::strtod(decimal.c_str(), nullptr);
        const std::string written = ScaleTextOf(value);
        ASSERT_LE(written.size(), kFieldTextLimit) << decimal;
        ASSERT_TRUE(Same(ReadBack(written), value)) << decimal << " written " << written;
    }
}

TEST(FieldTexts, AScaleWithoutAnExactTextKeepsAtLeastThirteenDigits) {
    std::mt19937_64 random(1796);
    int rounded = 0;
    for (int i = 0; i < 20000; ++i) {
        const double value = std::bit_cast<double>(random());
        if (!std::isfinite(value)) {
            continue;
        }
        const std::string written = ScaleTextOf(value);
        ASSERT_LE(written.size(), kFieldTextLimit) << written;
        const double read = ReadBack(written);
        rounded += !Same(read, value);
        ASSERT_LE(std::fabs(read - value), std::fabs(value) * 5e-13) << written;
    }
    // Most random doubles need 17 digits and an exponent of three: more than 19 characters.
    EXPECT_GT(rounded, 10000);
}

} // namespace
} // namespace arbolith
