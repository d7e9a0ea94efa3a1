#pragma once

#include <cstdint>

#include <QPainter>
#include <QPoint>
#include <QRectF>
#include <QVarLengthArray>

#include "render/SurfaceObjects.h"
#include "tree/DrawingSurface.h"

namespace arbolith {

// A drawing surface on a painter, whatever it paints on (image, widget, PDF). Branches are
// drawn without antialiasing, each an opaque overwrite of its pixels. Coordinates are the
// painter's logical ones; the painter must stay active while the surface is used.
class PainterSurface : public DrawingSurface {
public:
    explicit PainterSurface(QPainter& painter);

    void FillRectWhite(const SurfaceRect& rect) override;
    SurfaceObject CreatePen(PenStyle style, int width, Rgb colour) override;
    SurfaceObject CreateSolidBrush(Rgb colour) override;
    void SetPolyFillMode(PolyFillMode mode) override;
    SurfaceObject SelectObject(SurfaceObject object) override;
    void Polygon(const SurfacePoint* points, int count) override;
    bool DeleteObject(SurfaceObject object) override;

    const SurfaceObjects& Objects() const { return objects_; }
    PolyFillMode FillMode() const { return fillMode_; }

    // How far beyond the painter's window a polygon may reach before it is clipped. Far-flung
    // corners (the core saturates at the 32-bit bounds) are cut down to this distance, where
    // the cut cannot show and every paint device handles the numbers.
    static constexpr int kClipMargin = 1 << 16;

private:
    void UseSelectedObjects();

    QPainter& painter_;
    SurfaceObjects objects_;
    PolyFillMode fillMode_ = PolyFillMode::Alternate;
    bool objectsChanged_ = true;
    QRectF clipBounds_;
    std::int64_t clipLeft_ = 0;
    std::int64_t clipTop_ = 0;
    std::int64_t clipRight_ = 0;
    std::int64_t clipBottom_ = 0;
    QVarLengthArray<QPoint, 8> corners_;
};

} // namespace arbolith
