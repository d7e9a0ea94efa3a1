#include "tree/DrawingRun.h"

#include "tree/ShownPainter.h"

namespace arbolith {

RunResult DrawTree(DrawingSurface& surface, const TreeOrder& order, RunMonitor* monitor,
                   RandomGenerator* generator) {
    surface.FillRectWhite(kClearRect);
    const TreeParameters& p = order.parameters;
    if (order.view.IsFront() && order.placement.IsIdentity()) {
        CTreePainter painter(surface, p.maxAngleXY, p.maxAngleYZ, p.maxAngleXZ, p.scaleFactor,
                             p.limbsDegree, p.levels);
        return PaintTree(painter, order, monitor, generator);
    }
    ShownPainter painter(surface, p, order.view, order.placement);
    return PaintTree(painter, order, monitor, generator);
}

RunResult PaintTree(CTreePainter& painter, const TreeOrder& order, RunMonitor* monitor,
                    RandomGenerator* generator) {
    const TreeParameters& p = order.parameters;
    const CVector base(p.referencePoint.x, p.referencePoint.y, p.referencePoint.z);
    const CVector trunk(p.firstVector.x, p.firstVector.y, p.firstVector.z);
    painter.SetOrder(order);
    painter.SetMonitor(monitor);
    if (generator != nullptr) {
        painter.SetGenerator(*generator);
    }
    return painter.DrawTreeFrom(base, trunk);
}

} // namespace arbolith
