#pragma once

#include <array>
#include <string>
#include <utility>

#include "tree/TreeParameters.h"

namespace arbolith {

// The text of each field, by control id in the dialog's reading order, that reads back as
// exactly these parameters.
std::array<std::pair<int, std::string>, 12> FieldTextsOf(const TreeParameters& parameters);

} // namespace arbolith
