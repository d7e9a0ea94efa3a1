#include "mesh/LimbRadii.h"

#include <algorithm>
#include <cmath>

namespace arbolith {

LimbRadii::LimbRadii(const TreeParameters& parameters)
    : factor_(std::fabs(parameters.scaleFactor)),
      taper_(factor_ == 0 ? kRandomFactorTaper : std::min(factor_, kMostTaper)) {}

LimbRadius LimbRadii::Next(const CVector& vector, const BranchPlace& place) {
    const double length =
        std::sqrt(vector.x * vector.x + vector.y * vector.y + vector.z * vector.z);
    // Depth first, the branches above this one's level are done with.
    while (!parents_.empty() && parents_.back().level >= place.level) {
        parents_.pop_back();
    }
    double base = kTrunkRadiusPerLength * length;
    if (!parents_.empty() && parents_.back().level == place.level - 1) {
        const Parent& parent = parents_.back();
        // The limb's share of its parent's length against the share the taper stands for: a
        // share as large or larger starts exactly where the parent ends.
        const double factor = factor_ != 0 ? factor_ : length / parent.length;
        base =
            factor >= taper_ || !(parent.length > 0) ? parent.end : parent.end * (factor / taper_);
        // The last limb of a fork: the parent gets no other.
        if (place.lastOfFork) {
            parents_.pop_back();
        }
    }
    const double end = base * taper_;
    parents_.push_back({place.level, length, end});
    return {std::max(base, kThinnestRadius), std::max(end, kThinnestRadius)};
}

} // namespace arbolith
