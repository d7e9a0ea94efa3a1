#pragma once

#include <array>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "tree/BranchCount.h"
#include "tree/TreeOrder.h"
#include "ui/DialogLayout.h"
#include "ui/StatusSentences.h"

namespace arbolith::web {

// The texts of the dialog's twelve fields, in its tab order.
using FieldTextList = std::array<std::string, kFieldReadOrder.size()>;

// The fields' texts that read back as the parameters.
FieldTextList TabOrderTexts(const TreeParameters& parameters);

// The tree as the page's controls hold it: the fields' texts as typed, the second's text, the
// view, and for the picture of a stopped run the branches it shows (infinity for no limit). The
// core reads the texts by the dialog's rules and the second by the share links' key, so the page
// never reads a number itself.
struct TreeEntry {
    FieldTextList fields;
    std::string second;
    ViewAngles view;
    double branchLimit = std::numeric_limits<double>::infinity();
};

// The page's tree, read once from its entry: the order, the texts its fields read as, its share
// link and the branches a run of it draws; or why it cannot be drawn, and nothing else.
struct PageTree {
    TreeOrder order;
    FieldTextList texts;
    std::string link;
    BranchCount total;
    std::string error;
};
PageTree ReadPageTree(const TreeEntry& entry);

// What the status line says of a run of the tree, and the arbolith-render command in it (empty
// while the picture is not a whole tree).
struct PageStatus {
    std::string text;
    std::string command;
};
PageStatus StatusOf(const PageTree& tree, std::uint64_t drawn, RunState state);

// A share link as the page's controls take it: the texts its fields show, the second's text
// (empty for now), the view, and a message for every pair it gets wrong.
struct PageLink {
    FieldTextList fields;
    std::string second;
    ViewAngles view;
    std::vector<std::string> errors;
};
PageLink ReadPageLink(std::string_view fragment);

} // namespace arbolith::web
