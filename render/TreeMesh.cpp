#include "render/TreeMesh.h"

#include <algorithm>
#include <cmath>

#include "render/RepeatedLimbFilter.h"
#include "tree/BranchWidth.h"

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

Direction Scaled(const Direction& a, double s) {
    return {a[0] * s, a[1] * s, a[2] * s};
}

bool Finite(const MeshVertex& v) {
    return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
}

MeshVertex ToVertex(const ModelPoint& p) {
    return {static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2])};
}

// Two directions square to the axis and to each other, (u, w, axis) right-handed, chosen from
// the axis alone so that a limb going on straight gets its parent's ring.
void RingFrame(const Direction& axis, Direction& u, Direction& w) {
    const Direction helper = std::fabs(axis[0]) < 0.9 ? Direction{1, 0, 0} : Direction{0, 1, 0};
    const double along = Dot(helper, axis);
    u = {helper[0] - along * axis[0], helper[1] - along * axis[1], helper[2] - along * axis[2]};
    u = Scaled(u, 1.0 / std::sqrt(Dot(u, u)));
    w = Cross(axis, u);
}

// Finite when every corner is; a ring beyond a float's range is not.
bool MakeRing(const ModelPoint& centre, double radius, const Direction& u, const Direction& w,
              std::array<MeshVertex, kBranchSides>& ring) {
    bool finite = true;
    for (int k = 0; k < kBranchSides; ++k) {
        const double a = radius * kCorners[k][0];
        const double b = radius * kCorners[k][1];
        ring[k] = ToVertex({centre[0] + a * u[0] + b * w[0], centre[1] + a * u[1] + b * w[1],
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

double ModelSpace::Radius(double z) {
    return (std::fabs(static_cast<double>(BranchHalfWidth(z))) + 0.5) * kMetresPerPixel;
}

TreeMesher::TreeMesher(const TreeParameters& parameters, MeshOutput& output)
    : space_(parameters.referencePoint), output_(output) {}

void TreeMesher::Branch(const CVector& base, const CVector& vector, const BranchPlace&) {
    // The end exactly as the painter computes it, so that a limb's base compares equal.
    const CVector end = base + vector;
    const ModelPoint b = space_.Point(base);
    const ModelPoint e = space_.Point(end);
    const double baseRadius = ModelSpace::Radius(base.z);
    const double endRadius = ModelSpace::Radius(end.z);
    const Direction axis{e[0] - b[0], e[1] - b[1], e[2] - b[2]};
    const double length = std::sqrt(Dot(axis, axis));
    if (!std::isfinite(length) || !Finite(ToVertex(b)) || !Finite(ToVertex(e))) {
        ++counts_.leftOut;
        return;
    }
    if (length == 0) {
        Octahedron(b, baseRadius);
        return;
    }
    const Direction along = Scaled(axis, 1.0 / length);
    Direction u;
    Direction w;
    RingFrame(along, u, w);
    Ring bottom;
    Ring top;
    if (!MakeRing(b, baseRadius, u, w, bottom) || !MakeRing(e, endRadius, u, w, top)) {
        ++counts_.leftOut;
        return;
    }
    Prism(base, end, bottom, top);
}

void TreeMesher::Prism(const CVector& base, const CVector& end, const Ring& bottom,
                       const Ring& top) {
    // Depth first, a limb's parent is the last branch on the path that ends at its base.
    while (!path_.empty() && (path_.back().end.x != base.x || path_.back().end.y != base.y ||
                              path_.back().end.z != base.z)) {
        path_.pop_back();
    }
    vertexCount_ = 0;
    triangleCount_ = 0;
    std::uint64_t first = 0;
    if (!path_.empty() && path_.back().ring == bottom) {
        first = path_.back().first;
    } else {
        first = counts_.vertices;
        for (const MeshVertex& v : bottom) {
            Add(v);
        }
    }
    const std::uint64_t firstTop = counts_.vertices + vertexCount_;
    for (const MeshVertex& v : top) {
        Add(v);
    }

    constexpr std::uint64_t n = kBranchSides;
    for (std::uint64_t k = 0; k < n; ++k) {
        const std::uint64_t next = (k + 1) % n;
        Add(MeshTriangle{first + k, first + next, firstTop + next});
        Add(MeshTriangle{first + k, firstTop + next, firstTop + k});
    }
    for (std::uint64_t k = 1; k + 1 < n; ++k) {
        Add(MeshTriangle{firstTop, firstTop + k, firstTop + k + 1});
        Add(MeshTriangle{first, first + k + 1, first + k});
    }
    path_.push_back({end, top, firstTop});
    Emit();
}

void TreeMesher::Octahedron(const ModelPoint& centre, double radius) {
    vertexCount_ = 0;
    triangleCount_ = 0;
    // +x, -x, +y, -y, +z, -z
    for (int axis = 0; axis < 3; ++axis) {
        for (const double sign : {1.0, -1.0}) {
            ModelPoint corner = centre;
            corner[axis] += sign * radius;
            Add(ToVertex(corner));
        }
    }
    if (!std::all_of(vertices_.begin(), vertices_.begin() + 6, Finite)) {
        ++counts_.leftOut;
        return;
    }
    const std::uint64_t first = counts_.vertices;
    for (int octant = 0; octant < 8; ++octant) {
        const std::uint64_t x = first + ((octant & 1) != 0 ? 1 : 0);
        const std::uint64_t y = first + 2 + ((octant & 2) != 0 ? 1 : 0);
        const std::uint64_t z = first + 4 + ((octant & 4) != 0 ? 1 : 0);
        // An odd number of negative axes turns the face round.
        const bool flipped = (((octant & 1) + ((octant >> 1) & 1) + ((octant >> 2) & 1)) & 1) != 0;
        Add(flipped ? MeshTriangle{x, z, y} : MeshTriangle{x, y, z});
    }
    Emit();
}

void TreeMesher::Emit() {
    output_.Solid(std::span(vertices_.data(), vertexCount_),
                  std::span(triangles_.data(), triangleCount_));
    ++counts_.branches;
    counts_.vertices += vertexCount_;
    counts_.triangles += triangleCount_;
}

MeshRun MeshTree(const TreeOrder& order, MeshOutput& output, RunMonitor* monitor, PassShare share) {
    TreeMesher mesher(order.parameters, output);
    RepeatedLimbFilter filter(mesher);
    PassMonitor passMonitor(monitor, output, share);
    // A clock read at every fork may change its second between two limbs: nothing repeats then.
    BranchSink& sink = order.clock ? static_cast<BranchSink&>(mesher) : filter;
    const RunResult grown = GrowTreeBranches(sink, order, &passMonitor);
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
