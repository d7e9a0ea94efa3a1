#pragma once

#include <cstdint>
#include <vector>

#include "geometry/Vector.h"
#include "tree/TreePainter.h"

namespace arbolith {

// How far along the limbs a branch lies from the trunk's foot, in canvas pixels: at its base and
// at its end.
struct BranchReach {
    double base = 0;
    double end = 0;
};

// The distance along the limbs from the trunk's foot to each branch, fed the branches in drawing
// order as LimbRadii is: a limb starts where its parent ends. It keeps a record of each branch
// that may still get a limb, no more than the growth keeps forks.
class LimbReach {
public:
    BranchReach Next(const CVector& vector, const BranchPlace& place);

private:
    struct Parent {
        std::int64_t level;
        double end;
    };
    std::vector<Parent> parents_;
};

} // namespace arbolith
