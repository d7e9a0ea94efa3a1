#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <string>

#include "ui/DialogLayout.h"
#include "ui/FieldText.h"

namespace arbolith {
namespace {

TEST(FieldTextTest, IntegersReadAsTheDialogReadsThem) {
    EXPECT_EQ(ParseIntegerField("12abc"), 12);
    EXPECT_EQ(ParseIntegerField(" -7"), -7);
    EXPECT_EQ(ParseIntegerField("\t+15"), 15);
    EXPECT_EQ(ParseIntegerField("abc"), 0);
    EXPECT_EQ(ParseIntegerField(""), 0);
    EXPECT_EQ(ParseIntegerField("-"), 0);
    EXPECT_EQ(ParseIntegerField("- 5"), 0);
    EXPECT_EQ(ParseIntegerField("2.9"), 2);
    EXPECT_EQ(ParseIntegerField("1e3"), 1);
    EXPECT_EQ(ParseIntegerField("0x1F"), 0);
}

TEST(FieldTextTest, IntegersWrapAroundIn32Bits) {
    EXPECT_EQ(ParseIntegerField("4294967297"), 1);
    EXPECT_EQ(ParseIntegerField("2147483647"), 2147483647);
    EXPECT_EQ(ParseIntegerField("2147483648"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(ParseIntegerField("-2147483648"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(ParseIntegerField("-4294967295"), 1);
    EXPECT_EQ(ParseIntegerField("99999999999999999999"), static_cast<std::int32_t>(1661992959));
}

TEST(FieldTextTest, ScaleReadsDecimalsWithFourExponentLetters) {
    EXPECT_EQ(ParseScaleField("2.5"), 2.5);
    EXPECT_EQ(ParseScaleField("1e1"), 10.0);
    EXPECT_EQ(ParseScaleField("1d1"), 10.0);
    EXPECT_EQ(ParseScaleField("1E-1"), 0.1);
    EXPECT_EQ(ParseScaleField("1D+2"), 100.0);
    EXPECT_EQ(ParseScaleField("3,5"), 3.0);
    EXPECT_EQ(ParseScaleField("  -0.75x"), -0.75);
    EXPECT_EQ(ParseScaleField(".5"), 0.5);
    EXPECT_EQ(ParseScaleField("7."), 7.0);
    EXPECT_EQ(ParseScaleField("1e"), 1.0);
    EXPECT_EQ(ParseScaleField("2e+"), 2.0);
    EXPECT_EQ(ParseScaleField("."), 0.0);
    EXPECT_EQ(ParseScaleField("e5"), 0.0);
    EXPECT_EQ(ParseScaleField("abc"), 0.0);
    EXPECT_EQ(ParseScaleField(""), 0.0);
    EXPECT_EQ(ParseScaleField("0.1"), 0.1);
    EXPECT_EQ(ParseScaleField("inf"), 0.0);
    EXPECT_EQ(ParseScaleField("nan"), 0.0);
    EXPECT_TRUE(std::signbit(ParseScaleField("-0")));
}

TEST(FieldTextTest, ScaleBeyondTheRangeOfADoubleSaturates) {
    EXPECT_EQ(ParseScaleField("1e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(ParseScaleField("-9d999"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(ParseScaleField("1e-400"), 0.0);
    EXPECT_EQ(ParseScaleField("0.0000001e-330"), 0.0);
    EXPECT_EQ(ParseScaleField("1.7976931348623157e308"), std::numeric_limits<double>::max());
}

TEST(FieldTextTest, ReadsTwelveFieldsEachCutToNineteenCharacters) {
    std::map<int, std::string> fields{
        {kFieldMaxAngleXY, "40"},
        {kFieldMaxAngleYZ, "20"},
        {kFieldMaxAngleXZ, "30"},
        {kFieldScaleFactor, "0.75"},
        {kFieldLimbsDegree, "3"},
        {kFieldReferenceX, "280"},
        {kFieldReferenceY, "640"},
        {kFieldReferenceZ, "-5"},
        {kFieldVectorX, "0"},
        {kFieldVectorY, "-150"},
        {kFieldVectorZ, "1234567890123456789012345"},
        {kFieldLevels, "7"},
    };
    std::vector<int> order;
    const TreeParameters p = ReadTreeParameters([&](int id) {
        order.push_back(id);
        return fields.at(id);
    });
    EXPECT_EQ(order, std::vector<int>(kFieldReadOrder.begin(), kFieldReadOrder.end()));
    EXPECT_EQ(p.maxAngleXY, 40);
    EXPECT_EQ(p.maxAngleYZ, 20);
    EXPECT_EQ(p.maxAngleXZ, 30);
    EXPECT_EQ(p.scaleFactor, 0.75);
    EXPECT_EQ(p.limbsDegree, 3);
    EXPECT_EQ(p.referencePoint, (IntTriple{280, 640, -5}));
    // Only "1234567890123456789" is read, wrapped to 32 bits.
    EXPECT_EQ(p.firstVector, (IntTriple{0, -150, static_cast<std::int32_t>(2112454933)}));
    EXPECT_EQ(p.levels, 7);

    const TreeParameters empty = ReadTreeParameters([](int) { return std::string(); });
    EXPECT_EQ(empty, TreeParameters{});
}

TEST(FieldTextTest, TheNineteenCharacterCutCanChangeTheScale) {
    std::map<int, std::string> fields;
    fields[kFieldScaleFactor] = "0.00000000000000001e5"; // the exponent is the 20th character on
    const TreeParameters p = ReadTreeParameters([&](int id) { return fields[id]; });
    EXPECT_EQ(p.scaleFactor, 1e-17);
}

} // namespace
} // namespace arbolith
