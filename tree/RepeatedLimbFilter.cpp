#include "tree/RepeatedLimbFilter.h"

namespace arbolith {

namespace {

bool Same(const double (&a)[3], const CVector& b) {
    return a[0] == b.x && a[1] == b.y && a[2] == b.z;
}

} // namespace

void RepeatedLimbFilter::Branch(const CVector& base, const CVector& vector,
                                const BranchPlace& place) {
    const std::uint64_t arrival = arrivals_++;
    if (arrival < skipUntil_) {
        return;
    }
    // Depth first, the siblings of deeper limbs are done once a limb of this level comes.
    while (!siblings_.empty() && siblings_.back().level > place.level) {
        siblings_.pop_back();
    }
    if (!siblings_.empty() && siblings_.back().level == place.level) {
        Sibling& previous = siblings_.back();
        if (Same(previous.base, base) && Same(previous.vector, vector)) {
            // Its subtree is as long as the previous sibling's, which came in between.
            skipUntil_ = arrival + (arrival - previous.arrival);
            previous.arrival = arrival;
            if (place.lastOfFork) {
                siblings_.pop_back();
            }
            return;
        }
        siblings_.pop_back();
    }
    if (!place.lastOfFork) {
        siblings_.push_back(
            {place.level, {base.x, base.y, base.z}, {vector.x, vector.y, vector.z}, arrival});
    }
    next_.Branch(base, vector, place);
}

} // namespace arbolith
