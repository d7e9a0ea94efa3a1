#include "values/MessageText.h"

#include <cstdint>
#include <cstdio>

#include "numbers/DecimalText.h"

namespace arbolith {

namespace {

void AppendHex(std::string& out, unsigned char byte) {
    char text[5];
    std::snprintf(text, sizeof text, "\\x%02x", byte);
    out += text;
}

// Characters that are invisible yet reorder or break the text around them: the marks,
// embeddings, overrides and isolates of bidirectional text, and the line and paragraph
// separators. A name holding U+202E would show its end backwards.
bool Rearranges(std::uint32_t code) {
    return code == 0x061C || code == 0x200E || code == 0x200F ||
           (code >= 0x2028 && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069);
}

// The length of the valid UTF-8 sequence at the start of `text`, or 0; `code` is set to the
// character it encodes.
std::size_t SequenceLength(std::string_view text, std::uint32_t& code) {
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 0;
    code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07u;
    } else {
        return 0;
    }
    if (text.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0u) != 0x80u) {
            return 0;
        }
        code = (code << 6) | (next & 0x3Fu);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    const bool invalid = code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF);
    const bool control = code >= 0x80 && code <= 0x9F; // the C1 controls
    return overlong || invalid || control ? 0 : length;
}

bool StartsCharacter(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0u) != 0x80u;
}

} // namespace

std::string Printable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const auto byte = static_cast<unsigned char>(text[0]);
        std::size_t taken = 1;
        if (byte == '\\') {
            out += "\\\\";
        } else if (byte == '\n') {
            out += "\\n";
        } else if (byte == '\r') {
            out += "\\r";
        } else if (byte == '\t') {
            out += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            AppendHex(out, byte);
        } else if (byte < 0x80) {
            out += static_cast<char>(byte);
        } else if (std::uint32_t code = 0; const std::size_t length = SequenceLength(text, code)) {
            if (Rearranges(code)) {
                char escaped[12];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(code));
                out += escaped;
            } else {
                out.append(text.substr(0, length));
            }
            taken = length;
        } else {
            AppendHex(out, byte);
        }
        text.remove_prefix(taken);
    }
    return out;
}

std::string Quoted(std::string_view value, char quote) {
    std::size_t characters = 0;
    std::size_t cut = value.size();
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (StartsCharacter(value[i]) && characters++ == kQuotedCharacters) {
            cut = i;
        }
    }
    if (cut == value.size()) {
        return quote + std::string(value) + quote;
    }
    return quote + std::string(value.substr(0, cut)) + "..." + quote + " (" +
           CountText(characters) + " characters)";
}

} // namespace arbolith
