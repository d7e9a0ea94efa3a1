#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace arbolith {

// Decimal text of floating-point numbers with the same bytes on every platform: the standard
// library's where it has floating-point <charconv>, otherwise exact arithmetic of our own that
// gives what it would (the browser's library has neither).

// The shortest text that reads back as exactly this value, as std::to_chars writes it with no
// format: fixed or scientific, whichever is shorter, fixed on a tie.
std::string ShortestText(double value);
std::string ShortestText(float value);

// A positive finite value as decimal digits (no leading zero) times ten to `exponent`.
struct DecimalDigits {
    std::string digits;
    int exponent = 0;
};
// The fewest digits that read back as exactly `value`, the nearest to it of those.
DecimalDigits ShortestDigits(double value);
DecimalDigits ShortestDigits(float value);
// `value` rounded to `significant` digits, halves to even.
DecimalDigits RoundedDigits(double value, int significant);

// Reads plain decimal notation as std::from_chars does: an optional minus sign, digits with an
// optional point and fraction, an optional exponent; no white space, plus sign, "inf" or "nan".
struct DecimalReading {
    double value = 0.0;
    // Characters that make up the number; none when the text does not begin with one.
    std::size_t length = 0;
    // Too large for a double, or too small to be anything but zero: `value` is then the
    // infinity or the zero that rounding gives, with the number's sign.
    bool outOfRange = false;
};
DecimalReading ReadDecimal(std::string_view text);

// A count as every message writes it, its digits in groups of three: 1048575 as "1,048,575".
std::string CountText(std::uint64_t count);

// The exact implementations, which the platform's library is checked against.
namespace exact {
std::string ShortestText(double value);
std::string ShortestText(float value);
DecimalReading ReadDecimal(std::string_view text);
} // namespace exact

} // namespace arbolith
