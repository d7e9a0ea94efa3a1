#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "mesh/LimbRadii.h"
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
using MeshPoint = std::array<float, 3>;

// A corner of the mesh and the unit normal that shades it; 24 bytes, as a .glb stores it.
struct MeshVertex {
    MeshPoint position;
    MeshPoint normal;
    bool operator==(const MeshVertex&) const = default;
};

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
    static double Length(double pixels) { return pixels * kMetresPerPixel; }

private:
    IntTriple foot_;
};

// The sides of the prism that each branch becomes.
inline constexpr int kBranchSides = 6;
// The most a branch adds to the mesh: its prism's two rings and the centres of its two caps, its
// sides and its caps (an octahedron adds less, a limb going straight on less still).
inline constexpr std::uint64_t kMostBranchVertices = 2 * kBranchSides + 2;
inline constexpr std::uint64_t kMostBranchTriangles = 4 * kBranchSides;

// Receives the mesh as it is made, piece by piece: the vertices a piece adds, and its triangles,
// whose indices count every vertex handed on before. A piece is a solid, or the part of one that
// a branch adds: a straight chain's solid grows with each limb and is closed by a later piece.
class MeshOutput {
public:
    virtual ~MeshOutput() = default;
    virtual void Piece(std::span<const MeshVertex> newVertices,
                       std::span<const MeshTriangle> triangles) = 0;
    // True once writing has failed; the export then stops.
    virtual bool Failed() const { return false; }
};

// Makes every branch a closed solid in model space: a six-sided prism from its base to its end,
// tapering from the radius at its base to the one at its end (LimbRadii's), closed at each end by a
// cap, or an octahedron round its point when it has no length. The sides are smooth, each ring
// vertex's normal pointing away from the axis; a cap is a fan round a centre vertex whose normal
// points along the axis; the octahedron's normals point away from its centre. In drawing order a
// branch's first limb comes right after it: where that limb goes on straight, so that its first
// ring is exactly the branch's last, the two share the ring and neither closes it, so the last
// prism's top cap waits for the next branch. An octahedron just like the solid before it (a
// point on a point) is not made again. Branches beyond a float's range are counted and left
// out.
class TreeMesher final : public BranchSink {
public:
    TreeMesher(const TreeParameters& parameters, MeshOutput& output);
    void Branch(const CVector& base, const CVector& vector, const BranchPlace& place) override;
    // Closes the last solid; the growth has ended.
    void Finish();
    const MeshCounts& Counts() const { return counts_; }

private:
    using Ring = std::array<MeshPoint, kBranchSides>;
    // The end of the last prism, still open: the next branch may go on from it.
    struct OpenEnd {
        std::int64_t level;
        Ring ring;
        std::uint64_t first; // the ring's first vertex
        MeshPoint centre;
        MeshPoint axis;
    };

    // An octahedron's corners.
    using Point = std::array<MeshVertex, 6>;

    // False if the branch lies beyond a float's range.
    bool MakeSolid(const CVector& base, const CVector& vector, const BranchPlace& place,
                   const LimbRadius& radius);
    void Prism(const BranchPlace& place, const MeshPoint& axis, const Ring& bottom, const Ring& top,
               const Ring& normals, const MeshPoint& baseCentre, const MeshPoint& endCentre);
    bool Octahedron(const ModelPoint& centre, double radius);
    // Closes the ring whose vertices start at `first` with a fan round a vertex of its own at
    // `centre`, whose normal faces along `outward`: the rim shades as the sides do, so the cap
    // looks rounded, and every edge of the solid joins two of its triangles.
    void Cap(std::uint64_t first, const MeshPoint& centre, const MeshPoint& outward, bool top);
    void CloseOpenEnd();
    std::uint64_t Add(const MeshVertex& vertex);
    void Add(const MeshTriangle& triangle) { triangles_[triangleCount_++] = triangle; }
    void Emit();

    ModelSpace space_;
    LimbRadii radii_;
    MeshOutput& output_;
    MeshCounts counts_;
    bool open_ = false;
    OpenEnd openEnd_{};
    // The last solid made, if it was an octahedron.
    std::optional<Point> lastPoint_;
    // The piece being made: the cap of an end left open before, and one solid.
    std::array<MeshVertex, 2 * kBranchSides + 2> vertices_{};
    std::array<MeshTriangle, 4 * kBranchSides> triangles_{};
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

// Grows the order's tree and hands `sink` the branches that 3-D shows: for a tree of one fixed
// second, a limb exactly like its previous sibling is left out with its subtree, which is exactly
// like the sibling's, so that each coinciding solid is made once, on either growth path.
RunResult GrowSolids(const TreeOrder& order, BranchSink& sink, RunMonitor* monitor);

// Grows the order's tree and hands its solids to `output` (GrowSolids).
MeshRun MeshTree(const TreeOrder& order, MeshOutput& output, RunMonitor* monitor,
                 PassShare share = {});

// The brown of the picture's branches in linear RGB, as 3-D formats take their colours.
std::array<double, 3> LinearBranchColour();

} // namespace arbolith
