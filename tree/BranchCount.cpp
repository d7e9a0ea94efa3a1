#include "tree/BranchCount.h"

#include <algorithm>
#include <limits>

#include "tree/Random.h"

namespace arbolith {

namespace {

constexpr std::uint64_t kSaturated = std::numeric_limits<std::uint64_t>::max();
constexpr std::uint64_t kMostRandomLimbs = kRandomLimbModulus - 1;

// a + b, or the largest value with `beyond` set when the sum is past it.
std::uint64_t SaturatingAdd(std::uint64_t a, std::uint64_t b, bool& beyond) {
    if (a > kSaturated - b) {
        beyond = true;
        return kSaturated;
    }
    return a + b;
}

std::uint64_t SaturatingMultiply(std::uint64_t a, std::uint64_t b, bool& beyond) {
    if (b != 0 && a > kSaturated / b) {
        beyond = true;
        return kSaturated;
    }
    return a * b;
}

// The trunk and `generations` generations of limbs, where every fork but those of the last
// generation grows `limbs` limbs with subtrees and the last generation's forks grow `lastLimbs`;
// `beyond` is set when that is more than 64 bits count.
std::uint64_t TreeOf(std::uint64_t limbs, std::uint64_t lastLimbs, std::int64_t generations,
                     bool& beyond) {
    std::uint64_t total = 1;
    std::uint64_t forks = 1;
    for (std::int64_t g = 1; g < generations && !beyond; ++g) {
        forks = SaturatingMultiply(forks, limbs, beyond);
        total = SaturatingAdd(total, forks, beyond);
        if (limbs == 1) {
            // A chain: the rest of the generations add one branch each.
            total = SaturatingAdd(total, static_cast<std::uint64_t>(generations - g - 1), beyond);
            break;
        }
    }
    return SaturatingAdd(total, SaturatingMultiply(forks, lastLimbs, beyond), beyond);
}

} // namespace

BranchCount CountBranches(const TreeParameters& parameters, GrowthPath path,
                          std::optional<std::uint32_t> second) {
    if (parameters.levels < 0 || parameters.limbsDegree < 0) {
        return {1, true, 0};
    }
    std::uint64_t limbs = kMostRandomLimbs;
    bool exact = true;
    if (parameters.limbsDegree != 0) {
        limbs = static_cast<std::uint64_t>(parameters.limbsDegree);
    } else if (second) {
        // The first draw after a fork seeds the generator with the second.
        std::uint32_t state = *second;
        limbs = static_cast<std::uint64_t>(NextDraw(state) % kRandomLimbModulus);
        if (limbs == 0) {
            return {1, true, 0};
        }
    } else {
        exact = false;
    }
    const std::int64_t generations = static_cast<std::int64_t>(parameters.levels) + 1;
    const std::uint64_t branching =
        path == GrowthPath::RepeatsOnce ? std::min<std::uint64_t>(limbs, 2) : limbs;
    // A fork with a limb after the first stays unfinished while the first grows its subtree, so
    // every generation holds one; a chain's fork is done once its only limb is drawn.
    const std::uint64_t unfinished = limbs == 1 ? 1 : static_cast<std::uint64_t>(generations);
    bool beyond = false;
    const std::uint64_t branches = TreeOf(branching, limbs, generations, beyond);
    return {branches, exact, unfinished, beyond};
}

} // namespace arbolith
