#pragma once

#include <cstdint>

#include "geometry/Matrix.h"
#include "geometry/Vector.h"
#include "tree/DrawingSurface.h"

namespace arbolith {

// Polled while a tree grows, so that a front end can show progress and stop a long run.
class RunMonitor {
public:
    virtual ~RunMonitor() = default;
    // Returns false to stop the run.
    virtual bool KeepGoing(std::uint64_t branchesDrawn) = 0;
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

    void SetMonitor(RunMonitor* monitor) { monitor_ = monitor; }
    // True once the monitor has stopped the run; no branch is drawn after that.
    bool Stopped() const { return stopped_; }
    std::uint64_t BranchesDrawn() const { return branchesDrawn_; }

private:
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

    RunMonitor* monitor_ = nullptr;
    bool stopped_ = false;
    std::uint64_t branchesDrawn_ = 0;
};

// Turns a draw into an angle in radians: the draw modulo the bound, in whole degrees. A bound
// of 0 has no remainder, so that plane gets no turn; the draw is still taken, which keeps the
// other planes' draws where they would be.
double TurnAngle(int draw, std::int32_t maxAngle);

} // namespace arbolith
