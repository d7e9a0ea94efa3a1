#pragma once

#include <cstddef>
#include <cstdint>

#include "geometry/Matrix.h"
#include "geometry/Vector.h"
#include "tree/DrawingSurface.h"
#include "tree/Turns.h"

namespace arbolith {

// Polled while a tree grows, so that a front end can show progress and stop a long run.
class RunMonitor {
public:
    virtual ~RunMonitor() = default;
    // Returns false to stop the run.
    virtual bool KeepGoing(std::uint64_t branchesDrawn) = 0;
};

// Within one clock second every fork starts the generator afresh, so in each fork below the last
// generation limbs 2 to n take the same draws and coincide, subtrees and all. Painting the same
// opaque polygons again changes no pixel, so by default such a group is drawn once; the literal
// path draws every polygon. A fork skips its repeats only if the clock has held its second since
// the seeding that the repeated limb drew from; otherwise it goes on limb by limb.
enum class GrowthPath { RepeatsOnce, Literal };

// A run keeps a record of 64 bytes for each fork that still has limbs to draw. A fork's first
// limb grows its whole subtree before the next limb, so a tree of two or more limbs per fork
// holds one record for every level it descends. This many records, 64 MiB, take a run a million
// levels deep; a tree that needs more stops there. It could never finish anyway: with two limbs
// per fork it has more than 2^1048576 branches. A chain of one limb holds one record at any depth.
inline constexpr std::size_t kForkRecordBytes = 64;
inline constexpr std::size_t kMaxUnfinishedForks = std::size_t{1} << 20;

// A random limb count is a draw modulo this: 0 to 19 limbs.
inline constexpr int kRandomLimbModulus = 20;

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

    void SetMonitor(RunMonitor* monitor) { monitor_ = monitor; }
    void SetGrowthPath(GrowthPath path) { path_ = path; }
    // The most unfinished forks a run may hold; kMaxUnfinishedForks unless a test asks for fewer.
    void SetForkLimit(std::size_t forks) { forkLimit_ = forks; }
    // True once the run has stopped before its end, by the monitor or at the fork limit; no
    // branch is drawn after that.
    bool Stopped() const { return stopped_; }
    // True if the run stopped because the tree nests deeper than the fork limit.
    bool ForkLimitReached() const { return forkLimitReached_; }
    std::uint64_t BranchesDrawn() const { return branchesDrawn_; }

private:
    // Reads the clock, counting every change of the second it reads.
    std::uint32_t ReadSecond();

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

    DrawRemainder turnXY_;
    DrawRemainder turnXZ_;
    DrawRemainder turnYZ_;
    TurnTable turns_;

    RunMonitor* monitor_ = nullptr;
    GrowthPath path_ = GrowthPath::RepeatsOnce;
    std::size_t forkLimit_ = kMaxUnfinishedForks;
    bool stopped_ = false;
    bool forkLimitReached_ = false;
    std::uint64_t branchesDrawn_ = 0;
    std::uint32_t lastSecond_ = 0;
    std::uint64_t clockChanges_ = 0;
};

} // namespace arbolith
