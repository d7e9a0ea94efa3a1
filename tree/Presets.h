#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

#include "tree/ExampleTree.h"
#include "tree/TreeParameters.h"

namespace arbolith {

// A named tree that looks good on the 560 x 670 canvas. A tree changes with its second, so each
// preset holds the second it was chosen at.
struct Preset {
    std::string_view name;
    std::string_view description;
    TreeParameters parameters;
    std::uint32_t second;
};

// Turns are drawn from 0 up to each bound, always the same way round, so a crown leans unless a
// full turn in XZ spins each limb round the vertical; within one second limbs 2 to n of a fork
// coincide, except in the last generation, which is where a fan gets its blades.
inline constexpr std::array kPresets{
    Preset{"example", "the example tree, a plume bowing to the right", kExampleTree, 1000000006},
    Preset{"bush",
           "low and dense, many limbs from a short stem",
           {60, 40, 360, 1.0, 5, {280, 660, 0}, {0, -40, 0}, 6},
           1700000003},
    Preset{"willow",
           "a tall stem arching over into a weeping crown",
           {28, 10, 10, 0.78, 3, {120, 660, 0}, {25, -150, 0}, 9},
           1700000013},
    Preset{"poplar",
           "a young tree, narrow and upright",
           {20, 0, 360, 0.8, 2, {280, 660, 0}, {0, -110, 0}, 11},
           1700000011},
    Preset{"oak",
           "a broad rounded crown on a straight trunk",
           {40, 40, 360, 0.78, 3, {280, 660, 0}, {0, -140, 0}, 8},
           1700000008},
    Preset{"fan",
           "two fans of nineteen blades, flat in the picture's plane",
           {150, 0, 0, 1.1, 19, {320, 620, 0}, {-100, -60, 0}, 1},
           1700000001},
};

inline const Preset* FindPreset(std::string_view name) {
    const auto found = std::find_if(kPresets.begin(), kPresets.end(),
                                    [name](const Preset& preset) { return preset.name == name; });
    return found == kPresets.end() ? nullptr : &*found;
}

} // namespace arbolith
