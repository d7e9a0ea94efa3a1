#pragma once

#include "render/PixelImage.h"
#include "render/PolygonRaster.h"
#include "render/SurfaceObjects.h"
#include "surface/DrawingSurface.h"

namespace arbolith {

// The drawing surface on a picture in memory, with the pixels of the Windows drawing system:
// a polygon is filled by the selected fill mode, then outlined with the selected pen, one pixel
// wide (the width the tree uses); a wider pen, which a tree drawn larger uses, by the rule of
// DrawWidePolygon. Drawing may be kept to a band of rows, so that several
// surfaces can share one picture, each drawing its own rows.
class RasterSurface final : public ObjectSurface {
public:
    explicit RasterSurface(PixelImage& image) : RasterSurface(image, {0, image.Height()}) {}
    RasterSurface(PixelImage& image, RowBand band) : image_(image), band_(band) {}

    void FillRectWhite(const SurfaceRect& rect) override;
    void Polygon(const SurfacePoint* points, int count) override;
    bool TakesBlocks() const override { return true; }
    void Quadrilaterals(const SurfacePoint* corners, std::size_t count) override;

private:
    void StyleChanged() override;

    PixelImage& image_;
    RowBand band_;
    Pixel penPixel_ = PixelOf(SurfaceObjects::Pen{}.colour);
    Pixel brushPixel_ = PixelOf(SurfaceObjects::Brush{}.colour);
    int penWidth_ = 1;
};

} // namespace arbolith
