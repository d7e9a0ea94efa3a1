#include "tree/BranchCount.h"

#include <algorithm>
#include <limits>

namespace arbolith {

namespace {

constexpr std::uint64_t kSaturated = std::numeric_limits<std::uint64_t>::max();
// A random limb count is drawn modulo 20.
constexpr std::uint64_t kMostRandomLimbs = 19;

std::uint64_t SaturatingAdd(std::uint64_t a, std::uint64_t b) {
    return a > kSaturated - b ? kSaturated : a + b;
}

std::uint64_t SaturatingMultiply(std::uint64_t a, std::uint64_t b) {
    return b != 0 && a > kSaturated / b ? kSaturated : a * b;
}

// The trunk and `generations` generations of limbs, where every fork but those of the last
// generation grows `limbs` limbs with subtrees and the last generation's forks grow `lastLimbs`.
std::uint64_t TreeOf(std::uint64_t limbs, std::uint64_t lastLimbs, std::int64_t generations) {
    std::uint64_t total = 1;
    std::uint64_t forks = 1;
    for (std::int64_t g = 1; g < generations && total != kSaturated; ++g) {
        forks = SaturatingMultiply(forks, limbs);
        total = SaturatingAdd(total, forks);
        if (limbs == 1) {
            // A chain: the rest of the generations add one branch each.
            total = SaturatingAdd(total, static_cast<std::uint64_t>(generations - g - 1));
            break;
        }
    }
    return SaturatingAdd(total, SaturatingMultiply(forks, lastLimbs));
}

} // namespace

BranchCount CountBranches(const TreeParameters& parameters, GrowthPath path) {
    if (parameters.levels < 0 || parameters.limbsDegree < 0) {
        return {1, true};
    }
    const std::int64_t generations = static_cast<std::int64_t>(parameters.levels) + 1;
    const bool exact = parameters.limbsDegree != 0;
    const std::uint64_t limbs =
        exact ? static_cast<std::uint64_t>(parameters.limbsDegree) : kMostRandomLimbs;
    const std::uint64_t branching =
        path == GrowthPath::RepeatsOnce ? std::min<std::uint64_t>(limbs, 2) : limbs;
    return {TreeOf(branching, limbs, generations), exact};
}

} // namespace arbolith
