#pragma once

#include <cstdint>
#include <limits>

#include "tree/Clock.h"
#include "tree/Placement.h"
#include "tree/TreeParameters.h"
#include "tree/ViewAngles.h"

namespace arbolith {

// Within one clock second every fork starts the generator afresh, so in each fork below the last
// generation limbs 2 to n take the same draws and coincide, subtrees and all. Painting the same
// opaque polygons again changes no pixel, so by default such a group is drawn once; the literal
// path draws every polygon. A fork skips its repeats only if the clock has held its second since
// the seeding that the repeated limb drew from; otherwise it goes on limb by limb.
enum class GrowthPath { RepeatsOnce, Literal };

inline constexpr std::uint64_t kNoBranchLimit = std::numeric_limits<std::uint64_t>::max();

// One tree, all that decides it and how much of it is drawn: the dialog's twelve values, the
// clock second every fork reads (or a clock to read at every fork), the path through coinciding
// limbs, the side it is seen from, and how many of its polygons are drawn. Every front end draws,
// saves and exports a tree from one of these, so the same order gives the same tree anywhere.
struct TreeOrder {
    TreeParameters parameters;
    std::uint32_t second = 0;
    // When set, read at every fork instead of `second`, as a press in the Windows program reads
    // the system clock.
    ClockReading clock{};
    GrowthPath path = GrowthPath::RepeatsOnce;
    // Pictures only: a 3-D export holds the tree itself, to be turned in the viewer.
    ViewAngles view{};
    // Pictures only: where the picture puts the tree and how large.
    Placement placement{};
    // Polygons beyond this many, the trunk counted, are not drawn: a stopped run's picture shows
    // just so many, and drawing them again gives the same picture.
    std::uint64_t branchLimit = kNoBranchLimit;
};

} // namespace arbolith
