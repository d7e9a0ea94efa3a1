#pragma once

#include "geometry/Vector.h"
#include "tree/TreeOrder.h"
#include "tree/TreePainter.h"

namespace arbolith {

// Takes a tree's branches in three dimensions as they grow, instead of drawing them.
class BranchSink {
public:
    virtual ~BranchSink() = default;
    // The branch from `base` to `base + vector`, in canvas pixels with y downward and the
    // depth z growing away from the viewer, at its place in the tree.
    virtual void Branch(const CVector& base, const CVector& vector, const BranchPlace& place) = 0;
};

// Grows the order's tree and hands the sink every branch a drawing run of the order would draw,
// in the same order: the trunk first, then the limbs depth first. The branches are the tree's
// own, unturned: the order's view only says how a picture shows them.
RunResult GrowTreeBranches(BranchSink& sink, const TreeOrder& order, RunMonitor* monitor = nullptr);

} // namespace arbolith
