#pragma once

#include <windows.h>

#include "surface/DrawingSurface.h"

namespace arbolith {

// The drawing surface on a device context. Pens and brushes are GDI objects, handed out as
// their handles.
//
// A polygon reaching far off the surface is drawn from its visible part: the drawing system's
// arithmetic takes seconds for such a polygon, and gets it wrong where an edge spans 2^31 pixels
// or more. The visible part has the very same pixels on the surface (surface/VisiblePolygon.h),
// drawn as its fill without an outline and its outline as straight runs.
class GdiSurface : public DrawingSurface {
public:
    explicit GdiSurface(HDC deviceContext);

    void FillRectWhite(const SurfaceRect& rect) override;
    SurfaceObject CreatePen(PenStyle style, int width, Rgb colour) override;
    SurfaceObject CreateSolidBrush(Rgb colour) override;
    void SetPolyFillMode(PolyFillMode mode) override;
    SurfaceObject SelectObject(SurfaceObject object) override;
    void Polygon(const SurfacePoint* points, int count) override;
    bool DeleteObject(SurfaceObject object) override;

private:
    void DrawVisiblePart(const SurfacePoint* points, int count);

    HDC deviceContext_;
    // The surface's extent from its origin, as far as it can show anything.
    int width_ = 0;
    int height_ = 0;
};

} // namespace arbolith
