#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "mesh/Mesher.h"
#include "scene/OrbitCamera.h"

namespace arbolith {

// What the GPU gets of one branch: its two ends in model space and its limb's radius at each, 32
// bytes; the vertex shader builds the limb's solid from it, as the mesh has it.
struct BranchRecord {
    float base[3];
    float baseRadius;
    float end[3];
    float endRadius;
};
static_assert(sizeof(BranchRecord) == 32);

// A limb thinner at its base than this share of the thickest, the trunk, is drawn as a ribbon
// that faces the camera, two triangles rather than the prism's 24: in a large tree nearly every
// branch is such a twig, a pixel or two wide, and software renderers spend their time on
// triangles.
inline constexpr double kRibbonShare = 0.125;

// Takes the records in blocks as the tree grows: the limbs drawn as solids, and the twigs drawn
// as ribbons, each in drawing order.
class RecordOutput {
public:
    virtual ~RecordOutput() = default;
    virtual void Records(std::span<const BranchRecord> solids,
                         std::span<const BranchRecord> ribbons) = 0;
};

// Makes a record of every branch handed on, with the mesh's model space and radii, and hands them
// on in blocks of at most kRecordBlock records, the last when Finish is called. A branch beyond a
// float's range is left out, as the mesh leaves it out.
class RecordMaker final : public BranchSink {
public:
    static constexpr std::size_t kRecordBlock = 4096;

    RecordMaker(const TreeParameters& parameters, RecordOutput& output);
    void Branch(const CVector& base, const CVector& vector, const BranchPlace& place) override;
    void Finish();
    // Every solid's reach, its radius round each end.
    const ModelBox& Bounds() const { return bounds_; }

private:
    ModelSpace space_;
    LimbRadii radii_;
    RecordOutput& output_;
    std::vector<BranchRecord> solids_;
    std::vector<BranchRecord> ribbons_;
    float thickest_ = 0;
    ModelBox bounds_;
};

// Grows the order's tree into records, the solids the mesh makes (GrowSolids); gives the box that
// holds them.
struct RecordRun {
    RunResult grown;
    ModelBox bounds;
};
RecordRun GrowRecords(const TreeOrder& order, RecordOutput& output, RunMonitor* monitor);

} // namespace arbolith
