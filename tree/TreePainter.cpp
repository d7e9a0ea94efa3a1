#include "tree/TreePainter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "tree/PixelMath.h"
#include "tree/Random.h"

namespace arbolith {

namespace {

constexpr double kPi = 3.1415926535;
constexpr double kOneOver360 = 1.0 / 360;
constexpr int kRandomLimbModulus = 20;
constexpr double kDrawToUnit = 1.0 / 32767;
constexpr double kMaxRandomFactor = 0.8;
// How many branches pass between two questions to the monitor.
constexpr std::uint64_t kMonitorInterval = 4096;

std::int32_t HalfWidth(double z) {
    return TruncateToPixel(3.0 - z * (1.0 / 30)) / 2;
}

double DegreesToRadians(std::int32_t degrees) {
    return static_cast<double>(2 * degrees) * kPi * kOneOver360;
}

// A turn is a draw modulo a bound, so never more than this many degrees.
constexpr std::int32_t kMostTurnDegrees = kRandomMax;
constexpr double kLargestTurn = 2.0 * (kMostTurnDegrees + 1) * kPi * kOneOver360;
constexpr std::pair<double, double> kNotCached{2.0, 2.0};

std::size_t TurnCacheSize(std::int32_t bound) {
    const std::int64_t magnitude = bound < 0 ? -std::int64_t{bound} : std::int64_t{bound};
    return static_cast<std::size_t>(std::min<std::int64_t>(magnitude, kMostTurnDegrees + 1));
}

} // namespace

double TurnAngle(int draw, std::int32_t maxAngle) {
    return DegreesToRadians(maxAngle == 0 ? 0 : draw % maxAngle);
}

CTreePainter::CTreePainter(DrawingSurface& surface_, std::int32_t maxAngleXY_,
                           std::int32_t maxAngleYZ_, std::int32_t maxAngleXZ_, double scaleFactor_,
                           std::int32_t limbsDegree_, std::int32_t levels_)
    : surface(surface_), pen(surface_.CreatePen(PenStyle::Solid, 1, kBranchOutline)),
      brush(surface_.CreateSolidBrush(kBranchFill)), previousPen(0), previousBrush(0),
      maxAngleXY(maxAngleXY_), maxAngleXZ(maxAngleXZ_), maxAngleYZ(maxAngleYZ_),
      scaleFactor(scaleFactor_), limbsDegree(limbsDegree_), levels(levels_),
      turnCache_(std::max({TurnCacheSize(maxAngleXY_), TurnCacheSize(maxAngleYZ_),
                           TurnCacheSize(maxAngleXZ_)}),
                 kNotCached) {
    surface.SetPolyFillMode(PolyFillMode::Winding);
    previousPen = surface.SelectObject(pen);
    previousBrush = surface.SelectObject(brush);
}

CTreePainter::~CTreePainter() {
    surface.SelectObject(previousPen);
    surface.SelectObject(previousBrush);
    surface.DeleteObject(pen);
    surface.DeleteObject(brush);
}

void CTreePainter::DrawBranch(CVector base, CVector vector) {
    const CVector end = base + vector;
    const double wb = HalfWidth(base.z);
    const double we = HalfWidth(end.z);
    const std::array<SurfacePoint, 4> corners{{
        {TruncateToPixel(base.x - wb), TruncateToPixel(base.y)},
        {TruncateToPixel(base.x + wb), TruncateToPixel(base.y)},
        {TruncateToPixel(end.x + we), TruncateToPixel(end.y)},
        {TruncateToPixel(end.x - we), TruncateToPixel(end.y)},
    }};
    surface.Polygon(corners.data(), static_cast<int>(corners.size()));
}

std::pair<double, double> CTreePainter::CosSin(double angle) {
    // Only an angle that is exactly some whole-degree turn's bits may come from the cache; a
    // negative zero has a sine of its own.
    if (!std::signbit(angle) && angle < kLargestTurn) {
        const auto degrees = static_cast<std::int32_t>(angle * (180.0 / kPi) + 0.5);
        if (static_cast<std::size_t>(degrees) < turnCache_.size() &&
            DegreesToRadians(degrees) == angle) {
            auto& entry = turnCache_[static_cast<std::size_t>(degrees)];
            if (entry == kNotCached) {
                entry = {std::cos(angle), std::sin(angle)};
            }
            return entry;
        }
    }
    return {std::cos(angle), std::sin(angle)};
}

CMatrix CTreePainter::RotationXY(double angle) {
    const auto [c, s] = CosSin(angle);
    return CMatrix(c, s, 0, -s, c, 0, 0, 0, 1);
}

CMatrix CTreePainter::RotationXZ(double angle) {
    const auto [c, s] = CosSin(angle);
    return CMatrix(c, 0, s, 0, 1, 0, -s, 0, c);
}

CMatrix CTreePainter::RotationYZ(double angle) {
    const auto [c, s] = CosSin(angle);
    return CMatrix(1, 0, 0, 0, c, s, 0, -s, c);
}

// Depth first, each limb drawn before its subtree and its subtree before the next sibling,
// every fork reseeding the generator from the clock. The forks in progress live on an explicit
// stack rather than the machine's, so no depth can overflow it; memory grows with the depth
// alone.
void CTreePainter::Grow(CVector base, CVector parent, std::int32_t level) {
    struct Fork {
        CVector base;
        CVector parent;
        std::int64_t level;
        std::int32_t limbsLeft;
    };
    std::vector<Fork> forks;

    // Makes the fork of a branch at `forkLevel`, if that level still gets one.
    auto openFork = [&](const CVector& forkBase, const CVector& forkParent,
                        std::int64_t forkLevel) {
        if (forkLevel > levels) {
            return;
        }
        SeedRandom(ReadClock());
        std::int32_t limbs = limbsDegree;
        if (limbs == 0) {
            limbs = DrawRandom() % kRandomLimbModulus;
        }
        if (limbs <= 0) {
            return;
        }
        // Limbs 3 to n would repeat limb 2 exactly, and leave the generator where limb 2's
        // subtree leaves it, since each child fork reseeds.
        if (path_ == GrowthPath::RepeatsOnce && forkLevel < levels && limbs > 2) {
            limbs = 2;
        }
        forks.push_back(Fork{forkBase, forkParent, forkLevel, limbs});
    };

    openFork(base, parent, level);
    while (!forks.empty()) {
        Fork& fork = forks.back();
        if (fork.limbsLeft == 0) {
            forks.pop_back();
            continue;
        }
        --fork.limbsLeft;

        const double angleXY = TurnAngle(DrawRandom(), maxAngleXY);
        DrawRandom();
        const double angleXZ = TurnAngle(DrawRandom(), maxAngleXZ);
        DrawRandom();
        const double angleYZ = TurnAngle(DrawRandom(), maxAngleYZ);
        double factor = scaleFactor;
        if (scaleFactor == 0.0) {
            factor = static_cast<double>(DrawRandom()) * kDrawToUnit * kMaxRandomFactor;
        }

        CVector limb = fork.parent;
        limb = RotationXY(angleXY) * limb;
        limb = RotationXZ(angleXZ) * limb;
        limb = RotationYZ(angleYZ) * limb;
        limb = limb * factor;
        DrawBranch(fork.base, limb);

        ++branchesDrawn_;
        if (monitor_ != nullptr && branchesDrawn_ % kMonitorInterval == 0 &&
            !monitor_->KeepGoing(branchesDrawn_)) {
            stopped_ = true;
            return;
        }
        // `fork` may move when the child is pushed, so take what the child needs first.
        const CVector childBase = fork.base + limb;
        const std::int64_t childLevel = fork.level + 1;
        openFork(childBase, limb, childLevel);
    }
}

} // namespace arbolith
