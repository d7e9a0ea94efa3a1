#include "tree/TreePainter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "tree/PixelMath.h"
#include "tree/Random.h"

namespace arbolith {

namespace {

constexpr double kDrawToUnit = 1.0 / 32767;
constexpr double kMaxRandomFactor = 0.8;
// How many branches pass between two questions to the monitor.
constexpr std::uint64_t kMonitorInterval = 4096;

} // namespace

CTreePainter::CTreePainter(DrawingSurface& surface_, std::int32_t maxAngleXY_,
                           std::int32_t maxAngleYZ_, std::int32_t maxAngleXZ_, double scaleFactor_,
                           std::int32_t limbsDegree_, std::int32_t levels_)
    : surface(surface_), pen(surface_.CreatePen(PenStyle::Solid, 1, kBranchOutline)),
      brush(surface_.CreateSolidBrush(kBranchFill)), previousPen(0), previousBrush(0),
      maxAngleXY(maxAngleXY_), maxAngleXZ(maxAngleXZ_), maxAngleYZ(maxAngleYZ_),
      scaleFactor(scaleFactor_), limbsDegree(limbsDegree_), levels(levels_), turnXY_(maxAngleXY_),
      turnXZ_(maxAngleXZ_), turnYZ_(maxAngleYZ_),
      turns_(std::max({TurnTable::Entries(maxAngleXY_), TurnTable::Entries(maxAngleXZ_),
                       TurnTable::Entries(maxAngleYZ_)})) {
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
    const double wb = BranchHalfWidth(base.z);
    const double we = BranchHalfWidth(end.z);
    // A half-width is at most 2^30 either way, so ends within 2^30 of the origin put every
    // corner within the 32-bit range: one test spares each corner its own (NaN fails it too).
    constexpr double kNear = 1 << 30;
    const bool near = std::fabs(base.x) < kNear && std::fabs(base.y) < kNear &&
                      std::fabs(end.x) < kNear && std::fabs(end.y) < kNear;
    const auto pixel = [near](double value) {
        return near ? static_cast<std::int32_t>(value) : TruncateToPixel(value);
    };
    const std::array<SurfacePoint, 4> corners{{
        {pixel(base.x - wb), pixel(base.y)},
        {pixel(base.x + wb), pixel(base.y)},
        {pixel(end.x + we), pixel(end.y)},
        {pixel(end.x - we), pixel(end.y)},
    }};
    surface.Polygon(corners.data(), static_cast<int>(corners.size()));
}

CMatrix CTreePainter::RotationXY(double angle) {
    const auto [c, s] = turns_.Of(angle);
    return CMatrix(c, s, 0, -s, c, 0, 0, 0, 1);
}

CMatrix CTreePainter::RotationXZ(double angle) {
    const auto [c, s] = turns_.Of(angle);
    return CMatrix(c, 0, s, 0, 1, 0, -s, 0, c);
}

CMatrix CTreePainter::RotationYZ(double angle) {
    const auto [c, s] = turns_.Of(angle);
    return CMatrix(1, 0, 0, 0, c, s, 0, -s, c);
}

// Depth first, each limb drawn before its subtree and its subtree before the next sibling,
// every fork reseeding the generator from the clock. The forks in progress live on an explicit
// stack rather than the machine's, so no depth can overflow it; only forks with limbs still to
// draw are kept, so memory grows at most with the depth.
void CTreePainter::Grow(CVector base, CVector parent, std::int32_t level) {
    // Plain components rather than vectors: a fork in progress costs 64 bytes of memory.
    struct Fork {
        double baseX, baseY, baseZ;
        double parentX, parentY, parentZ;
        std::int64_t level;
        std::int64_t limbsLeft;
    };
    std::vector<Fork> forks;
    forks.reserve(64);

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
        forks.push_back(Fork{forkBase.x, forkBase.y, forkBase.z, forkParent.x, forkParent.y,
                             forkParent.z, forkLevel, limbs});
    };

    openFork(base, parent, level);
    while (!forks.empty()) {
        Fork& fork = forks.back();
        --fork.limbsLeft;

        const double angleXY = DegreesToRadians(turnXY_.Of(DrawRandom()));
        DrawRandom();
        const double angleXZ = DegreesToRadians(turnXZ_.Of(DrawRandom()));
        DrawRandom();
        const double angleYZ = DegreesToRadians(turnYZ_.Of(DrawRandom()));
        double factor = scaleFactor;
        if (scaleFactor == 0.0) {
            factor = static_cast<double>(DrawRandom()) * kDrawToUnit * kMaxRandomFactor;
        }

        const CVector forkBase(fork.baseX, fork.baseY, fork.baseZ);
        CVector limb(fork.parentX, fork.parentY, fork.parentZ);
        limb = RotationXY(angleXY) * limb;
        limb = RotationXZ(angleXZ) * limb;
        limb = RotationYZ(angleYZ) * limb;
        limb = limb * factor;
        DrawBranch(forkBase, limb);

        ++branchesDrawn_;
        if (monitor_ != nullptr && branchesDrawn_ % kMonitorInterval == 0 &&
            !monitor_->KeepGoing(branchesDrawn_)) {
            stopped_ = true;
            return;
        }
        // `fork` may move when the child is pushed, so take what the child needs first. A fork
        // whose last limb is drawn has nothing left to do after that limb's subtree, so it
        // leaves the stack now: a chain of one-limb forks then holds a single record.
        const CVector childBase = forkBase + limb;
        const std::int64_t childLevel = fork.level + 1;
        if (fork.limbsLeft == 0) {
            forks.pop_back();
        }
        openFork(childBase, limb, childLevel);
    }
}

} // namespace arbolith
