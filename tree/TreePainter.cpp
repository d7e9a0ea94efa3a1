#include "tree/TreePainter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>

#include "tree/BranchWidth.h"
#include "tree/Random.h"

namespace arbolith {

namespace {

constexpr double kDrawToUnit = 1.0 / 32767;
constexpr double kMaxRandomFactor = 0.8;

} // namespace

CTreePainter::CTreePainter(DrawingSurface& surface_, std::int32_t maxAngleXY_,
                           std::int32_t maxAngleYZ_, std::int32_t maxAngleXZ_, double scaleFactor_,
                           std::int32_t limbsDegree_, std::int32_t levels_)
    : surface(surface_), pen(surface_.CreatePen(PenStyle::Solid, 1, kBranchOutline)),
      brush(surface_.CreateSolidBrush(kBranchFill)), previousPen(0), previousBrush(0),
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

void CTreePainter::SetOrder(const TreeOrder& order) {
    second_ = order.second;
    clock_ = order.clock;
    path_ = order.path;
    branchLimit_ = order.branchLimit;
    SetMonitor(monitor_);
}

void CTreePainter::SetMonitor(RunMonitor* monitor) {
    monitor_ = monitor;
    const std::uint64_t nextQuestion = monitor_ != nullptr
                                           ? (polygons_ / kMonitorInterval + 1) * kMonitorInterval
                                           : kNoBranchLimit;
    nextCheck_ = std::min(branchLimit_, nextQuestion);
}

bool CTreePainter::Checkpoint() {
    if (polygons_ >= branchLimit_) {
        ended_ = true;
        return false;
    }
    if (monitor_ != nullptr && polygons_ % kMonitorInterval == 0 &&
        !monitor_->KeepGoing(polygons_)) {
        stopped_ = true;
        ended_ = true;
        return false;
    }
    SetMonitor(monitor_);
    return true;
}

RunResult CTreePainter::DrawTreeFrom(CVector base, CVector trunk) {
    if (!ended_ && polygons_ < branchLimit_) {
        DrawBranch(base, trunk);
        if (Counted()) {
            const CVector top = trunk + base;
            Grow(top, trunk, 0);
        }
    }
    return {polygons_, stopped_ && !forkLimitReached_, forkLimitReached_};
}

std::uint32_t CTreePainter::ReadSecond() {
    const std::uint32_t second = clock_ ? clock_() : second_;
    if (second != lastSecond_) {
        lastSecond_ = second;
        ++clockChanges_;
    }
    return second;
}

// Depth first, each limb drawn before its subtree and its subtree before the next sibling,
// every fork reseeding the generator from the clock. The forks in progress live on an explicit
// stack rather than the machine's, so no depth can overflow it; only forks with limbs still to
// draw are kept, so memory grows at most with the depth, and the fork limit bounds it.
void CTreePainter::Grow(CVector base, CVector parent, std::int32_t level) {
    // Plain components rather than vectors keep a record at 64 bytes.
    struct Fork {
        double baseX, baseY, baseZ;
        double parentX, parentY, parentZ;
        std::int32_t level;
        std::int32_t limbsLeft;
        // For a limb under way that the limbs after it would repeat, the clock's count of
        // changes at the seeding its draws come from; kNoRepeat otherwise.
        std::uint64_t steadySince;
    };
    static_assert(sizeof(Fork) == kForkRecordBytes);
    constexpr std::uint64_t kNoRepeat = ~std::uint64_t{0};
    // In blocks, so that the stack never holds a second copy of itself while it grows.
    std::deque<Fork> forks;
    std::uint64_t changesAtSeeding = clockChanges_;

    // Opens the fork of a branch at `forkLevel`, if that level still gets one and it has limbs;
    // gives whether it did.
    auto openFork = [&](const CVector& forkBase, const CVector& forkParent,
                        std::int64_t forkLevel) {
        if (forkLevel > levels) {
            return false;
        }
        generator_->Seed(ReadSecond());
        changesAtSeeding = clockChanges_;
        std::int32_t limbs = limbsDegree;
        if (limbs == 0) {
            limbs = generator_->Draw() % kRandomLimbModulus;
        }
        if (limbs <= 0) {
            return false;
        }
        if (forks.size() >= forkLimit_) {
            forkLimitReached_ = true;
            stopped_ = true;
            ended_ = true;
            return false;
        }
        forks.push_back(Fork{forkBase.x, forkBase.y, forkBase.z, forkParent.x, forkParent.y,
                             forkParent.z, static_cast<std::int32_t>(forkLevel), limbs, kNoRepeat});
        return true;
    };

    // Whether the fork on top of the stack has yet to draw its first limb.
    if (ended_) {
        return;
    }
    RandomGenerator& random = *generator_;
    bool firstLimb = openFork(base, parent, level);
    while (!forks.empty() && !ended_) {
        Fork& fork = forks.back();
        // Limb k >= 2 and its subtree are done. If the clock has read one second from the
        // seeding that limb k drew from until now, limb k + 1 takes the same draws as limb k and
        // its subtree reads the same second: limbs k + 1 to n would repeat limb k exactly, and
        // leave the generator where it is now.
        if (!firstLimb && fork.steadySince != kNoRepeat) {
            ReadSecond();
            if (clockChanges_ == fork.steadySince) {
                forks.pop_back();
                continue;
            }
        }
        // Limb 1 takes other draws than limb 2, and in the last generation no fork reseeds
        // between two limbs: only limbs from the second on, above the last generation, repeat.
        const bool repeatable = path_ == GrowthPath::RepeatsOnce && fork.level < levels;
        fork.steadySince = repeatable && !firstLimb ? changesAtSeeding : kNoRepeat;
        --fork.limbsLeft;

        const std::int32_t turnXY = turnXY_.Of(random.Draw());
        random.Draw();
        const std::int32_t turnXZ = turnXZ_.Of(random.Draw());
        random.Draw();
        const std::int32_t turnYZ = turnYZ_.Of(random.Draw());
        double factor = scaleFactor;
        if (scaleFactor == 0.0) {
            factor = static_cast<double>(random.Draw()) * kDrawToUnit * kMaxRandomFactor;
        }

        const CVector forkBase(fork.baseX, fork.baseY, fork.baseZ);
        CVector limb(fork.parentX, fork.parentY, fork.parentZ);
        limb = RotationXY(turns_.AngleOf(turnXY)) * limb;
        limb = RotationXZ(turns_.AngleOf(turnXZ)) * limb;
        limb = RotationYZ(turns_.AngleOf(turnYZ)) * limb;
        limb = limb * factor;
        DrawBranch(forkBase, limb);
        if (!Counted()) {
            return;
        }
        // A fork whose last limb is drawn has nothing left to do after that limb's subtree, so it
        // leaves the stack now, once the child has what it needs: a chain of one-limb forks then
        // holds a single record.
        const CVector childBase = forkBase + limb;
        const std::int64_t childLevel = std::int64_t{fork.level} + 1;
        if (fork.limbsLeft == 0) {
            forks.pop_back();
        }
        firstLimb = openFork(childBase, limb, childLevel);
    }
}

} // namespace arbolith
