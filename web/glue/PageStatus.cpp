#include "web/glue/PageStatus.h"

#include <algorithm>

#include "tree/BranchCount.h"
#include "values/KeyTable.h"

namespace arbolith::web {

namespace {

// 1048575 as "1,048,575".
std::string Count(std::uint64_t n) {
    std::string digits = std::to_string(n);
    for (std::size_t at = digits.size(); at > 3; at -= 3) {
        digits.insert(at - 3, ",");
    }
    return digits;
}

std::string ViewText(ViewAngles view) {
    return "seen from yaw " + std::to_string(view.yaw) + "°, pitch " + std::to_string(view.pitch) +
           "°";
}

} // namespace

PageStatus StatusOf(const TreeOrder& order, std::uint64_t drawn, RunState state) {
    const std::string second = std::to_string(order.second);
    const bool turned = !order.view.IsFront();
    const std::string seen = turned ? ", " + ViewText(order.view) : std::string();
    BranchCount total = CountBranches(order.parameters, order.path, order.second);
    total.branches = std::min(total.branches, order.branchLimit);
    switch (state) {
    case RunState::Drawing:
        return {"Drawing the tree of second " + second + seen + ": " + Count(drawn) + " of " +
                    (total.exact ? "" : "at most ") + Count(total.branches) +
                    " branches. Esc stops.",
                {},
                total.branches};
    case RunState::Complete:
        if (order.branchLimit == kNoBranchLimit) {
            const std::string command = RenderCommand(order);
            return {turned ? "Tree of second " + second + ", " + Count(drawn) + " branches, " +
                                 ViewText(order.view) + ": " + command + " draws it."
                           : "Tree of second " + second + ", " + Count(drawn) + " branches. " +
                                 command + " draws it again.",
                    command, total.branches};
        }
        break;
    case RunState::ForkLimit:
        return {"Stopped at " + Count(kMaxUnfinishedForks) +
                    " nested forks, all a run holds: this tree has over 2^" +
                    std::to_string(total.unfinishedForks) + " branches and could never finish.",
                {},
                total.branches};
    case RunState::Stopped:
        break;
    }
    return {"Stopped: " + Count(drawn) + " branches of the tree of second " + second + seen + ".",
            {},
            total.branches};
}

} // namespace arbolith::web
