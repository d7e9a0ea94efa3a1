#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace arbolith {

// The clock second a press of "Generate new tree" draws: the clock's, or one after the latest
// press where that press has taken this second or a later one already (presses come faster than
// seconds), and never the second of the tree shown, so that every press draws a new tree.
std::uint32_t PressedSecond(std::uint32_t clock, std::optional<std::uint32_t> latestPress,
                            std::optional<std::uint32_t> shown);

// The second `step` seconds from `second`, round the 32-bit seconds: the neighbouring trees that
// Previous and Next second step to.
std::uint32_t NeighbourSecond(std::uint32_t second, int step);

// The seconds a strip of neighbouring trees shows beside the one held: `each` before it and
// `each` after it, in order, round the 32-bit seconds ("more like this").
std::vector<std::uint32_t> NeighbourSeconds(std::uint32_t second, int each);

} // namespace arbolith
