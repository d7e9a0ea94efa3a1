#include "web/glue/PageOrder.h"

#include <charconv>

#include "tree/ExampleTree.h"
#include "ui/FieldNames.h"
#include "ui/FieldText.h"
#include "values/KeyTable.h"

namespace arbolith::web {

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

std::string Quoted(std::string_view text) {
    return '"' + std::string(text) + '"';
}

std::string Invalid(std::string_view value, std::string_view what, std::string_view expected) {
    return "invalid value " + Quoted(value) + " for " + std::string(what) + ": expected " +
           std::string(expected);
}

} // namespace

PageOrder ReadPageOrder(std::string_view lines) {
    const std::vector<std::string_view> line = Split(lines, '\n');
    const std::vector<FieldName> fields = FieldNames();
    PageOrder page;
    if (line.size() != fields.size() + 3) {
        page.error = "the page sent " + std::to_string(line.size()) + " lines instead of " +
                     std::to_string(fields.size() + 3);
        return page;
    }
    page.order.parameters = ReadTreeParameters([&](int id) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (fields[i].id == id) {
                return std::string(line[i]);
            }
        }
        return std::string();
    });
    const std::string_view second = line[fields.size()];
    const std::string_view view = line[fields.size() + 1];
    const std::string_view limit = line[fields.size() + 2];
    const TreeKey& time = *FindTreeKey(kTimeKey);
    const TreeKey& angles = *FindTreeKey("view");
    if (!time.read(second, page.order)) {
        page.error = Invalid(second, "the second", time.expected);
    } else if (!angles.read(view, page.order)) {
        page.error = Invalid(view, "the view", angles.expected);
    } else if (!limit.empty() &&
               std::from_chars(limit.data(), limit.data() + limit.size(), page.order.branchLimit)
                       .ptr != limit.data() + limit.size()) {
        page.error = Invalid(limit, "the branch limit", "a whole number of branches");
    }
    return page;
}

LinkReading ReadLink(std::string_view fragment) {
    LinkReading link;
    link.order.parameters = kExampleTree;
    if (fragment.empty()) {
        return link;
    }
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
            link.errors.push_back("unknown key " + Quoted(name) + ": expected one of " + known);
        } else if (!key->read(value, link.order)) {
            link.errors.push_back(Invalid(value, name, key->expected));
        } else if (name == kTimeKey) {
            link.hasSecond = true;
        }
    }
    return link;
}

std::string LinkOf(const TreeOrder& order) {
    std::string fragment;
    for (const auto& [name, text] : KeyValues(order)) {
        fragment += (fragment.empty() ? "" : "&") + std::string(name) + '=' + text;
    }
    return fragment;
}

} // namespace arbolith::web
