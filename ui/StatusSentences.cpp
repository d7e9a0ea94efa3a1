#include "ui/StatusSentences.h"

#include <algorithm>

#include "numbers/DecimalText.h"

namespace arbolith {

BranchCount BranchTotal(const TreeOrder& order) {
    BranchCount total = CountBranches(order.parameters, order.path, order.second);
    total.branches = std::min(total.branches, order.branchLimit);
    return total;
}

std::string SeenFrom(ViewAngles view) {
    return "seen from yaw " + std::to_string(view.yaw) + "°, pitch " + std::to_string(view.pitch) +
           "°";
}

std::string StatusSentence(const TreeOrder& order, const BranchCount& total, std::uint64_t drawn,
                           RunState state, std::string_view command) {
    const std::string second = std::to_string(order.second);
    const bool turned = !order.view.IsFront();
    const std::string seen = turned ? ", " + SeenFrom(order.view) : std::string();
    switch (state) {
    case RunState::Drawing:
        return "Drawing the tree of second " + second + seen + ": " + CountText(drawn) + " of " +
               (total.exact ? "" : "at most ") + CountText(total.branches) +
               " branches. Esc stops.";
    case RunState::Complete:
        if (order.branchLimit != kNoBranchLimit) {
            break;
        }
        return turned ? "Tree of second " + second + ", " + CountText(drawn) + " branches, " +
                            SeenFrom(order.view) + ": " + std::string(command) + " draws it."
                      : "Tree of second " + second + ", " + CountText(drawn) + " branches. " +
                            std::string(command) + " draws it again.";
    case RunState::ForkLimit:
        // Two or more limbs a fork over that many levels: more than 2^levels branches.
        return "Stopped at " + CountText(kMaxUnfinishedForks) +
               " nested forks, all a run holds: this tree has over 2^" +
               std::to_string(total.unfinishedForks) + " branches and could never finish.";
    case RunState::Stopped:
        break;
    }
    return "Stopped: " + CountText(drawn) + " branches of the tree of second " + second + seen +
           ".";
}

} // namespace arbolith
