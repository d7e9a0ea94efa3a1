#include "tree/TreePainter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <typeinfo>

#include "tree/BranchWidth.h"
#include "tree/Random.h"

namespace arbolith {

namespace {

constexpr double kDrawToUnit = 1.0 / 32767;
constexpr double kMaxRandomFactor = 0.8;

// The corners of a branch that reaches far: each saturates at the 32-bit bounds.
void FarCorners(double baseX, double baseY, double endX, double endY, double wb, double we,
                SurfacePoint* corners) {
    corners[0] = {TruncateToPixel(baseX - wb), TruncateToPixel(baseY)};
    corners[1] = {TruncateToPixel(baseX + wb), TruncateToPixel(baseY)};
    corners[2] = {TruncateToPixel(endX + we), TruncateToPixel(endY)};
    corners[3] = {TruncateToPixel(endX - we), TruncateToPixel(endY)};
}

// The corners of the branch from `base` along `vector`: its ends' half-widths across x, each
// truncated toward zero, in the order base left, base right, end right, end left. This, adding a
// branch to a block and opening a fork are forced into the growth loop: left to itself the
// compiler keeps them apart, and a branch then costs a third more.
template <typename Vector>
[[gnu::always_inline]] inline void BranchCorners(const Vector& base, const Vector& vector,
                                                 SurfacePoint* corners) {
    const double endX = base.x + vector.x;
    const double endY = base.y + vector.y;
    const double wb = BranchHalfWidth(base.z);
    const double we = BranchHalfWidth(base.z + vector.z);
    // A half-width is at most 2^30 either way, so ends within 2^30 of the origin put every
    // corner within the 32-bit range: one test spares each corner its own (NaN fails it too).
    constexpr double kNear = 1 << 30;
    if (std::fabs(base.x) < kNear && std::fabs(base.y) < kNear && std::fabs(endX) < kNear &&
        std::fabs(endY) < kNear) [[likely]] {
        corners[0] = {static_cast<std::int32_t>(base.x - wb), static_cast<std::int32_t>(base.y)};
        corners[1] = {static_cast<std::int32_t>(base.x + wb), static_cast<std::int32_t>(base.y)};
        corners[2] = {static_cast<std::int32_t>(endX + we), static_cast<std::int32_t>(endY)};
        corners[3] = {static_cast<std::int32_t>(endX - we), static_cast<std::int32_t>(endY)};
    } else {
        FarCorners(base.x, base.y, endX, endY, wb, we, corners);
    }
}

// Turns a vector as the matrices of RotationXY, RotationXZ and RotationYZ do, with every product
// of matrix times vector taken, zeros too: an infinite component must come out as it does there.
template <typename Vector> Vector TurnedXY(const Vector& v, const CosSin& t) {
    return {t.cos * v.x + -t.sin * v.y + 0.0 * v.z, t.sin * v.x + t.cos * v.y + 0.0 * v.z,
            0.0 * v.x + 0.0 * v.y + 1.0 * v.z};
}
template <typename Vector> Vector TurnedXZ(const Vector& v, const CosSin& t) {
    return {t.cos * v.x + 0.0 * v.y + -t.sin * v.z, 0.0 * v.x + 1.0 * v.y + 0.0 * v.z,
            t.sin * v.x + 0.0 * v.y + t.cos * v.z};
}
template <typename Vector> Vector TurnedYZ(const Vector& v, const CosSin& t) {
    return {1.0 * v.x + 0.0 * v.y + 0.0 * v.z, 0.0 * v.x + t.cos * v.y + -t.sin * v.z,
            0.0 * v.x + t.sin * v.y + t.cos * v.z};
}

} // namespace

CTreePainter::CTreePainter(DrawingSurface& surface_, std::int32_t maxAngleXY_,
                           std::int32_t maxAngleYZ_, std::int32_t maxAngleXZ_, double scaleFactor_,
                           std::int32_t limbsDegree_, std::int32_t levels_)
    : surface(surface_), pen(surface_.CreatePen(PenStyle::Solid, 1, kBranchOutline)),
      brush(surface_.CreateSolidBrush(kBranchFill)), previousPen(0), previousBrush(0),
      maxAngleXY(maxAngleXY_), maxAngleXZ(maxAngleXZ_), maxAngleYZ(maxAngleYZ_),
      scaleFactor(scaleFactor_), limbsDegree(limbsDegree_), levels(levels_),
      blocks_(surface_.TakesBlocks()), turnXY_(maxAngleXY), turnXZ_(maxAngleXZ),
      turnYZ_(maxAngleYZ),
      turns_(std::max({TurnTable::Entries(maxAngleXY), TurnTable::Entries(maxAngleXZ),
                       TurnTable::Entries(maxAngleYZ)})) {
    surface.SetPolyFillMode(PolyFillMode::Winding);
    previousPen = surface.SelectObject(pen);
    previousBrush = surface.SelectObject(brush);
}

CTreePainter::~CTreePainter() {
    HandOverBlock();
    surface.SelectObject(previousPen);
    surface.SelectObject(previousBrush);
    surface.DeleteObject(pen);
    surface.DeleteObject(brush);
}

void CTreePainter::DrawBranch(CVector base, CVector vector) {
    const Components b{base.x, base.y, base.z};
    const Components v{vector.x, vector.y, vector.z};
    if (blocks_) {
        AddToBlock(b, v);
        return;
    }
    std::array<SurfacePoint, 4> corners;
    BranchCorners(b, v, corners.data());
    surface.Polygon(corners.data(), static_cast<int>(corners.size()));
}

void CTreePainter::DrawCorners(const SurfacePoint* corners) {
    if (!blocks_) {
        surface.Polygon(corners, 4);
        return;
    }
    std::copy(corners, corners + 4, block_.data() + blockCorners_);
    blockCorners_ += 4;
    if (blockCorners_ == block_.size()) {
        HandOverBlock();
    }
}

void CTreePainter::SetOutlineWidth(int width) {
    HandOverBlock();
    const SurfaceObject wide = surface.CreatePen(PenStyle::Solid, width, kBranchOutline);
    surface.SelectObject(wide);
    surface.DeleteObject(pen);
    pen = wide;
}

[[gnu::always_inline]] inline void CTreePainter::AddToBlock(const Components& base,
                                                            const Components& vector) {
    BranchCorners(base, vector, block_.data() + blockCorners_);
    blockCorners_ += 4;
    if (blockCorners_ == block_.size()) {
        HandOverBlock();
    }
}

void CTreePainter::HandOverBlock() {
    if (blockCorners_ > 0) {
        surface.Quadrilaterals(block_.data(), blockCorners_ / 4);
        blockCorners_ = 0;
    }
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
    // What the monitor is told of is drawn.
    HandOverBlock();
    if (polygons_ >= branchLimit_) {
        ended_ = true;
        return false;
    }
    if (monitor_ != nullptr && polygons_ % kMonitorInterval == 0) {
        if (!monitor_->KeepGoing(polygons_)) {
            stopped_ = true;
            ended_ = true;
            return false;
        }
        // The growth loop stops at its next turn, once it has opened the fork of the limb just
        // drawn; a pause needs a fork to go on from, which the trunk has yet to open.
        if (!forks_.Empty() && monitor_->Pause(polygons_)) {
            paused_ = true;
            ended_ = true;
        }
    }
    SetMonitor(monitor_);
    return true;
}

RunResult CTreePainter::DrawTreeFrom(CVector base, CVector trunk) {
    if (!ended_ && polygons_ < branchLimit_) {
        place_ = {};
        DrawBranch(base, trunk);
        if (Counted()) {
            const CVector top = trunk + base;
            Grow(top, trunk, 0);
        }
    }
    HandOverBlock();
    return Result();
}

RunResult CTreePainter::GoOn() {
    if (paused_) {
        paused_ = false;
        ended_ = false;
        if (GrowsDirectly()) {
            GoOnForks<true>(pausedBeforeFirstLimb_);
        } else {
            GoOnForks<false>(pausedBeforeFirstLimb_);
        }
    }
    HandOverBlock();
    return Result();
}

RunResult CTreePainter::Result() const {
    return {polygons_, stopped_ && !forkLimitReached_, forkLimitReached_, paused_};
}

inline std::uint32_t CTreePainter::ReadSecond() {
    const std::uint32_t second = clock_ ? clock_() : second_;
    if (second != lastSecond_) {
        lastSecond_ = second;
        ++clockChanges_;
    }
    return second;
}

void CTreePainter::Grow(CVector base, CVector parent, std::int32_t level) {
    if (ended_) {
        return;
    }
    if (GrowsDirectly()) {
        GrowForks<true>({base.x, base.y, base.z}, {parent.x, parent.y, parent.z}, level);
    } else {
        GrowForks<false>({base.x, base.y, base.z}, {parent.x, parent.y, parent.z}, level);
    }
}

// The operations of this class are its own; a class that draws its branches otherwise, or a
// surface that takes them one by one, gets every call through the virtual table.
bool CTreePainter::GrowsDirectly() const {
    return blocks_ && typeid(*this) == typeid(CTreePainter);
}

// Opens the fork of a branch at `level`, if that level still gets one and it has limbs; gives
// whether it did.
[[gnu::always_inline]] inline bool
CTreePainter::OpenFork(const Components& base, const Components& parent, std::int64_t level) {
    if (level > levels) {
        return false;
    }
    generator_->Seed(ReadSecond());
    changesAtSeeding_ = clockChanges_;
    std::int32_t limbs = limbsDegree;
    if (limbs == 0) {
        limbs = generator_->Draw() % kRandomLimbModulus;
    }
    if (limbs <= 0) {
        return false;
    }
    if (forks_.Size() >= forkLimit_) {
        forkLimitReached_ = true;
        stopped_ = true;
        ended_ = true;
        paused_ = false;
        return false;
    }
    forks_.Push(Fork{base.x, base.y, base.z, parent.x, parent.y, parent.z,
                     static_cast<std::int32_t>(level), limbs, kNoRepeat});
    return true;
}

// Depth first, each limb drawn before its subtree and its subtree before the next sibling,
// every fork reseeding the generator from the clock. The forks in progress live on an explicit
// stack rather than the machine's, so no depth can overflow it; only forks with limbs still to
// draw are kept, so memory grows at most with the depth, and the fork limit bounds it.
template <bool Direct>
void CTreePainter::GrowForks(const Components& base, const Components& parent, std::int32_t level) {
    static_assert(sizeof(Fork) == kForkRecordBytes);
    GoOnForks<Direct>(OpenFork(base, parent, level));
}

// `firstLimb` tells whether the fork on top of the stack has yet to draw its first limb.
template <bool Direct> void CTreePainter::GoOnForks(bool firstLimb) {
    RandomGenerator& random = *generator_;
    while (!forks_.Empty() && !ended_) {
        Fork& fork = forks_.Top();
        // Limb k >= 2 and its subtree are done. If the clock has read one second from the
        // seeding that limb k drew from until now, limb k + 1 takes the same draws as limb k and
        // its subtree reads the same second: limbs k + 1 to n would repeat limb k exactly, and
        // leave the generator where it is now.
        if (!firstLimb && fork.steadySince != kNoRepeat) {
            ReadSecond();
            if (clockChanges_ == fork.steadySince) {
                forks_.Pop();
                continue;
            }
        }
        // Limb 1 takes other draws than limb 2, and in the last generation no fork reseeds
        // between two limbs: only limbs from the second on, above the last generation, repeat.
        const bool repeatable = path_ == GrowthPath::RepeatsOnce && fork.level < levels;
        fork.steadySince = repeatable && !firstLimb ? changesAtSeeding_ : kNoRepeat;
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

        const Components forkBase{fork.baseX, fork.baseY, fork.baseZ};
        Components limb{fork.parentX, fork.parentY, fork.parentZ};
        if constexpr (Direct) {
            limb = TurnedXY(limb, turns_.OfDegrees(turnXY));
            limb = TurnedXZ(limb, turns_.OfDegrees(turnXZ));
            limb = TurnedYZ(limb, turns_.OfDegrees(turnYZ));
            limb = {factor * limb.x, factor * limb.y, factor * limb.z};
            AddToBlock(forkBase, limb);
        } else {
            CVector turned(limb.x, limb.y, limb.z);
            turned = RotationXY(turns_.AngleOf(turnXY)) * turned;
            turned = RotationXZ(turns_.AngleOf(turnXZ)) * turned;
            turned = RotationYZ(turns_.AngleOf(turnYZ)) * turned;
            turned = turned * factor;
            place_ = {std::int64_t{fork.level} + 1, fork.limbsLeft == 0};
            DrawBranch(CVector(forkBase.x, forkBase.y, forkBase.z), turned);
            limb = {turned.x, turned.y, turned.z};
        }
        if (!Counted()) {
            return;
        }
        // A fork whose last limb is drawn has nothing left to do after that limb's subtree, so it
        // leaves the stack now, once the child has what it needs: a chain of one-limb forks then
        // holds a single record.
        const Components childBase{forkBase.x + limb.x, forkBase.y + limb.y, forkBase.z + limb.z};
        const std::int64_t childLevel = std::int64_t{fork.level} + 1;
        if (fork.limbsLeft == 0) {
            forks_.Pop();
        }
        firstLimb = OpenFork(childBase, limb, childLevel);
    }
    pausedBeforeFirstLimb_ = firstLimb;
}

} // namespace arbolith
