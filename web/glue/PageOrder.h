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

} // namespace arbolith::web
