#include "ui/TreeSeconds.h"

namespace arbolith {

std::uint32_t PressedSecond(std::uint32_t clock, std::optional<std::uint32_t> latestPress,
                            std::optional<std::uint32_t> shown) {
    std::uint32_t second = clock;
    // A press far ahead of the clock is one from before the clock was set back: the presses go on
    // counting from it rather than draw its trees again.
    if (latestPress && *latestPress >= clock) {
        second = *latestPress + 1;
    }
    if (shown && second == *shown) {
        ++second;
    }
    return second;
}

std::uint32_t NeighbourSecond(std::uint32_t second, int step) {
    return second + static_cast<std::uint32_t>(step);
}

std::vector<std::uint32_t> NeighbourSeconds(std::uint32_t second, int each) {
    std::vector<std::uint32_t> seconds;
    for (int step = -each; step <= each; ++step) {
        if (step != 0) {
            seconds.push_back(NeighbourSecond(second, step));
        }
    }
    return seconds;
}

} // namespace arbolith
