#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "render/WriteResult.h"
#include "tree/BranchSink.h"
#include "tree/TreeOrder.h"
#include "tree/TreeParameters.h"

namespace arbolith {

// The space of an exported model: metres, one canvas pixel being one centimetre; +Y up, +X to
// the right, +Z toward the viewer (glTF's axes), with the trunk's foot at the origin. It is the
// canvas's space turned half a turn about the x axis, not mirrored: seen from the front, the
// model looks like the picture.
inline constexpr double kMetresPerPixel = 0.01;

using ModelPoint = std::array<double, 3>;
using MeshVertex = std::array<float, 3>;

struct MeshTriangle {
    // Counter-clockwise seen from outside the solid.
    std::uint64_t a, b, c;
};

class ModelSpace {
public:
    explicit ModelSpace(const IntTriple& foot) : foot_(foot) {}
    ModelPoint Point(const CVector& canvasPoint) const {
        return {(canvasPoint.x - foot_.x) * kMetresPerPixel,
                (foot_.y - canvasPoint.y) * kMetresPerPixel,
                (foot_.z - canvasPoint.z) * kMetresPerPixel};
    }
    // The radius of a branch where it has depth z: the width the picture gives it there, the
    // polygon's 2|half-width| pixels and its one-pixel outline, so never zero.
    static double Radius(double z);

private:
    IntTriple foot_;
};

// The sides of the prism that each branch becomes.
inline constexpr int kBranchSides = 6;

// Receives the mesh as it is made, solid by solid: the vertices the solid adds, and its
// triangles, whose indices count every vertex handed on before.
class MeshOutput {
public:
    virtual ~MeshOutput() = default;
    virtual void Solid(std::span<const MeshVertex> newVertices,
                       std::span<const MeshTriangle> triangles) = 0;
    // True once writing has failed; the export then stops.
    virtual bool Failed() const { return false; }
};

// Makes every branch a closed solid in model space: a six-sided prism from its base to its end,
// tapering from the radius at its base to the one at its end, or an octahedron round its point
// when it has no length. Where a limb goes on straight from its parent, so that its first ring
// is exactly the parent's last, the two share those vertices. Branches beyond a float's range
// are counted and left out.
class TreeMesher final : public BranchSink {
public:
    TreeMesher(const TreeParameters& parameters, MeshOutput& output);
    void Branch(const CVector& base, const CVector& vector, const BranchPlace& place) override;
    const MeshCounts& Counts() const { return counts_; }

private:
    using Ring = std::array<MeshVertex, kBranchSides>;
    // The last ring of a branch on the path from the trunk to the branch last made.
    struct RingEnd {
        CVector end;
        Ring ring;
        std::uint64_t first;
    };

    void Prism(const CVector& base, const CVector& end, const Ring& bottom, const Ring& top);
    void Octahedron(const ModelPoint& centre, double radius);
    void Add(const MeshVertex& vertex) { vertices_[vertexCount_++] = vertex; }
    void Add(const MeshTriangle& triangle) { triangles_[triangleCount_++] = triangle; }
    void Emit();

    ModelSpace space_;
    MeshOutput& output_;
    MeshCounts counts_;
    std::vector<RingEnd> path_;
    // The solid being made: at most two rings, and a prism's triangles.
    std::array<MeshVertex, 2 * kBranchSides> vertices_{};
    std::array<MeshTriangle, 4 * kBranchSides - 4> triangles_{};
    std::size_t vertexCount_ = 0;
    std::size_t triangleCount_ = 0;
};

// A format that needs the whole mesh measured before it writes grows the tree more than once;
// the monitor then sees the progress of all passes together.
struct PassShare {
    int pass = 0;
    int passes = 1;
    std::uint64_t branchesPerPass = 0; // known from the first pass on
};

// How one growth of the mesh ended.
struct MeshRun {
    MeshCounts counts;
    std::uint64_t branchesGrown = 0; // what the growth drew, repeats and all
    bool stopped = false;            // by the monitor
};

// Grows the order's tree and hands its solids to `output`. For a tree of one fixed second, a limb
// exactly like its previous sibling is left out with its subtree, which is exactly like the
// sibling's: the mesh then holds each coinciding solid once, on either growth path.
MeshRun MeshTree(const TreeOrder& order, MeshOutput& output, RunMonitor* monitor,
                 PassShare share = {});

// The brown of the picture's branches in linear RGB, as 3-D formats take their colours.
std::array<double, 3> LinearBranchColour();

} // namespace arbolith
