#pragma once

#include <cstdint>

#include "tree/TreeParameters.h"

namespace arbolith {

struct BranchCount {
    // Polygons of the whole tree, trunk included, saturated at the largest 64-bit value.
    std::uint64_t branches = 0;
    // False when the limb count is drawn at random and `branches` is only an upper bound.
    bool exact = true;
};

// How many branches a run with these parameters draws, computed without drawing.
BranchCount CountBranches(const TreeParameters& parameters);

} // namespace arbolith
