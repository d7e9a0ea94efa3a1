#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "tree/TreeParameters.h"

namespace arbolith {

// Strict readers for command-line values: the whole text must be the value, with no white
// space, no trailing characters and no wrap-around. Each gives nothing when the text is not
// acceptable.

// An optional sign and decimal digits, within the 32-bit signed range.
std::optional<std::int32_t> ReadInt32(std::string_view text);
// Decimal digits within [minimum, maximum].
std::optional<std::uint64_t> ReadUnsigned(std::string_view text, std::uint64_t minimum,
                                          std::uint64_t maximum);
// A decimal number, optionally with a fraction and an exponent; finite.
std::optional<double> ReadFiniteDouble(std::string_view text);
// Three 32-bit integers separated by commas: X,Y,Z.
std::optional<IntTriple> ReadTriple(std::string_view text);

struct PixelSize {
    int width;
    int height;
};
// WIDTHxHEIGHT, each from 1 to `maximum`.
std::optional<PixelSize> ReadSize(std::string_view text, int maximum);

} // namespace arbolith
