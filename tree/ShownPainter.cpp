#include "tree/ShownPainter.h"

#include "surface/PixelMath.h"
#include "tree/BranchWidth.h"

namespace arbolith {

void PlacedCorners(const CVector& base, const CVector& vector, const Placement& placement,
                   SurfacePoint* corners) {
    // As the plain painter's corners, with the scale and offset put in before truncating: the
    // identity gives its very numbers.
    const double s = placement.scale;
    const double baseX = s * base.x + placement.dx;
    const double baseY = s * base.y + placement.dy;
    const double endX = s * (base.x + vector.x) + placement.dx;
    const double endY = s * (base.y + vector.y) + placement.dy;
    const double wb = s * BranchHalfWidth(base.z);
    const double we = s * BranchHalfWidth(base.z + vector.z);
    corners[0] = {TruncateToPixel(baseX - wb), TruncateToPixel(baseY)};
    corners[1] = {TruncateToPixel(baseX + wb), TruncateToPixel(baseY)};
    corners[2] = {TruncateToPixel(endX + we), TruncateToPixel(endY)};
    corners[3] = {TruncateToPixel(endX - we), TruncateToPixel(endY)};
}

ShownPainter::ShownPainter(DrawingSurface& target, const TreeParameters& parameters,
                           ViewAngles view, Placement placement)
    : CTreePainter(target, parameters.maxAngleXY, parameters.maxAngleYZ, parameters.maxAngleXZ,
                   parameters.scaleFactor, parameters.limbsDegree, parameters.levels),
      view_(view), turn_(view, CVector(parameters.referencePoint.x, parameters.referencePoint.y,
                                       parameters.referencePoint.z)),
      placement_(placement) {
    if (OutlineWidth(placement_.scale) != 1) {
        SetOutlineWidth(OutlineWidth(placement_.scale));
    }
}

void ShownPainter::DrawBranch(CVector base, CVector vector) {
    if (!view_.IsFront()) {
        base = turn_.Point(base);
        vector = turn_.Vector(vector);
    }
    if (placement_.IsIdentity()) {
        CTreePainter::DrawBranch(base, vector);
        return;
    }
    SurfacePoint corners[4];
    PlacedCorners(base, vector, placement_, corners);
    DrawCorners(corners);
}

} // namespace arbolith
