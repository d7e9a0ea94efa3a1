#include "tree/DrawingRun.h"

namespace arbolith {

RunResult DrawTree(DrawingSurface& surface, const TreeOrder& order, RunMonitor* monitor,
                   RandomGenerator* generator) {
    PausableRun run(surface, order, monitor, generator);
    RunResult result = run.Go();
    while (result.paused) {
        result = run.Go();
    }
    return result;
}

PausableRun::PausableRun(DrawingSurface& surface, const TreeOrder& order, RunMonitor* monitor,
                         RandomGenerator* generator)
    : order_(order), monitor_(monitor), generator_(generator) {
    surface.FillRectWhite(kClearRect);
    const TreeParameters& p = order.parameters;
    if (order.view.IsFront() && order.placement.IsIdentity()) {
        painter_ = &front_.emplace(surface, p.maxAngleXY, p.maxAngleYZ, p.maxAngleXZ, p.scaleFactor,
                                   p.limbsDegree, p.levels);
    } else {
        painter_ = &shown_.emplace(surface, p, order.view, order.placement);
    }
}

RunResult PausableRun::Go() {
    if (started_) {
        return painter_->GoOn();
    }
    started_ = true;
    return PaintTree(*painter_, order_, monitor_, generator_);
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
