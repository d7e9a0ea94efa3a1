#include <gtest/gtest.h>

#include "render/RasterSurface.h"
#include "tests/render/GdiGrid.h"
#include "tests/render/ImageDigest.h"

namespace arbolith::testing {
namespace {

std::uint64_t RasterDigestOf(const GridCase& gridCase) {
    PixelImage image(gridCase.width, gridCase.height, PixelOf(kGridGround));
    RasterSurface surface(image);
    DrawGridCase(surface, gridCase);
    return DigestOf(image);
}

// Every picture of the grid, pixel for pixel as the Windows drawing system drew it under Wine
// (the digests the Windows suite checks too).
TEST(RasterGridTest, DrawsEveryPictureOfTheGridAsTheWindowsDrawingSystem) {
    const std::vector<GridCase> cases = GdiGridCases();
    const std::vector<std::uint64_t>& digests = GdiGridDigests();
    ASSERT_EQ(digests.size(), cases.size());
    int trees = 0;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(RasterDigestOf(cases[i]), digests[i]) << cases[i].name;
        trees += cases[i].isTree ? 1 : 0;
    }
    EXPECT_GE(trees, 1000);
}

} // namespace
} // namespace arbolith::testing
