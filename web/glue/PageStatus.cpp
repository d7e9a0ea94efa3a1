#include "web/glue/PageStatus.h"

#include "values/KeyTable.h"

namespace arbolith::web {

PageStatus StatusOf(const TreeOrder& order, std::uint64_t drawn, RunState state) {
    const BranchCount total = BranchTotal(order);
    const bool whole = state == RunState::Complete && order.branchLimit == kNoBranchLimit;
    const std::string command = whole ? RenderCommand(order) : std::string();
    return {StatusSentence(order, total, drawn, state, command), command, total.branches};
}

} // namespace arbolith::web
