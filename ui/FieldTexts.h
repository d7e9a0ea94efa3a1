#pragma once

#include <array>
#include <string>
#include <utility>

#include "tree/TreeParameters.h"

namespace arbolith {

// The text of each field, by control id in the dialog's reading order, at most 19 characters
// long, that reads back as exactly these parameters wherever such a text exists. A scale factor
// that has none (one of 17 significant digits far from 1, say) is written with as many
// significant digits as fit, at least 13; a NaN, which no text gives, as "nan".
std::array<std::pair<int, std::string>, 12> FieldTextsOf(const TreeParameters& parameters);

} // namespace arbolith
