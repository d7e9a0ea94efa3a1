#include "ui/FieldText.h"

#include <string>

#include "numbers/DecimalText.h"
#include "ui/DialogLayout.h"

namespace arbolith {

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t SkipSpace(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) {
        ++i;
    }
    return i;
}

} // namespace

std::int32_t ParseIntegerField(std::string_view text) {
    std::size_t i = SkipSpace(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::uint32_t value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
    }
    if (negative) {
        value = 0u - value;
    }
    return static_cast<std::int32_t>(value);
}

double ParseScaleField(std::string_view text) {
    std::size_t i = SkipSpace(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Gather the number in plain decimal notation: digits, '.', 'e', exponent.
    std::string number;
    std::size_t digits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i, ++digits) {
        number += text[i];
    }
    if (i < text.size() && text[i] == '.') {
        number += text[i++];
        for (; i < text.size() && IsDigit(text[i]); ++i, ++digits) {
            number += text[i];
        }
    }
    if (digits == 0) {
        return 0.0;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        // An exponent letter without digits is not part of the number, and is left for the
        // reader to leave out.
        number += 'e';
        for (++i; i < text.size() && (IsDigit(text[i]) || text[i] == '+' || text[i] == '-'); ++i) {
            number += text[i];
        }
    }
    // Beyond the range of a double, an overflow reads as infinity and an underflow as zero.
    const double value = ReadDecimal(number).value;
    return negative ? -value : value;
}

TreeParameters ReadTreeParameters(const std::function<std::string(int controlId)>& fieldText) {
    auto field = [&](int controlId) {
        std::string text = fieldText(controlId);
        if (text.size() > kFieldTextLimit) {
            text.resize(kFieldTextLimit);
        }
        return text;
    };
    // Read in the dialog's order, each converted before the next is read.
    TreeParameters p;
    p.maxAngleXY = ParseIntegerField(field(kFieldMaxAngleXY));
    p.maxAngleXZ = ParseIntegerField(field(kFieldMaxAngleXZ));
    p.maxAngleYZ = ParseIntegerField(field(kFieldMaxAngleYZ));
    p.scaleFactor = ParseScaleField(field(kFieldScaleFactor));
    p.limbsDegree = ParseIntegerField(field(kFieldLimbsDegree));
    p.referencePoint.x = ParseIntegerField(field(kFieldReferenceX));
    p.referencePoint.y = ParseIntegerField(field(kFieldReferenceY));
    p.referencePoint.z = ParseIntegerField(field(kFieldReferenceZ));
    p.firstVector.x = ParseIntegerField(field(kFieldVectorX));
    p.firstVector.y = ParseIntegerField(field(kFieldVectorY));
    p.firstVector.z = ParseIntegerField(field(kFieldVectorZ));
    p.levels = ParseIntegerField(field(kFieldLevels));
    return p;
}

} // namespace arbolith
