#include "tree/DrawingRun.h"

namespace arbolith {

bool DrawTreeRun(DrawingSurface& surface, const TreeParameters& parameters, RunMonitor* monitor,
                 GrowthPath path) {
    surface.FillRectWhite(kClearRect);
    const CVector base(parameters.referencePoint.x, parameters.referencePoint.y,
                       parameters.referencePoint.z);
    const CVector trunk(parameters.firstVector.x, parameters.firstVector.y,
                        parameters.firstVector.z);
    CTreePainter painter(surface, parameters.maxAngleXY, parameters.maxAngleYZ,
                         parameters.maxAngleXZ, parameters.scaleFactor, parameters.limbsDegree,
                         parameters.levels);
    painter.SetMonitor(monitor);
    painter.SetGrowthPath(path);
    painter.DrawBranch(base, trunk);
    const CVector top = trunk + base;
    painter.Grow(top, trunk, 0);
    return !painter.Stopped();
}

} // namespace arbolith
