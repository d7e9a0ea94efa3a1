#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace arbolith {

// Text from outside (a file's name, an argument, a field, a value in a file or a link) as every
// front end's messages show it: it can neither drive a terminal, nor break or reorder the line,
// nor bury the message under its length.

// The text with every control character (newlines, escapes, the C1 controls), every byte that
// is not valid UTF-8, and the backslash written as a backslash escape (\n, \x1b), so that a
// message holding a file name or an argument stays one line and cannot drive the terminal; and
// the invisible characters that reorder or break a line (the bidirectional marks, embeddings,
// overrides and isolates, U+2028 and U+2029) written as \u202e, so that it reads as it is. A
// front end makes a whole message printable where it shows it.
std::string Printable(std::string_view text);

// The most characters of a value that a message quotes.
inline constexpr std::size_t kQuotedCharacters = 64;

// The value between quotes for a message: whole if it has at most kQuotedCharacters characters,
// else its first ones, cut at the start of a character, and how long it was:
// '11111111...' (60,000 characters).
std::string Quoted(std::string_view value, char quote = '\'');

} // namespace arbolith
