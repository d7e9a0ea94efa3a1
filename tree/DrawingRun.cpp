#include "tree/DrawingRun.h"

namespace arbolith {

bool DrawTreeRun(DrawingSurface& surface, const TreeParameters& parameters, RunMonitor* monitor,
                 GrowthPath path) {
    surface.FillRectWhite(kClearRect);
    CTreePainter painter(surface, parameters.maxAngleXY, parameters.maxAngleYZ,
                         parameters.maxAngleXZ, parameters.scaleFactor, parameters.limbsDegree,
                         parameters.levels);
    return PaintTree(painter, parameters, monitor, path);
}

bool DrawTurnedTreeRun(DrawingSurface& surface, const TreeParameters& parameters, ViewAngles view,
                       RunMonitor* monitor, GrowthPath path) {
    if (view.IsFront()) {
        return DrawTreeRun(surface, parameters, monitor, path);
    }
    surface.FillRectWhite(kClearRect);
    TurnedPainter painter(surface, parameters, view);
    return PaintTree(painter, parameters, monitor, path);
}

bool PaintTree(CTreePainter& painter, const TreeParameters& parameters, RunMonitor* monitor,
               GrowthPath path) {
    const CVector base(parameters.referencePoint.x, parameters.referencePoint.y,
                       parameters.referencePoint.z);
    const CVector trunk(parameters.firstVector.x, parameters.firstVector.y,
                        parameters.firstVector.z);
    painter.SetMonitor(monitor);
    painter.SetGrowthPath(path);
    painter.DrawBranch(base, trunk);
    const CVector top = trunk + base;
    painter.Grow(top, trunk, 0);
    return !painter.Stopped();
}

} // namespace arbolith
