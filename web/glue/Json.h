#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace arbolith::web {

// The text as a JSON string, quotes included.
std::string JsonString(std::string_view text);
std::string JsonStrings(const std::vector<std::string>& texts);

} // namespace arbolith::web
