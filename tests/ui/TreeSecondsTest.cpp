#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <set>
#include <vector>

#include "ui/TreeSeconds.h"

namespace arbolith {
namespace {

TEST(TreeSecondsTest, APressTakesTheClockUnlessAPressOrTheTreeShownHasIt) {
    struct Case {
        const char* name;
        std::uint32_t clock;
        std::optional<std::uint32_t> latestPress;
        std::optional<std::uint32_t> shown;
        std::uint32_t drawn;
    };
    const std::vector<Case> cases{
        {"the first press", 1000, std::nullopt, std::nullopt, 1000},
        {"a press in a later second", 1005, 1000, 1000, 1005},
        {"a second press in the same second", 1000, 1000, 1000, 1001},
        {"a third, still in that second", 1000, 1001, 1001, 1002},
        {"the clock has caught up", 1002, 1001, 1001, 1002},
        {"a tree typed in holds the clock's second", 1000, std::nullopt, 1000, 1001},
        {"presses went on past a typed tree", 1000, 1001, 1002, 1003},
        {"a press ahead of a clock set back", 500, 1000, 1000, 1001},
        {"round the last second", 4294967295u, 4294967295u, std::nullopt, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PressedSecond(c.clock, c.latestPress, c.shown), c.drawn) << c.name;
    }
}

TEST(TreeSecondsTest, TenPressesInOneSecondDrawTenTrees) {
    std::optional<std::uint32_t> latest;
    std::set<std::uint32_t> drawn;
    for (int press = 0; press < 10; ++press) {
        latest = PressedSecond(1700000000, latest, latest);
        drawn.insert(*latest);
    }
    EXPECT_EQ(drawn.size(), 10u);
}

TEST(TreeSecondsTest, NeighboursStepRoundThe32BitSeconds) {
    EXPECT_EQ(NeighbourSecond(1000, 1), 1001u);
    EXPECT_EQ(NeighbourSecond(1000, -1), 999u);
    EXPECT_EQ(NeighbourSecond(0, -1), 4294967295u);
    EXPECT_EQ(NeighbourSecond(4294967295u, 1), 0u);
    EXPECT_EQ(NeighbourSeconds(1000, 2), (std::vector<std::uint32_t>{998, 999, 1001, 1002}));
    EXPECT_EQ(NeighbourSeconds(0, 1), (std::vector<std::uint32_t>{4294967295u, 1}));
}

} // namespace
} // namespace arbolith
