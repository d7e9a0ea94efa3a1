#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tree/TreeOrder.h"

namespace arbolith::web {

// The tree as the page holds it, sent to the core as lines of text: the twelve field texts in
// the dialog's tab order, the second, the view as YAW,PITCH, and the branch limit (empty for
// none). The core reads the fields by the dialog's own rules and the rest by the keys of share
// links, so the page never reads a number itself.
struct PageOrder {
    TreeOrder order;
    // Set when the second or the view is not acceptable; nothing is drawn then.
    std::string error;
};
PageOrder ReadPageOrder(std::string_view lines);

// What a share link says: everything it sets over the example tree, seen from the front and
// with no second ("now") where it sets none, and a message for every value it gets wrong.
struct LinkReading {
    TreeOrder order;
    bool hasSecond = false;
    std::vector<std::string> errors;
};
LinkReading ReadLink(std::string_view fragment);

// The share link's fragment for the order: every value, the second and the view.
std::string LinkOf(const TreeOrder& order);

} // namespace arbolith::web
