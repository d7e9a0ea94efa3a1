#pragma once

#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tree/TreeOrder.h"

namespace arbolith {

// The names every front end gives a tree's values: arbolith-render's long options (less their
// dashes) are also the keys of parameter files and of the browser's share links. One row a value,
// in the order they are listed.
struct TreeKey {
    std::string_view name;      // "max-xy"
    std::string_view valueName; // "DEGREES", as help shows the value
    std::string_view help;      // what the value does
    std::string_view expected;  // what a value that is not acceptable should have been
    // Reads the text into the order; false when the text is not acceptable, the order unchanged.
    bool (*read)(std::string_view text, TreeOrder& order);
    // The order's value as text that reads back as exactly this value.
    std::string (*write)(const TreeOrder& order);
};

std::span<const TreeKey> TreeKeys();
const TreeKey* FindTreeKey(std::string_view name);

// The key of the clock second, which has no default: none means "now".
inline constexpr std::string_view kTimeKey = "time";
// The key of the view, which only pictures show.
inline constexpr std::string_view kViewKey = "view";

using KeyValue = std::pair<std::string_view, std::string>;
// Every key with the order's value as text, in the table's order; with `unlike`, only the values
// that differ from its values.
std::vector<KeyValue> KeyValues(const TreeOrder& order, const TreeOrder* unlike = nullptr);

// The arbolith-render command that draws the order's picture: its second, and every value that
// differs from the command's own defaults.
std::string RenderCommand(const TreeOrder& order);

} // namespace arbolith
