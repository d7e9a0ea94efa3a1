#pragma once

#include <string>
#include <string_view>

namespace arbolith::cli {

// The text with every control character (newlines, escapes, the C1 controls), every byte that
// is not valid UTF-8, and the backslash written as a backslash escape (\n, \x1b), so that a
// message holding a file name or an argument stays one line and cannot drive the terminal; and
// the invisible characters that reorder or break a line (the bidirectional marks, embeddings,
// overrides and isolates, U+2028 and U+2029) written as \u202e, so that it reads as it is.
std::string Printable(std::string_view text);

} // namespace arbolith::cli
