#include "ui/FieldText.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

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
    // Gather the number in the plain form that from_chars takes: digits, '.', 'e', exponent.
    std::string number;
    std::size_t integerDigits = 0;
    std::size_t fractionDigits = 0;
    // The decimal exponent of the first significant digit, to tell overflow from underflow.
    long long magnitude = 0;
    bool seenSignificant = false;
    for (; i < text.size() && IsDigit(text[i]); ++i, ++integerDigits) {
        number += text[i];
        if (seenSignificant || text[i] != '0') {
            seenSignificant = true;
            ++magnitude;
        }
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        number += '.';
        for (; i < text.size() && IsDigit(text[i]); ++i, ++fractionDigits) {
            number += text[i];
            if (!seenSignificant) {
                if (text[i] != '0') {
                    seenSignificant = true;
                } else {
                    --magnitude;
                }
            }
        }
    }
    if (integerDigits + fractionDigits == 0) {
        return 0.0;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            exponent += text[j];
            ++j;
        }
        long long exponentValue = 0;
        const std::size_t exponentStart = j;
        for (; j < text.size() && IsDigit(text[j]); ++j) {
            exponent += text[j];
            if (exponentValue < 1'000'000'000) {
                exponentValue = exponentValue * 10 + (text[j] - '0');
            }
        }
        // An exponent letter without digits is not part of the number.
        if (j > exponentStart) {
            number += exponent;
            magnitude += exponent[1] == '-' ? -exponentValue : exponentValue;
        }
    }
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Beyond the range of a double: an overflow reads as infinity, an underflow as zero.
        value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
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
