#include "web/glue/PageOrder.h"

#include <charconv>

#include "ui/FieldNames.h"
#include "ui/FieldText.h"
#include "values/KeyTable.h"
#include "values/ShareLink.h"

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
        page.error = InvalidValue(second, "the second", time.expected);
    } else if (!angles.read(view, page.order)) {
        page.error = InvalidValue(view, "the view", angles.expected);
    } else if (!limit.empty() &&
               std::from_chars(limit.data(), limit.data() + limit.size(), page.order.branchLimit)
                       .ptr != limit.data() + limit.size()) {
        page.error = InvalidValue(limit, "the branch limit", "a whole number of branches");
    }
    return page;
}

} // namespace arbolith::web
