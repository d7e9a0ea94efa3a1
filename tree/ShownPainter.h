#pragma once

#include "surface/DrawingSurface.h"
#include "tree/Placement.h"
#include "tree/TreePainter.h"
#include "tree/TreeParameters.h"
#include "tree/ViewAngles.h"
#include "tree/ViewTurn.h"

namespace arbolith {

// Draws every branch as a picture shows it: its base and vector turned to the view, then placed,
// with the usual corners and width worked out from the turned base, vector and depth and scaled
// with the rest; the outline is as wide as the placement's scale. A run that neither turns nor
// places the tree takes the plain painter, which draws the same pixels sooner.
class ShownPainter final : public CTreePainter {
public:
    ShownPainter(DrawingSurface& target, const TreeParameters& parameters, ViewAngles view,
                 Placement placement);

    void DrawBranch(CVector base, CVector vector) override;

private:
    ViewAngles view_;
    ViewTurn turn_;
    Placement placement_;
};

// The corners of the branch from `base` along `vector` at the placement: the canvas's corners of
// the branch, worked out from its placed ends and its half-widths times the scale.
void PlacedCorners(const CVector& base, const CVector& vector, const Placement& placement,
                   SurfacePoint* corners);

} // namespace arbolith
