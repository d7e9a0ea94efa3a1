#pragma once

#include <map>
#include <utility>

#include "surface/DrawingSurface.h"

namespace arbolith {

// Draws everything on two surfaces at once, such as a window and its kept picture. Each object
// it hands out stands for a pair, one object on each surface.
class MirrorSurface : public DrawingSurface {
public:
    MirrorSurface(DrawingSurface& first, DrawingSurface& second) : first_(first), second_(second) {}

    void FillRectWhite(const SurfaceRect& rect) override;
    SurfaceObject CreatePen(PenStyle style, int width, Rgb colour) override;
    SurfaceObject CreateSolidBrush(Rgb colour) override;
    void SetPolyFillMode(PolyFillMode mode) override;
    SurfaceObject SelectObject(SurfaceObject object) override;
    void Polygon(const SurfacePoint* points, int count) override;
    bool DeleteObject(SurfaceObject object) override;

private:
    using Pair = std::pair<SurfaceObject, SurfaceObject>;

    SurfaceObject Remember(Pair pair);

    DrawingSurface& first_;
    DrawingSurface& second_;
    std::map<SurfaceObject, Pair> pairs_;
    SurfaceObject nextObject_ = 1;
};

} // namespace arbolith
