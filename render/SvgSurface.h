#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QSize>

#include "render/SurfaceObjects.h"
#include "tree/DrawingSurface.h"

namespace arbolith {

// A drawing surface that writes an SVG document as it is drawn on: every polygon becomes its
// own <polygon> element, in drawing order, with exactly the integer corners it was given, and
// every white fill a white <rect>. What the file says is what was drawn. Polygons sharing a
// pen, brush and fill rule are grouped under one <g> carrying that style.
class SvgSurface : public DrawingSurface {
public:
    // Writes the document's head at once; `canvas` is its width and height in pixels.
    SvgSurface(QIODevice& device, QSize canvas);

    void FillRectWhite(const SurfaceRect& rect) override;
    SurfaceObject CreatePen(PenStyle style, int width, Rgb colour) override;
    SurfaceObject CreateSolidBrush(Rgb colour) override;
    void SetPolyFillMode(PolyFillMode mode) override;
    SurfaceObject SelectObject(SurfaceObject object) override;
    void Polygon(const SurfacePoint* points, int count) override;
    bool DeleteObject(SurfaceObject object) override;

    // Writes the document's tail. False if any write to the device failed.
    bool Finish();

    const SurfaceObjects& Objects() const { return objects_; }

private:
    // The style attributes of the pen, brush and fill rule in use.
    QByteArray CurrentStyle();
    void CloseGroup();
    void Flush();

    QIODevice& device_;
    QByteArray buffer_;
    SurfaceObjects objects_;
    PolyFillMode fillMode_ = PolyFillMode::Alternate;
    // The style attributes of the open <g>, empty when none is open.
    QByteArray openStyle_;
    QByteArray style_;
    bool styleChanged_ = true;
    bool failed_ = false;
};

} // namespace arbolith
