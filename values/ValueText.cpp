#include "values/ValueText.h"

#include <charconv>

#include "numbers/DecimalText.h"

namespace arbolith {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// from_chars reads no plus sign; accept one in front of a digit, as people type it.
std::string_view WithoutPlus(std::string_view text) {
    if (text.size() > 1 && text.front() == '+' && IsDigit(text[1])) {
        text.remove_prefix(1);
    }
    return text;
}

template <typename Number> std::optional<Number> ReadWhole(std::string_view text) {
    Number value{};
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<std::int32_t> ReadInt32(std::string_view text) {
    return ReadWhole<std::int32_t>(WithoutPlus(text));
}

std::optional<std::uint64_t> ReadUnsigned(std::string_view text, std::uint64_t minimum,
                                          std::uint64_t maximum) {
    if (text.empty() || !IsDigit(text.front())) {
        return std::nullopt;
    }
    const auto value = ReadWhole<std::uint64_t>(text);
    if (!value || *value < minimum || *value > maximum) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> ReadFiniteDouble(std::string_view text) {
    text = WithoutPlus(text);
    const DecimalReading reading = ReadDecimal(text);
    if (text.empty() || reading.length != text.size() || reading.outOfRange) {
        return std::nullopt;
    }
    return reading.value;
}

std::optional<IntTriple> ReadTriple(std::string_view text) {
    const std::size_t first = text.find(',');
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t second = text.find(',', first + 1);
    if (second == std::string_view::npos) {
        return std::nullopt;
    }
    const auto x = ReadInt32(text.substr(0, first));
    const auto y = ReadInt32(text.substr(first + 1, second - first - 1));
    const auto z = ReadInt32(text.substr(second + 1));
    if (!x || !y || !z) {
        return std::nullopt;
    }
    return IntTriple{*x, *y, *z};
}

std::optional<PixelSize> ReadSize(std::string_view text, int maximum) {
    const std::size_t cross = text.find_first_of("xX");
    if (cross == std::string_view::npos) {
        return std::nullopt;
    }
    const auto bound = static_cast<std::uint64_t>(maximum);
    const auto width = ReadUnsigned(text.substr(0, cross), 1, bound);
    const auto height = ReadUnsigned(text.substr(cross + 1), 1, bound);
    if (!width || !height) {
        return std::nullopt;
    }
    return PixelSize{static_cast<int>(*width), static_cast<int>(*height)};
}

} // namespace arbolith
