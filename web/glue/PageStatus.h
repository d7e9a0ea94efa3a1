#pragma once

#include <cstdint>
#include <string>

#include "tree/TreeOrder.h"
#include "ui/StatusSentences.h"

namespace arbolith::web {

// What the status line says, as the desktop program's does: how far a run has got, or which
// tree the canvas shows and the arbolith-render command that draws it again (empty while the
// picture is not a whole tree).
struct PageStatus {
    std::string text;
    std::string command;
    // The branches a whole run draws, for a progress bar.
    std::uint64_t total = 0;
};
PageStatus StatusOf(const TreeOrder& order, std::uint64_t drawn, RunState state);

} // namespace arbolith::web
