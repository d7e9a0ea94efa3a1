#include "mesh/Mesher.h"

#include <algorithm>
#include <cmath>

#include "tree/RepeatedLimbFilter.h"

namespace arbolith {

namespace {

using Direction = std::array<double, 3>;

// Cosine and sine of the ring's corners, a sixth of a turn apart.
constexpr double kHalfRoot3 = 0.86602540378443864676;
constexpr std::array<std::array<double, 2>, kBranchSides> kCorners{{{1.0, 0.0},
                                                                    {0.5, kHalfRoot3},
                                                                    {-0.5, kHalfRoot3},
                                                                    {-1.0, 0.0},
                                                                    {-0.5, -kHalfRoot3},
                                                                    {0.5, -kHalfRoot3}}};

double Dot(const Direction& a, const Direction& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

Direction Cross(const Direction& a, const Direction& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

bool Finite(const MeshPoint& p) {
    return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]);
}

MeshPoint ToFloat(const Direction& p) {
    return {static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2])};
}

MeshPoint Negated(const MeshPoint& p) {
    return {-p[0], -p[1], -p[2]};
}

// Two directions square to the axis and to each other, (u, w, axis) right-handed, chosen from
// the axis alone so that a limb going on straight gets its parent's ring.
void RingFrame(const Direction& axis, Direction& u, Direction& w) {
    const Direction helper = std::fabs(axis[0]) < 0.9 ? Direction{1, 0, 0} : Direction{0, 1, 0};
    const double along = Dot(helper, axis);
    u = {helper[0] - along * axis[0], helper[1] - along * axis[1], helper[2] - along * axis[2]};
    const double length = std::sqrt(Dot(u, u));
    u = {u[0] / length, u[1] / length, u[2] / length};
    w = Cross(axis, u);
}

// The ring's corners round `centre`; false unless every one is within a float's range.
bool MakeRing(const ModelPoint& centre, double radius, const Direction& u, const Direction& w,
              std::array<MeshPoint, kBranchSides>& ring) {
    bool finite = true;
    for (int k = 0; k < kBranchSides; ++k) {
        const double a = radius * kCorners[k][0];
        const double b = radius * kCorners[k][1];
        ring[k] = ToFloat({centre[0] + a * u[0] + b * w[0], centre[1] + a * u[1] + b * w[1],
                           centre[2] + a * u[2] + b * w[2]});
        finite = finite && Finite(ring[k]);
    }
    return finite;
}

// Stops the growth once the output has failed, and shows the outer monitor the progress of all
// passes together.
class PassMonitor final : public RunMonitor {
public:
    PassMonitor(RunMonitor* outer, const MeshOutput& output, PassShare share)
        : outer_(outer), output_(output), share_(share) {}

    bool KeepGoing(std::uint64_t polygonsDrawn) override {
        if (output_.Failed()) {
            return false;
        }
        const std::uint64_t passes = static_cast<std::uint64_t>(share_.passes);
        const std::uint64_t done =
            static_cast<std::uint64_t>(share_.pass) * share_.branchesPerPass + polygonsDrawn;
        if (outer_ != nullptr && !outer_->KeepGoing(done / passes)) {
            stopped_ = true;
            return false;
        }
        return true;
    }
    bool Stopped() const { return stopped_; }

private:
    RunMonitor* outer_;
    const MeshOutput& output_;
    PassShare share_;
    bool stopped_ = false;
};

} // namespace

TreeMesher::TreeMesher(const TreeParameters& parameters, MeshOutput& output)
    : space_(parameters.referencePoint), radii_(parameters), output_(output) {}

void TreeMesher::Branch(const CVector& base, const CVector& vector, const BranchPlace& place) {
    vertexCount_ = 0;
    triangleCount_ = 0;
    if (!MakeSolid(base, vector, place, radii_.Next(vector, place))) {
        ++counts_.leftOut;
        CloseOpenEnd();
    }
    Emit();
}

void TreeMesher::Finish() {
    vertexCount_ = 0;
    triangleCount_ = 0;
    CloseOpenEnd();
    Emit();
}

bool TreeMesher::MakeSolid(const CVector& base, const CVector& vector, const BranchPlace& place,
                           const LimbRadius& radius) {
    // The end exactly as the painter computes it.
    const CVector end = base + vector;
    const ModelPoint b = space_.Point(base);
    const ModelPoint e = space_.Point(end);
    const MeshPoint baseCentre = ToFloat(b);
    const MeshPoint endCentre = ToFloat(e);
    if (!Finite(baseCentre) || !Finite(endCentre)) {
        return false;
    }
    // A branch shorter than a float tells apart is a point in the file's numbers.
    if (baseCentre == endCentre) {
        CloseOpenEnd();
        return Octahedron(b, ModelSpace::Length(radius.base));
    }
    const Direction axis{e[0] - b[0], e[1] - b[1], e[2] - b[2]};
    const double length = std::sqrt(Dot(axis, axis));
    const Direction along{axis[0] / length, axis[1] / length, axis[2] / length};
    Direction u;
    Direction w;
    RingFrame(along, u, w);
    Ring bottom;
    Ring top;
    if (!MakeRing(b, ModelSpace::Length(radius.base), u, w, bottom) ||
        !MakeRing(e, ModelSpace::Length(radius.end), u, w, top)) {
        return false;
    }
    Ring normals;
    for (int k = 0; k < kBranchSides; ++k) {
        normals[k] = ToFloat({kCorners[k][0] * u[0] + kCorners[k][1] * w[0],
                              kCorners[k][0] * u[1] + kCorners[k][1] * w[1],
                              kCorners[k][0] * u[2] + kCorners[k][1] * w[2]});
    }
    Prism(place, ToFloat(along), bottom, top, normals, baseCentre, endCentre);
    return true;
}

void TreeMesher::Prism(const BranchPlace& place, const MeshPoint& axis, const Ring& bottom,
                       const Ring& top, const Ring& normals, const MeshPoint& baseCentre,
                       const MeshPoint& endCentre) {
    // In drawing order a branch's first limb comes right after it: only that one may go on from
    // its open end, and only if it starts on exactly that ring.
    const bool goesOn = open_ && place.level == openEnd_.level + 1 && bottom == openEnd_.ring;
    std::uint64_t first = 0;
    if (goesOn) {
        first = openEnd_.first;
        open_ = false;
    } else {
        CloseOpenEnd();
        first = counts_.vertices + vertexCount_;
        for (int k = 0; k < kBranchSides; ++k) {
            Add(MeshVertex{bottom[k], normals[k]});
        }
        Cap(first, baseCentre, Negated(axis), false);
    }
    const std::uint64_t firstTop = counts_.vertices + vertexCount_;
    for (int k = 0; k < kBranchSides; ++k) {
        Add(MeshVertex{top[k], normals[k]});
    }
    constexpr std::uint64_t n = kBranchSides;
    for (std::uint64_t k = 0; k < n; ++k) {
        const std::uint64_t next = (k + 1) % n;
        Add(MeshTriangle{first + k, first + next, firstTop + next});
        Add(MeshTriangle{first + k, firstTop + next, firstTop + k});
    }
    open_ = true;
    openEnd_ = {place.level, top, firstTop, endCentre, axis};
    lastPoint_.reset();
    ++counts_.branches;
}

void TreeMesher::Cap(std::uint64_t first, const MeshPoint& centre, const MeshPoint& outward,
                     bool top) {
    const std::uint64_t c = Add(MeshVertex{centre, outward});
    for (std::uint64_t k = 0; k < kBranchSides; ++k) {
        const std::uint64_t next = (k + 1) % kBranchSides;
        Add(top ? MeshTriangle{c, first + k, first + next}
                : MeshTriangle{c, first + next, first + k});
    }
}

void TreeMesher::CloseOpenEnd() {
    if (open_) {
        Cap(openEnd_.first, openEnd_.centre, openEnd_.axis, true);
        open_ = false;
    }
}

bool TreeMesher::Octahedron(const ModelPoint& centre, double radius) {
    // +x, -x, +y, -y, +z, -z
    Point corners;
    for (int axis = 0; axis < 3; ++axis) {
        for (const int sign : {1, -1}) {
            ModelPoint corner = centre;
            corner[axis] += sign * radius;
            MeshPoint normal{0, 0, 0};
            normal[axis] = static_cast<float>(sign);
            corners[2 * axis + (1 - sign) / 2] = {ToFloat(corner), normal};
        }
    }
    if (!std::all_of(corners.begin(), corners.end(),
                     [](const MeshVertex& v) { return Finite(v.position); })) {
        return false;
    }
    if (lastPoint_ == corners) {
        return true;
    }
    const std::uint64_t first = counts_.vertices + vertexCount_;
    for (const MeshVertex& corner : corners) {
        Add(corner);
    }
    for (int octant = 0; octant < 8; ++octant) {
        const std::uint64_t x = first + ((octant & 1) != 0 ? 1 : 0);
        const std::uint64_t y = first + 2 + ((octant & 2) != 0 ? 1 : 0);
        const std::uint64_t z = first + 4 + ((octant & 4) != 0 ? 1 : 0);
        // An odd number of negative axes turns the face round.
        const bool flipped = (((octant & 1) + ((octant >> 1) & 1) + ((octant >> 2) & 1)) & 1) != 0;
        Add(flipped ? MeshTriangle{x, z, y} : MeshTriangle{x, y, z});
    }
    lastPoint_ = corners;
    ++counts_.branches;
    return true;
}

std::uint64_t TreeMesher::Add(const MeshVertex& vertex) {
    vertices_[vertexCount_++] = vertex;
    return counts_.vertices + vertexCount_ - 1;
}

void TreeMesher::Emit() {
    if (vertexCount_ == 0 && triangleCount_ == 0) {
        return;
    }
    output_.Piece(std::span(vertices_.data(), vertexCount_),
                  std::span(triangles_.data(), triangleCount_));
    counts_.vertices += vertexCount_;
    counts_.triangles += triangleCount_;
}

RunResult GrowSolids(const TreeOrder& order, BranchSink& sink, RunMonitor* monitor) {
    // A clock read at every fork may change its second between two limbs: nothing repeats then.
    if (order.clock) {
        return GrowTreeBranches(sink, order, monitor);
    }
    RepeatedLimbFilter filter(sink);
    return GrowTreeBranches(filter, order, monitor);
}

MeshRun MeshTree(const TreeOrder& order, MeshOutput& output, RunMonitor* monitor, PassShare share) {
    TreeMesher mesher(order.parameters, output);
    PassMonitor passMonitor(monitor, output, share);
    const RunResult grown = GrowSolids(order, mesher, &passMonitor);
    mesher.Finish();
    return {mesher.Counts(), grown.polygons, passMonitor.Stopped()};
}

std::array<double, 3> LinearBranchColour() {
    const auto linear = [](std::uint8_t value) {
        const double c = value / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return {linear(kBranchFill.red), linear(kBranchFill.green), linear(kBranchFill.blue)};
}

} // namespace arbolith
