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
// coincide, except in the last generation, which is where a crown gets its twigs. A tree changes
// a great deal from one second to the next: each second here was picked, among a few hundred,
// for a tree that fills the canvas without leaving it.
inline constexpr std::array kPresets{
    Preset{"example", "the example tree, a plume bowing to the right", kExampleTree, 1000000006},
    Preset{"oak",
           "a broad round crown on a straight trunk",
           {60, 30, 360, 0.84, 4, {280, 665, 0}, {0, -110, 0}, 8},
           1700000144},
    Preset{"elm",
           "a vase of long limbs opening into a wide dome",
           {12, 12, 360, 0.88, 3, {280, 665, 0}, {0, -80, 0}, 12},
           1700000013},
    Preset{"acacia",
           "a flat spreading crown on a tall bare trunk",
           {50, 10, 360, 0.82, 3, {280, 665, 0}, {0, -120, 0}, 8},
           1700000046},
    Preset{"poplar",
           "a tall slim flame, narrow at the foot",
           {6, 6, 360, 0.9, 3, {280, 665, 0}, {0, -75, 0}, 11},
           1700000010},
    Preset{"bush",
           "a dense round mass of short limbs",
           {80, 40, 360, 0.9, 5, {280, 665, 0}, {0, -80, 0}, 8},
           1700000079},
};

inline const Preset* FindPreset(std::string_view name) {
    const auto found = std::find_if(kPresets.begin(), kPresets.end(),
                                    [name](const Preset& preset) { return preset.name == name; });
    return found == kPresets.end() ? nullptr : &*found;
}

} // namespace arbolith
