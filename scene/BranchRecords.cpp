#include "scene/BranchRecords.h"

#include <algorithm>
#include <cmath>

namespace arbolith {

RecordMaker::RecordMaker(const TreeParameters& parameters, RecordOutput& output)
    : space_(parameters.referencePoint), radii_(parameters), output_(output) {
    solids_.reserve(kRecordBlock);
    ribbons_.reserve(kRecordBlock);
}

void RecordMaker::Branch(const CVector& base, const CVector& vector, const BranchPlace& place) {
    const LimbRadius radius = radii_.Next(vector, place);
    const ModelPoint b = space_.Point(base);
    const ModelPoint e = space_.Point(base + vector);
    const BranchRecord record{
        {static_cast<float>(b[0]), static_cast<float>(b[1]), static_cast<float>(b[2])},
        static_cast<float>(ModelSpace::Length(radius.base)),
        {static_cast<float>(e[0]), static_cast<float>(e[1]), static_cast<float>(e[2])},
        static_cast<float>(ModelSpace::Length(radius.end))};
    for (const float v : {record.base[0], record.base[1], record.base[2], record.baseRadius,
                          record.end[0], record.end[1], record.end[2], record.endRadius}) {
        if (!std::isfinite(v)) {
            return;
        }
    }
    bounds_.Add({record.base[0], record.base[1], record.base[2]}, record.baseRadius);
    bounds_.Add({record.end[0], record.end[1], record.end[2]}, record.endRadius);
    thickest_ = std::max(thickest_, record.baseRadius);
    (record.baseRadius < kRibbonShare * thickest_ ? ribbons_ : solids_).push_back(record);
    if (solids_.size() + ribbons_.size() == kRecordBlock) {
        Finish();
    }
}

void RecordMaker::Finish() {
    if (!solids_.empty() || !ribbons_.empty()) {
        output_.Records(solids_, ribbons_);
        solids_.clear();
        ribbons_.clear();
    }
}

RecordRun GrowRecords(const TreeOrder& order, RecordOutput& output, RunMonitor* monitor) {
    RecordMaker maker(order.parameters, output);
    const RunResult grown = GrowSolids(order, maker, monitor);
    maker.Finish();
    return {grown, maker.Bounds()};
}

} // namespace arbolith
