#pragma once

#include <cstdint>
#include <string>

#include "render/ByteSink.h"
#include "render/SurfaceObjects.h"
#include "surface/DrawingSurface.h"

namespace arbolith {

// A drawing surface that writes an SVG document as it is drawn on: every polygon becomes its
// own <polygon> element, in drawing order, with exactly the integer corners it was given, and
// every white fill a white <rect>. What the file says is what was drawn. Polygons sharing a
// pen, brush and fill rule are grouped under one <g> carrying that style. The text goes to the
// sink in large chunks as it is made, so memory stays flat whatever the tree's size.
class SvgSurface : public ObjectSurface {
public:
    // Writes the document's head at once; the canvas is `width` x `height` pixels.
    SvgSurface(const ByteSink& sink, int width, int height);

    void FillRectWhite(const SurfaceRect& rect) override;
    void Polygon(const SurfacePoint* points, int count) override;

    // Writes the document's tail. False if the sink gave up at any point.
    bool Finish();

private:
    void StyleChanged() override { styleChanged_ = true; }
    void CloseGroup();

    ChunkedSink out_;
    // The style attributes of the pen, brush and fill rule in use, and of the open <g> (empty
    // when none is open).
    std::string style_;
    std::string openStyle_;
    bool styleChanged_ = true;
    // True while the open <g> carries the style in use, so most polygons compare nothing.
    bool inStyledGroup_ = false;
};

// The most bytes the SVG of a tree of `polygons` branches can take on a canvas of `width` x
// `height` pixels: its white ground, one style for all, and four corners a branch, each number as
// long as 32 bits can make it.
std::uint64_t SvgMostBytes(std::uint64_t polygons, int width, int height);

} // namespace arbolith
