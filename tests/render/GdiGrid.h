#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "surface/DrawingSurface.h"
#include "tree/TreeParameters.h"

namespace arbolith::testing {

// One picture of the grid that the Windows drawing system and the rasterizer must draw alike:
// either a whole tree by the drawing run, or a few polygons in the branch style.
struct GridCase {
    std::string name;
    int width = 0;
    int height = 0;
    bool isTree = true;
    TreeParameters tree;
    std::uint32_t second = 0;
    std::vector<std::vector<SurfacePoint>> polygons;
    PolyFillMode mode = PolyFillMode::Winding;
};

// The grid: over a thousand trees of every kind the dialog can make, then the shapes a tree
// makes at its edges, in both fill modes. The same list on every platform.
std::vector<GridCase> GdiGridCases();

// The colour of a picture before the case is drawn on it: not white, so that the run's white
// fill shows where it ends.
inline constexpr Rgb kGridGround{192, 192, 192};

// Draws the case on a surface whose every pixel has the ground colour.
void DrawGridCase(DrawingSurface& surface, const GridCase& gridCase);

// FNV-1a over the picture's pixels row by row from the top, three bytes (red, green, blue) each.
class PictureDigest {
public:
    void Add(Rgb pixel) {
        for (std::uint8_t byte : {pixel.red, pixel.green, pixel.blue}) {
            value_ = (value_ ^ byte) * 0x100000001b3ULL;
        }
    }
    std::uint64_t Value() const { return value_; }

private:
    std::uint64_t value_ = 0xcbf29ce484222325ULL;
};

// The digests of the grid's pictures as the Windows drawing system draws them, in grid order.
const std::vector<std::uint64_t>& GdiGridDigests();

} // namespace arbolith::testing
