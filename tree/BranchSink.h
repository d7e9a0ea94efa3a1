#pragma once

#include "geometry/Vector.h"
#include "tree/TreePainter.h"
#include "tree/TreeParameters.h"

namespace arbolith {

// Takes a tree's branches in three dimensions as they grow, instead of drawing them.
class BranchSink {
public:
    virtual ~BranchSink() = default;
    // The branch from `base` to `base + vector`, in canvas pixels with y downward and the
    // depth z growing away from the viewer.
    virtual void Branch(const CVector& base, const CVector& vector) = 0;
};

// Grows the tree of these parameters, with the clock as the caller has set it, and hands the
// sink every branch a drawing run on the same path would draw, in the same order: the trunk
// first, then the limbs depth first. False if the monitor stopped it.
bool GrowTreeBranches(BranchSink& sink, const TreeParameters& parameters,
                      RunMonitor* monitor = nullptr, GrowthPath path = GrowthPath::RepeatsOnce);

} // namespace arbolith
