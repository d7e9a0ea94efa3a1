#include "web/glue/PageTree.h"

#include <cmath>

#include "ui/FieldNames.h"
#include "ui/FieldText.h"
#include "ui/FieldTexts.h"
#include "values/KeyTable.h"
#include "values/ShareLink.h"

namespace arbolith::web {

FieldTextList TabOrderTexts(const TreeParameters& parameters) {
    const auto byId = FieldTextsOf(parameters);
    const std::vector<FieldName> fields = FieldNames();
    FieldTextList texts;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        for (const auto& [id, text] : byId) {
            if (id == fields[i].id) {
                texts[i] = text;
            }
        }
    }
    return texts;
}

PageTree ReadPageTree(const TreeEntry& entry) {
    PageTree tree;
    const std::vector<FieldName> fields = FieldNames();
    tree.order.parameters = ReadTreeParameters([&](int id) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (fields[i].id == id) {
                return entry.fields[i];
            }
        }
        return std::string();
    });
    tree.order.view = entry.view;
    const TreeKey& time = *FindTreeKey(kTimeKey);
    if (!time.read(entry.second, tree.order)) {
        tree.error = InvalidValue(entry.second, "the second", time.expected);
        return tree;
    }
    // Infinity, or more than any tree has, is no limit.
    const double limit = entry.branchLimit;
    if (std::isnan(limit) || limit < 0 || limit != std::floor(limit)) {
        tree.error = "the branch limit is not a whole number of branches";
        return tree;
    }
    if (limit < 0x1p64) {
        tree.order.branchLimit = static_cast<std::uint64_t>(limit);
    }
    tree.texts = TabOrderTexts(tree.order.parameters);
    tree.link = LinkOf(tree.order);
    tree.total = BranchTotal(tree.order);
    return tree;
}

PageStatus StatusOf(const PageTree& tree, std::uint64_t drawn, RunState state) {
    const bool whole = state == RunState::Complete && tree.order.branchLimit == kNoBranchLimit;
    const std::string command = whole ? RenderCommand(tree.order) : std::string();
    return {StatusSentence(tree.order, tree.total, drawn, state, command), command};
}

PageLink ReadPageLink(std::string_view fragment) {
    LinkReading link = ReadLink(fragment);
    return {TabOrderTexts(link.order.parameters),
            link.hasSecond ? std::to_string(link.order.second) : std::string(), link.order.view,
            std::move(link.errors)};
}

} // namespace arbolith::web
