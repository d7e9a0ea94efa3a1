#pragma once

#include <windows.h>

#include "tree/DrawingSurface.h"

namespace arbolith {

// The drawing surface on a device context. Pens and brushes are GDI objects, handed out as
// their handles.
class GdiSurface : public DrawingSurface {
public:
    explicit GdiSurface(HDC deviceContext) : deviceContext_(deviceContext) {}

    void FillRectWhite(const SurfaceRect& rect) override;
    SurfaceObject CreatePen(PenStyle style, int width, Rgb colour) override;
    SurfaceObject CreateSolidBrush(Rgb colour) override;
    void SetPolyFillMode(PolyFillMode mode) override;
    SurfaceObject SelectObject(SurfaceObject object) override;
    void Polygon(const SurfacePoint* points, int count) override;
    bool DeleteObject(SurfaceObject object) override;

private:
    HDC deviceContext_;
};

} // namespace arbolith
