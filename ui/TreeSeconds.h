#pragma once

#include <cstdint>
#include <optional>

namespace arbolith {

// The clock second a press of "Generate new tree" draws: the clock's, or one after the latest
// press where that press has taken this second or a later one already (presses come faster than
// seconds), and never the second of the tree shown, so that every press draws a new tree.
std::uint32_t PressedSecond(std::uint32_t clock, std::optional<std::uint32_t> latestPress,
                            std::optional<std::uint32_t> shown);

// The second `step` seconds from `second`, round the 32-bit seconds: the neighbouring trees that
// Previous and Next second step to.
std::uint32_t NeighbourSecond(std::uint32_t second, int step);

} // namespace arbolith
