#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <vector>

#include "mesh/LimbRadii.h"
#include "mesh/LimbReach.h"
#include "mesh/MeshDetail.h"
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

// A corner of the mesh: its place, the unit normal that shades it, its bark texture coordinates
// (u round the limb, there and back, so that a ring needs no seam; v along it, in the same
// units, so that the bark keeps its shape on thick and thin limbs alike) and how far along the
// tree it grows, from 0 at the trunk's foot to 1 at the farthest tip.
struct MeshVertex {
    MeshPoint position;
    MeshPoint normal;
    std::array<float, 2> texture{};
    float growth = 0;
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

// The sides of a limb's solid at full detail.
inline constexpr int kBranchSides = 6;
// The most a branch adds to the mesh: its prism's two rings and the centres of its two caps, its
// sides and its caps (an octahedron adds less, a limb going straight on less still).
inline constexpr std::uint64_t kMostBranchVertices = 2 * kBranchSides + 2;
inline constexpr std::uint64_t kMostBranchTriangles = 4 * kBranchSides;

// How one mesh of a tree is made.
struct MeshPlan {
    MeshDetail detail;
    // A point's growth is its reach along the limbs from the foot, in canvas pixels, times this.
    double growthPerPixel = 0;
    // The most vertices a primitive may hold: the mesh starts a new one, every solid whole in one,
    // before it would hold more.
    std::uint64_t primitiveVertices = std::numeric_limits<std::uint64_t>::max();
};

// Receives the mesh as it is made, piece by piece: the vertices a piece adds, and its triangles,
// whose indices count every vertex handed on before. A piece is a solid, or the part of one that
// a branch adds: a limb's solid goes on into its first limb's and is closed by a later piece.
class MeshOutput {
public:
    virtual ~MeshOutput() = default;
    virtual void Piece(std::span<const MeshVertex> newVertices,
                       std::span<const MeshTriangle> triangles) = 0;
    // No later triangle uses a vertex handed on before: the next piece starts a new primitive.
    virtual void PrimitiveEnds() {}
    // True once writing has failed; the export then stops.
    virtual bool Failed() const { return false; }
};

// Makes every branch a closed solid in model space: a prism of six sides (fewer where the plan's
// detail says) from its base to its end, tapering from the radius at its base to the one at its
// end (LimbRadii's), closed at each end by a flat cap, or an octahedron round its point when it
// has no length. The sides are smooth, each ring vertex's normal pointing away from the axis; the
// caps share the rings' vertices. In drawing order a branch's first limb comes right after it:
// where that limb starts exactly as thick as its parent ends, with as many sides, turning by at
// most 60 degrees, it goes on from the parent's end ring, which then has no cap, its own ring
// carried round from the parent's so that the solid does not twist. An octahedron just like the
// solid before it (a point on a point) is not made again. Branches beyond a float's range are
// counted and left out. A limb the detail drops is not made: the limb before it, if it is its
// parent, reaches on to its end instead.
class TreeMesher final : public BranchSink {
public:
    TreeMesher(const TreeParameters& parameters, const MeshPlan& plan, MeshOutput& output);
    void Branch(const CVector& base, const CVector& vector, const BranchPlace& place) override;
    // Makes the last solid and closes it; the growth has ended.
    void Finish();
    const MeshCounts& Counts() const { return counts_; }

    static constexpr int kMostSides = kBranchSides;

private:
    using Direction = std::array<double, 3>;
    using Ring = std::array<MeshPoint, kMostSides>;
    // A ring's directions: (u, w, axis) right-handed, the first corner along u.
    struct Frame {
        Direction u, w, axis;
    };
    // A branch not made yet: a dropped limb right after it may still lengthen it.
    struct Limb {
        CVector base;
        CVector end;
        std::int64_t level;
        std::int64_t tipLevel;    // of the last limb it reaches to
        std::uint64_t arrival;    // its own place in the growth
        std::uint64_t tipArrival; // of the last limb it reaches to
        LimbRadius radius;
        double baseReach;
        double endReach;
        int sides;
    };
    // The end of the last prism, still open: the next branch may go on from it.
    struct OpenEnd {
        std::uint64_t arrival;
        std::int64_t level;
        bool lengthened;
        int sides;
        double radius;
        std::uint64_t first; // the ring's first vertex
        Frame frame;
        float texture; // the ring's v
    };

    // An octahedron's corners.
    using Point = std::array<MeshVertex, 6>;

    void MakeWaiting();
    // False if the limb lies beyond a float's range.
    bool MakeSolid(const Limb& limb);
    bool Octahedron(const ModelPoint& centre, double radius, float growth);
    // Closes the ring whose vertices start at `first` with a fan of its own vertices.
    void Cap(std::uint64_t first, int sides, bool top);
    void CloseOpenEnd();
    // Starts a new primitive unless it has room for `vertices` more.
    bool MakeRoom(std::uint64_t vertices);
    std::uint64_t Add(const MeshVertex& vertex);
    void Add(const MeshTriangle& triangle) { triangles_[triangleCount_++] = triangle; }
    void Emit();

    ModelSpace space_;
    LimbRadii radii_;
    LimbReach reach_;
    MeshPlan plan_;
    MeshOutput& output_;
    MeshCounts counts_;
    std::uint64_t arrivals_ = 0;
    std::optional<Limb> waiting_;
    bool open_ = false;
    OpenEnd openEnd_{};
    // The last solid made, if it was an octahedron.
    std::optional<Point> lastPoint_;
    // Vertices in the primitive being made, before the piece being made.
    std::uint64_t primitiveVertices_ = 0;
    // The piece being made: the cap of an end left open before, and one solid.
    std::array<MeshVertex, 2 * kMostSides> vertices_{};
    std::array<MeshTriangle, 2 * (kMostSides - 2) + 2 * kMostSides> triangles_{};
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

// Stops a growth once the output has failed, and shows the outer monitor the progress of all
// passes together.
class PassMonitor final : public RunMonitor {
public:
    PassMonitor(RunMonitor* outer, PassShare share, const MeshOutput* output = nullptr)
        : outer_(outer), output_(output), share_(share) {}
    bool KeepGoing(std::uint64_t polygonsDrawn) override;
    bool Stopped() const { return stopped_; }

private:
    RunMonitor* outer_;
    const MeshOutput* output_;
    PassShare share_;
    bool stopped_ = false;
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
MeshRun MeshTree(const TreeOrder& order, const MeshPlan& plan, MeshOutput& output,
                 RunMonitor* monitor, PassShare share = {});

// Grows the order's tree once, as the mesh takes it (GrowSolids), and surveys it: the counts
// and the longest reach, and with `forDetails` what levels of detail are planned by.
struct SurveyRun {
    TreeSurvey survey;
    std::uint64_t branchesGrown = 0;
    bool stopped = false;
};
SurveyRun SurveyTree(const TreeOrder& order, bool forDetails, RunMonitor* monitor,
                     PassShare share = {});

// The plans of a tree's meshes: `levels` levels of detail (MeshDetail), or the one full mesh
// for 0, each with the growth the survey measured.
std::vector<MeshPlan> PlanMeshes(const TreeSurvey& survey, int levels,
                                 std::uint64_t primitiveVertices);

// The brown of the picture's branches in linear RGB, as 3-D formats take their colours.
std::array<double, 3> LinearBranchColour();

} // namespace arbolith
