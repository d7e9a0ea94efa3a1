#include "mesh/MeshDetail.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "mesh/LimbRadii.h"

namespace arbolith {

namespace {

// 2^(k/16) for k = 1 to 15: where each sixteenth of an octave begins.
constexpr std::array<double, kBinsPerOctave - 1> kSixteenths{
    1.0442737824274138, 1.0905077326652577, 1.1387886347566916, 1.189207115002721,
    1.241857812073484,  1.2968395546510096, 1.3542555469368927, 1.4142135623730951,
    1.4768261459394993, 1.5422108254079407, 1.6104903319492543, 1.681792830507429,
    1.7562521603732995, 1.8340080864093424, 1.9152065613971474};

// Limbs below `bin` get four sides, those a level thinner three, those two levels thinner are
// dropped, as far as the silhouette lets them be.
MeshDetail DetailAt(int bin, int binsPerLevel, int mostDropped) {
    return {bin, bin - binsPerLevel, std::min(bin - 2 * binsPerLevel, mostDropped)};
}

} // namespace

int RadiusBin(double radius) {
    const double ratio = radius / kThinnestRadius;
    if (!(ratio > 1)) {
        return 0;
    }
    // A limb too long for a double's length is as thick as any.
    if (!(ratio < std::numeric_limits<double>::infinity())) {
        return kRadiusBins - 1;
    }
    int exponent = 0;
    // ratio = 2 * fraction * 2^(exponent - 1), with 2 * fraction in [1, 2): exact.
    const double fraction = 2 * std::frexp(ratio, &exponent);
    const auto sixteenth = std::upper_bound(kSixteenths.begin(), kSixteenths.end(), fraction);
    const std::int64_t bin =
        std::int64_t{exponent - 1} * kBinsPerOctave + (sixteenth - kSixteenths.begin());
    return static_cast<int>(std::min<std::int64_t>(bin, kRadiusBins - 1));
}

int MeshDetail::Sides(std::int64_t level, double baseRadius) const {
    // The whole tree needs no bin.
    if (level == 0 || fourSidesBelow <= 0) {
        return 6;
    }
    return SidesInBin(RadiusBin(baseRadius));
}

int MeshDetail::SidesInBin(int bin) const {
    return bin < droppedBelow ? 0 : bin < threeSidesBelow ? 3 : bin < fourSidesBelow ? 4 : 6;
}

void PointBox::Add(const std::array<double, 3>& point) {
    for (int axis = 0; axis < 3; ++axis) {
        min[axis] = std::min(min[axis], point[axis]);
        max[axis] = std::max(max[axis], point[axis]);
    }
}

void PointBox::Add(const PointBox& box) {
    // An empty box adds nothing.
    if (box.min[0] <= box.max[0]) {
        Add(box.min);
        Add(box.max);
    }
}

TreeSurvey::TreeSurvey() : limbs(kRadiusBins), continuing(kRadiusBins), shown(kRadiusBins + 1) {}

void TreeSurvey::AddTrunk(const std::array<double, 3>& base, double endReach) {
    ++branches;
    longestReach = std::max(longestReach, endReach);
    shown[kRadiusBins].Add(base);
}

void TreeSurvey::AddLimb(double baseRadius, double endReach, bool continues) {
    ++branches;
    longestReach = std::max(longestReach, endReach);
    const std::size_t bin = static_cast<std::size_t>(RadiusBin(baseRadius));
    ++limbs[bin];
    continuing[bin] += continues ? 1 : 0;
}

void TreeSurvey::AddEnd(const std::array<double, 3>& end, int keptFrom) {
    shown[static_cast<std::size_t>(keptFrom)].Add(end);
}

double EstimatedTriangles(const TreeSurvey& survey, const MeshDetail& detail) {
    const int d = survey.binsPerLevel;
    // The sides of the limbs in a bin; a parent's bin is taken to be a level thicker, a first
    // limb's a level thinner.
    const auto sides = [&](int bin) {
        return bin < 0 ? 0 : bin >= kRadiusBins ? 6 : detail.SidesInBin(bin);
    };
    // The first limbs of the bin that go on from their parents' solids.
    const auto goingOn = [&](int bin) {
        return bin < 0 || sides(bin) == 0 || sides(bin) != sides(bin + d)
                   ? 0.0
                   : static_cast<double>(survey.continuing[static_cast<std::size_t>(bin)]);
    };
    double triangles = survey.branches > 0 ? 2 * 6 + 2 * (6 - 2) : 0;
    for (int bin = 0; bin < kRadiusBins; ++bin) {
        const double limbs = static_cast<double>(survey.limbs[static_cast<std::size_t>(bin)]);
        const int n = sides(bin);
        if (limbs == 0 || n == 0) {
            continue;
        }
        // A cap at each end of a solid: at its base unless it goes on from its parent's, at its
        // end unless its first limb goes on from it.
        const double caps = 2 * limbs - goingOn(bin) - std::min(limbs, goingOn(bin - d));
        triangles += limbs * 2 * n + caps * (n - 2);
    }
    return triangles;
}

namespace {

// Whether the limbs the detail keeps reach as far as the whole tree's do, all but a share.
bool KeepsSilhouette(const TreeSurvey& survey, const MeshDetail& detail) {
    PointBox whole;
    PointBox kept;
    for (int bin = 0; bin <= kRadiusBins; ++bin) {
        const PointBox& ends = survey.shown[static_cast<std::size_t>(bin)];
        whole.Add(ends);
        if (bin == kRadiusBins || detail.SidesInBin(bin) > 0) {
            kept.Add(ends);
        }
    }
    double extent = 0;
    for (int axis = 0; axis < 3; ++axis) {
        extent = std::max(extent, whole.max[axis] - whole.min[axis]);
    }
    for (int axis = 0; axis < 3; ++axis) {
        if (kept.min[axis] - whole.min[axis] > kMostSilhouetteLoss * extent ||
            whole.max[axis] - kept.max[axis] > kMostSilhouetteLoss * extent) {
            return false;
        }
    }
    return true;
}

} // namespace

std::vector<MeshDetail> PlanDetails(const TreeSurvey& survey, int count) {
    std::vector<MeshDetail> details{MeshDetail{}};
    // The thinnest limbs that may be dropped without losing the silhouette.
    int mostDropped = 0;
    while (mostDropped < kRadiusBins &&
           KeepsSilhouette(survey, {kRadiusBins, kRadiusBins, mostDropped + 1})) {
        ++mostDropped;
    }
    int bin = 0;
    double triangles = EstimatedTriangles(survey, details.front());

    // Beyond this every limb is dropped.
    const int last = kRadiusBins + 2 * survey.binsPerLevel;
    while (static_cast<int>(details.size()) < count) {
        const double target = triangles / 2;
        int best = bin;
        double bestMiss = std::numeric_limits<double>::infinity();
        for (int next = bin + 1; next <= last; ++next) {
            const MeshDetail detail = DetailAt(next, survey.binsPerLevel, mostDropped);
            const double estimate = EstimatedTriangles(survey, detail);
            if (estimate < triangles && std::fabs(estimate - target) < bestMiss) {
                best = next;
                bestMiss = std::fabs(estimate - target);
            }
            if (estimate <= target) {
                break;
            }
        }
        bin = best;
        details.push_back(bin == 0 ? MeshDetail{}
                                   : DetailAt(bin, survey.binsPerLevel, mostDropped));
        triangles = EstimatedTriangles(survey, details.back());
    }
    return details;
}

} // namespace arbolith
