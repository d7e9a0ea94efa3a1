#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tree/BranchCount.h"
#include "tree/TreeOrder.h"

namespace arbolith {

// How a run of a tree stands.
enum class RunState {
    Drawing,   // still growing
    Complete,  // drawn as far as its order asks
    Stopped,   // stopped short
    ForkLimit, // stopped where its forks nest deeper than a run holds
};

// The branches a run of the order draws: the tree's, no more than the order's branch limit.
BranchCount BranchTotal(const TreeOrder& order);

// The side the tree is seen from, as the status line names it: "seen from yaw 30°, pitch -15°".
std::string SeenFrom(ViewAngles view);

// What the status line says, in UTF-8, of a run of the order that has drawn `drawn` of `total`
// branches: how far it has got, or which tree the canvas shows. A whole tree's sentence names
// `command`, the arbolith-render command that draws it again; a complete run of a limited order
// is a stopped tree's picture.
std::string StatusSentence(const TreeOrder& order, const BranchCount& total, std::uint64_t drawn,
                           RunState state, std::string_view command);

} // namespace arbolith
