#include <gtest/gtest.h>

#include <string>

#include "values/MessageText.h"

namespace arbolith {
namespace {

TEST(MessageText, PrintableEscapesWhatCouldDriveBreakOrReorderTheLine) {
    const std::pair<std::string, std::string> cases[] = {
        {"tree.png", "tree.png"},
        {"a\\b", "a\\\\b"},
        {"x\x1b]0;title\a\x1b[2J\nsecond\r\t", "x\\x1b]0;title\\x07\\x1b[2J\\nsecond\\r\\t"},
        {std::string("nul\0del\x7f", 8), "nul\\x00del\\x7f"},
        // Not UTF-8: a stray byte, a cut sequence, an overlong form, a surrogate, a C1 control.
        {"\xff\xe2\x80 \xc0\xaf \xed\xa0\x80 \xc2\x9b",
         "\\xff\\xe2\\x80 \\xc0\\xaf \\xed\\xa0\\x80 \\xc2\\x9b"},
        // What reorders or breaks a line, from each range; joiners and accents are shown.
        {"\u061c\u200e\u200f\u2028\u2029\u202a\u202e\u2066\u2069",
         "\\u061c\\u200e\\u200f\\u2028\\u2029\\u202a\\u202e\\u2066\\u2069"},
        {"\u200d\u202f\u2065\u00e9\u4e2d\U0001f333", "\u200d\u202f\u2065\u00e9\u4e2d\U0001f333"},
    };
    for (const auto& [text, shown] : cases) {
        EXPECT_EQ(Printable(text), shown);
    }
}

std::string Repeated(const std::string& text, std::size_t times) {
    std::string repeated;
    for (std::size_t i = 0; i < times; ++i) {
        repeated += text;
    }
    return repeated;
}

TEST(MessageText, QuotedCutsALongValueAtACharacterAndTellsItsLength) {
    const std::string limit = Repeated("7", kQuotedCharacters);
    const std::pair<std::string, std::string> cases[] = {
        {"", "''"},
        {"levels", "'levels'"},
        {limit, "'" + limit + "'"},
        {limit + "8", "'" + limit + "...' (65 characters)"},
        {Repeated("9", 60000), "'" + Repeated("9", kQuotedCharacters) + "...' (60,000 characters)"},
        // Characters, not bytes: two bytes each here, and none is cut in half.
        {Repeated("\u00e9", 100),
         "'" + Repeated("\u00e9", kQuotedCharacters) + "...' (100 characters)"},
    };
    for (const auto& [value, quoted] : cases) {
        EXPECT_EQ(Quoted(value), quoted);
    }
    EXPECT_EQ(Quoted("7 7", '"'), "\"7 7\"");
}

} // namespace
} // namespace arbolith
