#include <gtest/gtest.h>

#include <limits>

#include "tree/ExampleTree.h"
#include "ui/StatusSentences.h"

namespace arbolith {
namespace {

constexpr std::uint64_t kMost = std::numeric_limits<std::uint64_t>::max();

// The desktop's status line and the page's say the same of the same run.
TEST(StatusSentencesTest, SaysHowTheRunStands) {
    TreeOrder front{kExampleTree, 5};
    TreeOrder turned = front;
    turned.view = {-30, 15};
    TreeOrder limited = turned;
    limited.branchLimit = 50;
    const BranchCount exact{1048575, true, 20, false};
    const BranchCount atMost{4294967295, false, 31, false};
    const BranchCount bottomless{kMost, true, 2147483647, true};
    const struct {
        const TreeOrder& order;
        BranchCount total;
        std::uint64_t drawn;
        RunState state;
        const char* said;
    } cases[] = {
        {front, exact, 1000, RunState::Drawing,
         "Drawing the tree of second 5: 1,000 of 1,048,575 branches. Esc stops."},
        {turned, atMost, 0, RunState::Drawing,
         "Drawing the tree of second 5, seen from yaw -30°, pitch 15°: 0 of at most "
         "4,294,967,295 branches. Esc stops."},
        {front, exact, 1048575, RunState::Complete,
         "Tree of second 5, 1,048,575 branches. CMD draws it again."},
        {turned, exact, 1048575, RunState::Complete,
         "Tree of second 5, 1,048,575 branches, seen from yaw -30°, pitch 15°: CMD draws it."},
        {front, exact, 1234, RunState::Stopped, "Stopped: 1,234 branches of the tree of second 5."},
        {turned, exact, 1234, RunState::Stopped,
         "Stopped: 1,234 branches of the tree of second 5, seen from yaw -30°, pitch 15°."},
        // A limited tree drawn to its limit is the stopped tree's picture again.
        {limited, exact, 50, RunState::Complete,
         "Stopped: 50 branches of the tree of second 5, seen from yaw -30°, pitch 15°."},
        {front, bottomless, 1048576, RunState::ForkLimit,
         "Stopped at 1,048,576 nested forks, all a run holds: this tree has over 2^2147483647 "
         "branches and could never finish."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StatusSentence(c.order, c.total, c.drawn, c.state, "CMD"), c.said);
    }
}

TEST(StatusSentencesTest, ARunDrawsNoMoreThanItsLimit) {
    TreeOrder order{kExampleTree, 5};
    const std::uint64_t all = CountBranches(order.parameters, order.path, order.second).branches;
    const std::pair<std::uint64_t, std::uint64_t> cases[] = {
        {0, 0}, {all - 1, all - 1}, {all, all}, {all + 1, all}, {kNoBranchLimit, all}};
    for (const auto& [limit, total] : cases) {
        order.branchLimit = limit;
        EXPECT_EQ(BranchTotal(order).branches, total) << limit;
        EXPECT_TRUE(BranchTotal(order).exact);
    }
}

} // namespace
} // namespace arbolith
