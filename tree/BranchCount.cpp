#include "tree/BranchCount.h"

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

// 1 + n + n^2 + ... + n^generations.
std::uint64_t TreeOf(std::uint64_t limbs, std::int64_t generations) {
    if (limbs == 1) {
        return static_cast<std::uint64_t>(generations) + 1;
    }
    std::uint64_t total = 1;
    std::uint64_t generation = 1;
    for (std::int64_t g = 0; g < generations && total != kSaturated; ++g) {
        generation = SaturatingMultiply(generation, limbs);
        total = SaturatingAdd(total, generation);
    }
    return total;
}

} // namespace

BranchCount CountBranches(const TreeParameters& parameters) {
    if (parameters.levels < 0 || parameters.limbsDegree < 0) {
        return {1, true};
    }
    const std::int64_t generations = static_cast<std::int64_t>(parameters.levels) + 1;
    if (parameters.limbsDegree == 0) {
        return {TreeOf(kMostRandomLimbs, generations), false};
    }
    return {TreeOf(static_cast<std::uint64_t>(parameters.limbsDegree), generations), true};
}

} // namespace arbolith
