#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "tree/TreeParameters.h"

namespace arbolith {

// A field contributes at most this many characters; the rest of a longer text is cut off.
inline constexpr std::size_t kFieldTextLimit = 19;

// Reads a 32-bit integer as the dialog does: leading white space, an optional sign, decimal
// digits accumulated with 32-bit wrap-around. Stops at the first character that does not fit;
// text that does not begin with a number reads as 0.
std::int32_t ParseIntegerField(std::string_view text);

// Reads a double as the dialog does: leading white space, an optional sign, digits with an
// optional full stop and fraction, and an optional exponent introduced by e, E, d or D.
// Independent of the locale. Text that does not begin with a number reads as 0.
double ParseScaleField(std::string_view text);

// Reads the twelve fields in the dialog's order, each cut to its first 19 characters, and
// converts them. `fieldText` gives the text of the field with the given control id.
TreeParameters ReadTreeParameters(const std::function<std::string(int controlId)>& fieldText);

} // namespace arbolith
