#pragma once

#include <cstdint>
#include <optional>

#include "tree/TreePainter.h"
#include "tree/TreeParameters.h"

namespace arbolith {

struct BranchCount {
    // Polygons of the whole tree, trunk included, saturated at the largest 64-bit value.
    std::uint64_t branches = 0;
    // False when the limb count is drawn at random and `branches` is only an upper bound.
    bool exact = true;
    // The most forks the run holds unfinished at once (an upper bound where `branches` is one).
    std::uint64_t unfinishedForks = 0;
    // True when the tree has more branches than 64 bits count: `branches` is then the largest
    // 64-bit value, and the tree could never be drawn.
    bool beyond64Bits = false;

    // True for a tree that nests its forks deeper than a run can hold: the run stops at that
    // depth, and the tree could never be finished anyway.
    bool OutgrowsForkLimit() const { return unfinishedForks > kMaxUnfinishedForks; }
};

// How many branches a run with these parameters draws on the given path, computed without
// drawing, on the assumption that the run stays within one clock second. Knowing that second
// makes a random limb count known too: every fork of the second draws the same one.
BranchCount CountBranches(const TreeParameters& parameters,
                          GrowthPath path = GrowthPath::RepeatsOnce,
                          std::optional<std::uint32_t> second = std::nullopt);

} // namespace arbolith
