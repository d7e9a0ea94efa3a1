#include "ui/FieldTexts.h"

#include <cmath>

#include "numbers/DecimalText.h"
#include "ui/DialogLayout.h"
#include "ui/FieldText.h"

namespace arbolith {

namespace {

// The shortest text of `digits` * 10^exponent: written out, or with an exponent and the
// decimal point wherever it makes the text shortest.
std::string ShortestLayout(const std::string& digits, int exponent) {
    const int count = static_cast<int>(digits.size());
    std::string best;
    if (exponent >= 0) {
        best = digits + std::string(static_cast<std::size_t>(exponent), '0');
    } else if (count + exponent > 0) {
        best = digits.substr(0, static_cast<std::size_t>(count + exponent)) + '.' +
               digits.substr(static_cast<std::size_t>(count + exponent));
    } else {
        best = '.' + std::string(static_cast<std::size_t>(-(count + exponent)), '0') + digits;
    }
    for (int point = 0; point <= count; ++point) {
        const auto at = static_cast<std::size_t>(point);
        const std::string mantissa =
            point == count ? digits : digits.substr(0, at) + '.' + digits.substr(at);
        const std::string text = mantissa + 'e' + std::to_string(exponent + count - point);
        if (text.size() < best.size()) {
            best = text;
        }
    }
    return best;
}

std::string CompactText(double value, const DecimalDigits& decimal) {
    std::string digits = decimal.digits;
    int exponent = decimal.exponent;
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
        ++exponent;
    }
    std::string text = std::signbit(value) ? "-" : "";
    return text.append(ShortestLayout(digits, exponent));
}

std::string ScaleText(double value) {
    if (std::isnan(value)) {
        return "nan";
    }
    if (std::isinf(value)) {
        // Beyond the range of a double, which the field reads as infinity.
        return value > 0 ? "1e999" : "-1e999";
    }
    // The shortest text that reads back as the same double, as it is usually written.
    std::string usual = ShortestText(value);
    if (usual.size() <= kFieldTextLimit) {
        return usual;
    }
    // As many significant digits as it takes to read back exactly, or as many as fit.
    std::string compact = CompactText(value, ShortestDigits(value));
    for (int precision = 16; compact.size() > kFieldTextLimit; --precision) {
        compact = CompactText(value, RoundedDigits(value, precision));
    }
    return compact;
}

} // namespace

std::array<std::pair<int, std::string>, 12> FieldTextsOf(const TreeParameters& parameters) {
    const auto integer = [](std::int32_t value) {
        return std::to_string(value);
    };
    return {{
        {kFieldMaxAngleXY, integer(parameters.maxAngleXY)},
        {kFieldMaxAngleXZ, integer(parameters.maxAngleXZ)},
        {kFieldMaxAngleYZ, integer(parameters.maxAngleYZ)},
        {kFieldScaleFactor, ScaleText(parameters.scaleFactor)},
        {kFieldLimbsDegree, integer(parameters.limbsDegree)},
        {kFieldReferenceX, integer(parameters.referencePoint.x)},
        {kFieldReferenceY, integer(parameters.referencePoint.y)},
        {kFieldReferenceZ, integer(parameters.referencePoint.z)},
        {kFieldVectorX, integer(parameters.firstVector.x)},
        {kFieldVectorY, integer(parameters.firstVector.y)},
        {kFieldVectorZ, integer(parameters.firstVector.z)},
        {kFieldLevels, integer(parameters.levels)},
    }};
}

} // namespace arbolith
