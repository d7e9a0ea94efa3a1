#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "geometry/Matrix.h"
#include "geometry/Vector.h"
#include "surface/DrawingSurface.h"
#include "tree/ForkStack.h"
#include "tree/Random.h"
#include "tree/TreeOrder.h"
#include "tree/Turns.h"

namespace arbolith {

// Polled while a tree grows, every kMonitorInterval polygons, so that a front end can show
// progress and stop a long run.
class RunMonitor {
public:
    virtual ~RunMonitor() = default;
    // Returns false to stop the run.
    virtual bool KeepGoing(std::uint64_t polygonsDrawn) = 0;
    // Asked by a writer once its output is complete, before it is put in place: false still
    // stops it, so that a stop asked for at the very end leaves no file either. Asked too while
    // the output waits on a stream's reader, which false stops waiting for.
    virtual bool MayFinish() { return true; }
    // Asked at the same polls once KeepGoing has let the run go on, in a run that can pause (see
    // PausableRun): true pauses it there, everything counted drawn, until it is resumed.
    virtual bool Pause(std::uint64_t /*polygonsDrawn*/) { return false; }
};

inline constexpr std::uint64_t kMonitorInterval = 4096;

// How a run ended.
struct RunResult {
    // Polygons drawn, the trunk included.
    std::uint64_t polygons = 0;
    // The monitor stopped it.
    bool stopped = false;
    // The tree nests deeper than a run can hold (see kMaxUnfinishedForks).
    bool forkLimitReached = false;
    // The monitor paused it: GoOn draws the rest.
    bool paused = false;
    // Everything the order asks for is drawn: the whole tree, or as much as its branch limit.
    bool Complete() const { return !stopped && !forkLimitReached && !paused; }
};

// A run keeps a record of 64 bytes for each fork that still has limbs to draw. A fork's first
// limb grows its whole subtree before the next limb, so a tree of two or more limbs per fork
// holds one record for every level it descends. This many records, 64 MiB, take a run a million
// levels deep; a tree that needs more stops there. It could never finish anyway: with two limbs
// per fork it has more than 2^1048576 branches. A chain of one limb holds one record at any depth.
inline constexpr std::size_t kForkRecordBytes = 64;
inline constexpr std::size_t kMaxUnfinishedForks = std::size_t{1} << 20;

// A random limb count is a draw modulo this: 0 to 19 limbs.
inline constexpr int kRandomLimbModulus = 20;

// Where a branch stands in its tree: the trunk is level 0, a limb one level above its parent, and
// `lastOfFork` tells that its fork draws no limb after it (and its subtree).
struct BranchPlace {
    std::int64_t level = 0;
    bool lastOfFork = true;
};

inline constexpr Rgb kBranchOutline{0, 0, 0};
inline constexpr Rgb kBranchFill{141, 105, 20};

// Draws one tree on a surface: branches as filled quadrilaterals, the three plane rotations,
// and the generator that grows the tree. Virtual slot order: destructor, Grow, DrawBranch,
// RotationXY, RotationXZ, RotationYZ.
class CTreePainter {
public:
    CTreePainter(DrawingSurface& surface, std::int32_t maxAngleXY, std::int32_t maxAngleYZ,
                 std::int32_t maxAngleXZ, double scaleFactor, std::int32_t limbsDegree,
                 std::int32_t levels);
    CTreePainter(const CTreePainter&) = delete;
    CTreePainter& operator=(const CTreePainter&) = delete;
    virtual ~CTreePainter();

    virtual void Grow(CVector base, CVector parent, std::int32_t level);
    virtual void DrawBranch(CVector base, CVector vector);
    virtual CMatrix RotationXY(double angle);
    virtual CMatrix RotationXZ(double angle);
    virtual CMatrix RotationYZ(double angle);

    // What the run takes from its order: the clock it reads at every fork, the path through
    // coinciding limbs and the branch limit. Without an order the painter reads the system clock,
    // on the repeats-once path, without a limit.
    void SetOrder(const TreeOrder& order);
    // The generator the forks draw from: the painter's own unless another is handed over.
    void SetGenerator(RandomGenerator& generator) { generator_ = &generator; }
    void SetMonitor(RunMonitor* monitor);
    // The most unfinished forks a run may hold; kMaxUnfinishedForks unless a test asks for fewer.
    void SetForkLimit(std::size_t forks) { forkLimit_ = forks; }

    // A drawing run's work on this painter: the trunk from `base` along `trunk`, then the tree
    // above it, through the virtual operations.
    RunResult DrawTreeFrom(CVector base, CVector trunk);
    // Goes on with a run the monitor paused, from where it paused, as if it had never paused.
    RunResult GoOn();

    // True once the run has stopped before its end, by the monitor or at the fork limit; no
    // branch is drawn after that.
    bool Stopped() const { return stopped_; }
    // True if the run stopped because the tree nests deeper than the fork limit.
    bool ForkLimitReached() const { return forkLimitReached_; }
    // Polygons drawn so far: the trunk, if DrawTreeFrom drew it, and every limb.
    std::uint64_t PolygonsDrawn() const { return polygons_; }

protected:
    // The place of the branch DrawBranch is drawing, for a class that draws branches otherwise.
    const BranchPlace& Place() const { return place_; }
    // Draws a branch whose four corners a class has worked out otherwise, as DrawBranch would.
    void DrawCorners(const SurfacePoint* corners);
    // Outlines the branches with a pen this many pixels wide instead of one.
    void SetOutlineWidth(int width);

private:
    // A fork with limbs still to draw. Plain components rather than vectors keep it at 64 bytes.
    struct Fork {
        double baseX, baseY, baseZ;
        double parentX, parentY, parentZ;
        std::int32_t level;
        std::int32_t limbsLeft;
        // For a limb under way that the limbs after it would repeat, the clock's count of
        // changes at the seeding its draws come from; kNoRepeat otherwise.
        std::uint64_t steadySince;
    };
    static constexpr std::uint64_t kNoRepeat = ~std::uint64_t{0};
    // Branches handed to a surface that takes blocks go this many at a time.
    static constexpr std::size_t kBlockBranches = 256;
    // A vector's components, for arithmetic that needs no virtual table.
    struct Components {
        double x, y, z;
    };

    // The run's forks, depth first. `Direct` calls the painter's own operations straight, for a
    // painter of this very class on a surface that takes blocks; otherwise every call goes
    // through the virtual table.
    template <bool Direct>
    void GrowForks(const Components& base, const Components& parent, std::int32_t level);
    // The loop of GrowForks, from the fork on top of the stack.
    template <bool Direct> void GoOnForks(bool firstLimb);
    // Whether growth calls the painter's own operations straight (see GrowForks).
    bool GrowsDirectly() const;
    RunResult Result() const;
    bool OpenFork(const Components& base, const Components& parent, std::int64_t level);
    // Adds the branch's corners to the block, handing the block over once it is full.
    void AddToBlock(const Components& base, const Components& vector);
    // Hands the branches gathered for a surface that takes blocks over to it.
    void HandOverBlock();
    // Reads the clock, counting every change of the second it reads.
    std::uint32_t ReadSecond();
    // Counts a polygon just drawn; false once the run must end, at the branch limit or because
    // the monitor stopped it.
    bool Counted() { return ++polygons_ < nextCheck_ || Checkpoint(); }
    bool Checkpoint();

    DrawingSurface& surface;
    SurfaceObject pen;
    SurfaceObject brush;
    SurfaceObject previousPen;
    SurfaceObject previousBrush;
    std::int32_t maxAngleXY;
    std::int32_t maxAngleXZ;
    std::int32_t maxAngleYZ;
    double scaleFactor;
    std::int32_t limbsDegree;
    std::int32_t levels;

    // Whether the surface takes branches in blocks, and the block being gathered.
    bool blocks_;
    std::array<SurfacePoint, 4 * kBlockBranches> block_;
    std::size_t blockCorners_ = 0;

    DrawRemainder turnXY_;
    DrawRemainder turnXZ_;
    DrawRemainder turnYZ_;
    TurnTable turns_;

    RandomGenerator ownGenerator_;
    RandomGenerator* generator_ = &ownGenerator_;
    std::uint32_t second_ = 0;
    ClockReading clock_ = &SystemClockSeconds;
    GrowthPath path_ = GrowthPath::RepeatsOnce;
    std::uint64_t branchLimit_ = kNoBranchLimit;
    RunMonitor* monitor_ = nullptr;
    std::size_t forkLimit_ = kMaxUnfinishedForks;
    bool stopped_ = false;
    bool forkLimitReached_ = false;
    // The run has drawn all it may for now: stopped, paused, or at the branch limit.
    bool ended_ = false;
    // A paused run goes on from the fork on top of the stack, which has yet to draw its first
    // limb if `pausedBeforeFirstLimb_`.
    bool paused_ = false;
    bool pausedBeforeFirstLimb_ = false;
    std::uint64_t polygons_ = 0;
    // The polygon count at which Checkpoint must look at the limit or ask the monitor.
    std::uint64_t nextCheck_ = kNoBranchLimit;
    std::uint32_t lastSecond_ = 0;
    std::uint64_t clockChanges_ = 0;
    ForkStack<Fork> forks_;
    std::uint64_t changesAtSeeding_ = 0;
    BranchPlace place_;
};

} // namespace arbolith
