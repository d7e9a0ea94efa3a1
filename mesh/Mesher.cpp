#include "mesh/Mesher.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "mesh/MeshPipeline.h"
#include "render/PipelineSurface.h"
#include "tree/RepeatedLimbFilter.h"

namespace arbolith {

namespace {

using Direction = std::array<double, 3>;

// Cosine and sine of a ring's corners, a turn divided evenly, for each number of sides.
constexpr double kHalfRoot3 = 0.86602540378443864676;
using Corners = std::array<std::array<double, 2>, TreeMesher::kMostSides>;
constexpr Corners kSixCorners{{{1.0, 0.0},
                               {0.5, kHalfRoot3},
                               {-0.5, kHalfRoot3},
                               {-1.0, 0.0},
                               {-0.5, -kHalfRoot3},
                               {0.5, -kHalfRoot3}}};
constexpr Corners kFourCorners{{{1.0, 0.0}, {0.0, 1.0}, {-1.0, 0.0}, {0.0, -1.0}}};
constexpr Corners kThreeCorners{{{1.0, 0.0}, {-0.5, kHalfRoot3}, {-0.5, -kHalfRoot3}}};

// The texture's u at each corner: round half the ring and back, so that no corner needs two.
using Round = std::array<float, TreeMesher::kMostSides>;
constexpr Round kSixRound{0.0f, 1.0f / 3, 2.0f / 3, 1.0f, 2.0f / 3, 1.0f / 3};
constexpr Round kFourRound{0.0f, 0.5f, 1.0f, 0.5f};
constexpr Round kThreeRound{0.0f, 0.5f, 1.0f};

const Corners& CornersOf(int sides) {
    return sides == 6 ? kSixCorners : sides == 4 ? kFourCorners : kThreeCorners;
}

const Round& RoundOf(int sides) {
    return sides == 6 ? kSixRound : sides == 4 ? kFourRound : kThreeRound;
}

double Dot(const Direction& a, const Direction& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

Direction Cross(const Direction& a, const Direction& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

Direction Unit(const Direction& d) {
    const double length = std::sqrt(Dot(d, d));
    return {d[0] / length, d[1] / length, d[2] / length};
}

bool Finite(const MeshPoint& p) {
    return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]);
}

MeshPoint ToFloat(const Direction& p) {
    return {static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2])};
}

// The ring's corners round `centre`; false unless every one is within a float's range.
bool MakeRing(const ModelPoint& centre, double radius, const Direction& u, const Direction& w,
              int sides, std::array<MeshPoint, TreeMesher::kMostSides>& ring) {
    const Corners& corners = CornersOf(sides);
    bool finite = true;
    for (int k = 0; k < sides; ++k) {
        const double a = radius * corners[k][0];
        const double b = radius * corners[k][1];
        ring[k] = ToFloat({centre[0] + a * u[0] + b * w[0], centre[1] + a * u[1] + b * w[1],
                           centre[2] + a * u[2] + b * w[2]});
        finite = finite && Finite(ring[k]);
    }
    return finite;
}

} // namespace

bool PassMonitor::KeepGoing(std::uint64_t polygonsDrawn) {
    if (output_ != nullptr && output_->Failed()) {
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

TreeMesher::TreeMesher(const TreeParameters& parameters, const MeshPlan& plan, MeshOutput& output)
    : space_(parameters.referencePoint), radii_(parameters), plan_(plan), output_(output) {}

void TreeMesher::Branch(const CVector& base, const CVector& vector, const BranchPlace& place) {
    const LimbRadius radius = radii_.Next(vector, place);
    const BranchReach reach = reach_.Next(vector, place);
    const std::uint64_t arrival = arrivals_++;
    const int sides = plan_.detail.Sides(place.level, radius.base);
    if (sides == 0) {
        // Dropped: the first limb of the waiting limb's line of first limbs lengthens it. Its
        // other limbs are thinner and so dropped too.
        if (waiting_ && arrival == waiting_->tipArrival + 1 &&
            place.level == waiting_->tipLevel + 1) {
            waiting_->end = base + vector;
            waiting_->radius.end = radius.end;
            waiting_->endReach = reach.end;
            waiting_->tipLevel = place.level;
            waiting_->tipArrival = arrival;
        }
        return;
    }
    MakeWaiting();
    // The end exactly as the painter computes it.
    waiting_ = Limb{base,    base + vector, place.level, place.level, arrival,
                    arrival, radius,        reach.base,  reach.end,   sides};
}

void TreeMesher::Finish() {
    MakeWaiting();
    vertexCount_ = 0;
    triangleCount_ = 0;
    CloseOpenEnd();
    Emit();
}

void TreeMesher::MakeWaiting() {
    if (!waiting_) {
        return;
    }
    vertexCount_ = 0;
    triangleCount_ = 0;
    if (!MakeSolid(*waiting_)) {
        ++counts_.leftOut;
        CloseOpenEnd();
    }
    Emit();
    waiting_.reset();
}

bool TreeMesher::MakeSolid(const Limb& limb) {
    const ModelPoint b = space_.Point(limb.base);
    const ModelPoint e = space_.Point(limb.end);
    const MeshPoint baseCentre = ToFloat(b);
    const MeshPoint endCentre = ToFloat(e);
    if (!Finite(baseCentre) || !Finite(endCentre)) {
        return false;
    }
    const float baseGrowth = static_cast<float>(limb.baseReach * plan_.growthPerPixel);
    const float endGrowth = static_cast<float>(limb.endReach * plan_.growthPerPixel);
    // A branch shorter than a float tells apart is a point in the file's numbers.
    if (baseCentre == endCentre) {
        return Octahedron(b, ModelSpace::Length(limb.radius.base), baseGrowth);
    }
    const Direction along = Unit({e[0] - b[0], e[1] - b[1], e[2] - b[2]});
    const int sides = limb.sides;
    // In drawing order a branch's first limb comes right after it: only that one may go on from
    // its open end.
    bool goesOn = open_ && !openEnd_.lengthened && limb.arrival == openEnd_.arrival + 1 &&
                  limb.level == openEnd_.level + 1 && sides == openEnd_.sides &&
                  limb.radius.base == openEnd_.radius &&
                  Dot(along, openEnd_.frame.axis) >= kLeastCosineGoingOn;
    Frame frame{{}, {}, along};
    if (goesOn) {
        // The parent's ring directions carried onto this axis, so that corner k runs on to
        // corner k. Turning by at most 60 degrees, u keeps most of its length.
        const Direction& u = openEnd_.frame.u;
        const double onAxis = Dot(u, along);
        frame.u =
            Unit({u[0] - onAxis * along[0], u[1] - onAxis * along[1], u[2] - onAxis * along[2]});
    } else {
        // From the axis alone, so that a limb going on straight gets its parent's ring.
        const Direction helper =
            std::fabs(along[0]) < 0.9 ? Direction{1, 0, 0} : Direction{0, 1, 0};
        const double onAxis = Dot(helper, along);
        frame.u = Unit({helper[0] - onAxis * along[0], helper[1] - onAxis * along[1],
                        helper[2] - onAxis * along[2]});
    }
    frame.w = Cross(along, frame.u);
    Ring bottom;
    Ring top;
    if (!MakeRing(b, ModelSpace::Length(limb.radius.base), frame.u, frame.w, sides, bottom) ||
        !MakeRing(e, ModelSpace::Length(limb.radius.end), frame.u, frame.w, sides, top)) {
        return false;
    }
    if (!MakeRoom(goesOn ? sides : 2 * sides)) {
        goesOn = false;
    }
    const Corners& corners = CornersOf(sides);
    const Round& round = RoundOf(sides);
    Ring normals;
    for (int k = 0; k < sides; ++k) {
        normals[k] = ToFloat({corners[k][0] * frame.u[0] + corners[k][1] * frame.w[0],
                              corners[k][0] * frame.u[1] + corners[k][1] * frame.w[1],
                              corners[k][0] * frame.u[2] + corners[k][1] * frame.w[2]});
    }
    std::uint64_t first = 0;
    float baseTexture = 0;
    if (goesOn) {
        first = openEnd_.first;
        baseTexture = openEnd_.texture;
        open_ = false;
    } else {
        CloseOpenEnd();
        first = counts_.vertices + vertexCount_;
        for (int k = 0; k < sides; ++k) {
            Add(MeshVertex{bottom[k], normals[k], {round[k], 0.0f}, baseGrowth});
        }
        Cap(first, sides, false);
    }
    // Along the limb, as many texture units as half its mean girth goes into its length.
    const double length = std::sqrt((e[0] - b[0]) * (e[0] - b[0]) + (e[1] - b[1]) * (e[1] - b[1]) +
                                    (e[2] - b[2]) * (e[2] - b[2]));
    const double halfGirth =
        std::numbers::pi * ModelSpace::Length(limb.radius.base + limb.radius.end) / 2;
    const float endTexture = static_cast<float>(baseTexture + length / halfGirth);
    const std::uint64_t firstTop = counts_.vertices + vertexCount_;
    for (int k = 0; k < sides; ++k) {
        Add(MeshVertex{top[k], normals[k], {round[k], endTexture}, endGrowth});
    }
    const std::uint64_t n = static_cast<std::uint64_t>(sides);
    for (std::uint64_t k = 0; k < n; ++k) {
        const std::uint64_t next = (k + 1) % n;
        Add(MeshTriangle{first + k, first + next, firstTop + next});
        Add(MeshTriangle{first + k, firstTop + next, firstTop + k});
    }
    open_ = true;
    openEnd_ = {limb.tipArrival, limb.level,      limb.tipArrival != limb.arrival,
                sides,           limb.radius.end, firstTop,
                frame,           endTexture};
    lastPoint_.reset();
    ++counts_.branches;
    return true;
}

bool TreeMesher::MakeRoom(std::uint64_t vertices) {
    if (primitiveVertices_ + vertexCount_ + vertices <= plan_.primitiveVertices) {
        return true;
    }
    CloseOpenEnd();
    Emit();
    vertexCount_ = 0;
    triangleCount_ = 0;
    output_.PrimitiveEnds();
    primitiveVertices_ = 0;
    return false;
}

void TreeMesher::Cap(std::uint64_t first, int sides, bool top) {
    for (std::uint64_t k = 1; k + 1 < static_cast<std::uint64_t>(sides); ++k) {
        Add(top ? MeshTriangle{first, first + k, first + k + 1}
                : MeshTriangle{first, first + k + 1, first + k});
    }
}

void TreeMesher::CloseOpenEnd() {
    if (open_) {
        Cap(openEnd_.first, openEnd_.sides, true);
        open_ = false;
    }
}

bool TreeMesher::Octahedron(const ModelPoint& centre, double radius, float growth) {
    // +x, -x, +y, -y, +z, -z
    Point corners;
    for (int axis = 0; axis < 3; ++axis) {
        for (const int sign : {1, -1}) {
            ModelPoint corner = centre;
            corner[axis] += sign * radius;
            MeshPoint normal{0, 0, 0};
            normal[axis] = static_cast<float>(sign);
            corners[2 * axis + (1 - sign) / 2] = {ToFloat(corner), normal, {}, growth};
        }
    }
    if (!std::all_of(corners.begin(), corners.end(),
                     [](const MeshVertex& v) { return Finite(v.position); })) {
        return false;
    }
    CloseOpenEnd();
    if (lastPoint_ == corners) {
        return true;
    }
    MakeRoom(corners.size());
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
    primitiveVertices_ += vertexCount_;
}

RunResult GrowSolids(const TreeOrder& order, BranchSink& sink, RunMonitor* monitor) {
    // A clock read at every fork may change its second between two limbs: nothing repeats then.
    if (order.clock) {
        return GrowTreeBranches(sink, order, monitor);
    }
    RepeatedLimbFilter filter(sink);
    return GrowTreeBranches(filter, order, monitor);
}

MeshRun MeshTree(const TreeOrder& order, const MeshPlan& plan, MeshOutput& output,
                 RunMonitor* monitor, PassShare share) {
    const auto run = [&](MeshOutput& to) {
        TreeMesher mesher(order.parameters, plan, to);
        PassMonitor passMonitor(monitor, share, &to);
        const RunResult grown = GrowSolids(order, mesher, &passMonitor);
        mesher.Finish();
        return MeshRun{mesher.Counts(), grown.polygons, passMonitor.Stopped()};
    };
    if (!TwoCoresPay(order)) {
        return run(output);
    }
    // Made on this thread, written on another.
    MeshPipeline pipeline(output);
    const MeshRun result = run(pipeline);
    pipeline.Drain();
    return result;
}

namespace {

// Takes the branches of one growth into a survey: the whole survey for levels of detail, the
// counts and the longest reach alone for the full mesh.
class Surveyor final : public BranchSink {
public:
    Surveyor(const TreeParameters& parameters, bool forDetails)
        : radii_(parameters), forDetails_(forDetails) {
        // The bins a limb's radius drops by from one level to the next.
        survey.binsPerLevel = std::max(1, RadiusBin(1 / radii_.Taper()) - RadiusBin(1));
    }
    void Branch(const CVector& base, const CVector& vector, const BranchPlace& place) override {
        const BranchReach reach = reach_.Next(vector, place);
        const CVector end = base + vector;
        if (!forDetails_) {
            ++survey.branches;
            survey.longestReach = std::max(survey.longestReach, reach.end);
            return;
        }
        const LimbRadius radius = radii_.Next(vector, place);
        const bool first = place.level == lastLevel_ + 1;
        const int bin = place.level == 0 ? kRadiusBins : RadiusBin(radius.base);
        // The branch before shows its end while its first limb is kept; at the end of its line,
        // while the line's top is.
        if (waiting_) {
            survey.AddEnd(waitingEnd_, first ? bin : waitingLineTop_);
        }
        if (place.level == 0) {
            survey.AddTrunk({base.x, base.y, base.z}, reach.end);
            lines_.assign(1, {0, kRadiusBins});
            Wait(end, kRadiusBins, place.level, radius.end, vector);
            return;
        }
        // Depth first, the branches above this one's level are done with.
        while (!lines_.empty() && lines_.back().level >= place.level) {
            lines_.pop_back();
        }
        int lineTop = bin;
        if (!lines_.empty() && lines_.back().level == place.level - 1) {
            lineTop = first ? lines_.back().lineTop : bin;
            // The last limb of a fork: the parent gets no other.
            if (place.lastOfFork) {
                lines_.pop_back();
            }
        }
        const double turn = vector.x * last_.x + vector.y * last_.y + vector.z * last_.z;
        const bool continues =
            first && radius.base == lastEnd_ &&
            turn >=
                kLeastCosineGoingOn *
                    std::sqrt((vector.x * vector.x + vector.y * vector.y + vector.z * vector.z) *
                              (last_.x * last_.x + last_.y * last_.y + last_.z * last_.z));
        survey.AddLimb(radius.base, reach.end, continues);
        lines_.push_back({place.level, lineTop});
        Wait(end, lineTop, place.level, radius.end, vector);
    }
    // The last branch ends a line.
    void Finish() {
        if (waiting_) {
            survey.AddEnd(waitingEnd_, waitingLineTop_);
            waiting_ = false;
        }
    }
    TreeSurvey survey;

private:
    // A branch that may still get a first limb, and the top of the line that limb is on.
    struct Line {
        std::int64_t level;
        int lineTop;
    };

    void Wait(const CVector& end, int lineTop, std::int64_t level, double endRadius,
              const CVector& vector) {
        waiting_ = true;
        waitingEnd_ = {end.x, end.y, end.z};
        waitingLineTop_ = lineTop;
        lastLevel_ = level;
        lastEnd_ = endRadius;
        last_ = vector;
    }

    LimbRadii radii_;
    LimbReach reach_;
    bool forDetails_;
    std::vector<Line> lines_;
    // The branch before, whose end waits to be told when it shows.
    bool waiting_ = false;
    std::array<double, 3> waitingEnd_{};
    int waitingLineTop_ = 0;
    std::int64_t lastLevel_ = -2;
    double lastEnd_ = 0;
    CVector last_;
};

} // namespace

SurveyRun SurveyTree(const TreeOrder& order, bool forDetails, RunMonitor* monitor,
                     PassShare share) {
    Surveyor surveyor(order.parameters, forDetails);
    PassMonitor passMonitor(monitor, share);
    const RunResult grown = GrowSolids(order, surveyor, &passMonitor);
    surveyor.Finish();
    return {surveyor.survey, grown.polygons, passMonitor.Stopped()};
}

std::vector<MeshPlan> PlanMeshes(const TreeSurvey& survey, int levels,
                                 std::uint64_t primitiveVertices) {
    const double growthPerPixel = survey.longestReach > 0 ? 1 / survey.longestReach : 0;
    std::vector<MeshPlan> plans;
    for (const MeshDetail& detail : PlanDetails(survey, std::max(levels, 1))) {
        plans.push_back({detail, growthPerPixel, primitiveVertices});
    }
    return plans;
}

std::array<double, 3> LinearBranchColour() {
    const auto linear = [](std::uint8_t value) {
        const double c = value / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return {linear(kBranchFill.red), linear(kBranchFill.green), linear(kBranchFill.blue)};
}

} // namespace arbolith
