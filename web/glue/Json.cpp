#include "web/glue/Json.h"

#include <array>

namespace arbolith::web {

std::string JsonString(std::string_view text) {
    std::string json = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            constexpr std::array<char, 16> kHex{'0', '1', '2', '3', '4', '5', '6', '7',
                                                '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
            json += "\\u00";
            json += kHex[static_cast<unsigned char>(c) >> 4];
            json += kHex[static_cast<unsigned char>(c) & 15];
        } else {
            json += c;
        }
    }
    return json + '"';
}

std::string JsonStrings(const std::vector<std::string>& texts) {
    std::string json = "[";
    for (const std::string& text : texts) {
        json += (json.size() > 1 ? "," : "") + JsonString(text);
    }
    return json + ']';
}

} // namespace arbolith::web
