#pragma once

#include <cstdint>

#include "surface/DrawingSurface.h"

namespace arbolith {

// A surface that only counts polygons, so that a benchmark measures growth alone.
class CountingSurface : public DrawingSurface {
public:
    void FillRectWhite(const SurfaceRect&) override {}
    SurfaceObject CreatePen(PenStyle, int, Rgb) override { return 1; }
    SurfaceObject CreateSolidBrush(Rgb) override { return 2; }
    void SetPolyFillMode(PolyFillMode) override {}
    SurfaceObject SelectObject(SurfaceObject) override { return 0; }
    void Polygon(const SurfacePoint* points, int) override {
        ++polygons;
        // Keep the corners observable so that nothing upstream is optimised away.
        checksum +=
            static_cast<std::uint32_t>(points[2].x) ^ static_cast<std::uint32_t>(points[3].y);
    }
    bool TakesBlocks() const override { return true; }
    void Quadrilaterals(const SurfacePoint* corners, std::size_t count) override {
        for (std::size_t i = 0; i < count; ++i) {
            CountingSurface::Polygon(corners + 4 * i, 4);
        }
    }
    bool DeleteObject(SurfaceObject) override { return true; }

    std::uint64_t polygons = 0;
    std::uint32_t checksum = 0;
};

} // namespace arbolith
