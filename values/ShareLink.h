#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tree/TreeOrder.h"

namespace arbolith {

// A share link's fragment is the table of keys as KEY=VALUE pairs joined by '&', each part
// percent-decoded. It comes from anyone, so every pair is read on its own: a bad one is named and
// the rest still apply.

// What a share link says: everything it sets over the example tree, seen from the front and
// with no second ("now") where it sets none, and a message for every pair it gets wrong. A key
// given twice takes its last acceptable value.
struct LinkReading {
    TreeOrder order;
    bool hasSecond = false;
    std::vector<std::string> errors;
};
LinkReading ReadLink(std::string_view fragment);

// The share link's fragment for the order: every value, the second and the view.
std::string LinkOf(const TreeOrder& order);

// How the browser edition names a value that is not acceptable, the link's or a field's.
std::string InvalidValue(std::string_view value, std::string_view what, std::string_view expected);

} // namespace arbolith
