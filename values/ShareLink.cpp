#include "values/ShareLink.h"

#include "tree/ExampleTree.h"
#include "values/KeyTable.h"
#include "values/MessageText.h"

namespace arbolith {

namespace {

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t at = text.find(separator);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos) {
            return parts;
        }
        text.remove_prefix(at + 1);
    }
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// %XX escapes decoded; a '%' that starts none stays as it is.
std::string Decoded(std::string_view text) {
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 &&
            HexDigit(text[i + 2]) >= 0) {
            decoded += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
            i += 2;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

} // namespace

LinkReading ReadLink(std::string_view fragment) {
    LinkReading link;
    link.order.parameters = kExampleTree;
    for (const std::string_view pair : Split(fragment, '&')) {
        if (pair.empty()) {
            continue;
        }
        const std::size_t equals = pair.find('=');
        const std::string name = Decoded(pair.substr(0, equals));
        const std::string value =
            equals == std::string_view::npos ? std::string() : Decoded(pair.substr(equals + 1));
        const TreeKey* key = FindTreeKey(name);
        if (key == nullptr) {
            std::string known;
            for (const TreeKey& each : TreeKeys()) {
                known += (known.empty() ? "" : ", ") + std::string(each.name);
            }
            link.errors.push_back("unknown key " + Quoted(name, '"') + ": expected one of " +
                                  known);
        } else if (!key->read(value, link.order)) {
            link.errors.push_back(InvalidValue(value, name, key->expected));
        } else if (name == kTimeKey) {
            link.hasSecond = true;
        }
    }
    return link;
}

std::string InvalidValue(std::string_view value, std::string_view what, std::string_view expected) {
    return "invalid value " + Quoted(value, '"') + " for " + std::string(what) + ": expected " +
           std::string(expected);
}

std::string LinkOf(const TreeOrder& order) {
    std::string fragment;
    for (const auto& [name, text] : KeyValues(order)) {
        fragment += (fragment.empty() ? "" : "&") + std::string(name) + '=' + text;
    }
    return fragment;
}

} // namespace arbolith
