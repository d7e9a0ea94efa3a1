#include "mesh/LimbReach.h"

#include <cmath>

namespace arbolith {

BranchReach LimbReach::Next(const CVector& vector, const BranchPlace& place) {
    // Depth first, the branches above this one's level are done with.
    while (!parents_.empty() && parents_.back().level >= place.level) {
        parents_.pop_back();
    }
    double base = 0;
    if (!parents_.empty() && parents_.back().level == place.level - 1) {
        base = parents_.back().end;
        // The last limb of a fork: the parent gets no other.
        if (place.lastOfFork) {
            parents_.pop_back();
        }
    }
    const double end =
        base + std::sqrt(vector.x * vector.x + vector.y * vector.y + vector.z * vector.z);
    parents_.push_back({place.level, end});
    return {base, end};
}

} // namespace arbolith
