#include "ui/qt/FieldTexts.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string_view>

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

// The value's text with `precision` significant digits (none: as many as it takes to read back
// exactly), laid out as short as possible.
std::string CompactText(double value, std::optional<int> precision) {
    char text[64];
    const auto result = precision ? std::to_chars(text, text + sizeof text, std::fabs(value),
                                                  std::chars_format::scientific, *precision - 1)
                                  : std::to_chars(text, text + sizeof text, std::fabs(value),
                                                  std::chars_format::scientific);
    const std::string_view scientific(text, static_cast<std::size_t>(result.ptr - text));
    const std::size_t e = scientific.find('e');
    std::string digits;
    for (const char c : scientific.substr(0, e)) {
        if (c != '.') {
            digits += c;
        }
    }
    int exponent = std::atoi(std::string(scientific.substr(e + 1)).c_str()) -
                   static_cast<int>(digits.size() - 1);
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
        ++exponent;
    }
    return (std::signbit(value) ? "-" : "") + ShortestLayout(digits, exponent);
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
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    std::string usual(text, result.ptr);
    if (usual.size() <= kFieldTextLimit) {
        return usual;
    }
    std::string compact = CompactText(value, std::nullopt);
    for (int precision = 16; compact.size() > kFieldTextLimit; --precision) {
        compact = CompactText(value, precision);
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
