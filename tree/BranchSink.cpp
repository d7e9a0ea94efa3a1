#include "tree/BranchSink.h"

#include "tree/DrawingRun.h"

namespace arbolith {

namespace {

// The painter needs a surface for its pen and brush; nothing is ever drawn on this one.
class NoSurface final : public DrawingSurface {
public:
    void FillRectWhite(const SurfaceRect&) override {}
    SurfaceObject CreatePen(PenStyle, int, Rgb) override { return 0; }
    SurfaceObject CreateSolidBrush(Rgb) override { return 0; }
    void SetPolyFillMode(PolyFillMode) override {}
    SurfaceObject SelectObject(SurfaceObject) override { return 0; }
    void Polygon(const SurfacePoint*, int) override {}
    bool DeleteObject(SurfaceObject) override { return true; }
};

class SinkPainter final : public CTreePainter {
public:
    SinkPainter(DrawingSurface& target, const TreeParameters& p, BranchSink& sink)
        : CTreePainter(target, p.maxAngleXY, p.maxAngleYZ, p.maxAngleXZ, p.scaleFactor,
                       p.limbsDegree, p.levels),
          sink_(sink) {}

    void DrawBranch(CVector base, CVector vector) override { sink_.Branch(base, vector, Place()); }

private:
    BranchSink& sink_;
};

} // namespace

RunResult GrowTreeBranches(BranchSink& sink, const TreeOrder& order, RunMonitor* monitor) {
    NoSurface surface;
    SinkPainter painter(surface, order.parameters, sink);
    return PaintTree(painter, order, monitor);
}

} // namespace arbolith
