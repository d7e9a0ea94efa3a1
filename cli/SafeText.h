#pragma once

#include <string>
#include <string_view>

namespace arbolith::cli {

// The text with every control character (newlines, escapes, the C1 controls), every byte that
// is not valid UTF-8, and the backslash written as a backslash escape, so that a message holding
// a file name or an argument stays one line and cannot drive the terminal.
std::string Printable(std::string_view text);

} // namespace arbolith::cli
