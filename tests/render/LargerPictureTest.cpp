// Pictures drawn larger: the wide outline's rule, the tree scaled and placed, and the placement
// that fits a tree to its picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "output/Formats.h"
#include "render/RasterPicture.h"
#include "render/RasterSurface.h"
#include "tests/render/ReferenceRaster.h"
#include "tree/DrawingRun.h"
#include "tree/ExampleTree.h"
#include "tree/PictureFit.h"

namespace arbolith {
namespace {

const Pixel kBrown = PixelOf(kBranchFill);
const Pixel kBlack = PixelOf(kBranchOutline);

PixelImage DrawWide(int width, int height, const std::vector<SurfacePoint>& corners, int pen,
                    PolyFillMode mode) {
    PixelImage image(width, height);
    RasterSurface surface(image);
    surface.SetPolyFillMode(mode);
    surface.SelectObject(surface.CreatePen(PenStyle::Solid, pen, kBranchOutline));
    surface.SelectObject(surface.CreateSolidBrush(kBranchFill));
    surface.Polygon(corners.data(), static_cast<int>(corners.size()));
    return image;
}

// The wide outline as its rule says, pixel by pixel: the fill, then a square of pen x pen
// pixels for every pixel of the one-pixel outline, that pixel at its top left. The thin outline
// is found on a larger picture, so that its pixels up to a square's width above and left of the
// picture count too.
PixelImage ReferenceWide(int width, int height, std::vector<SurfacePoint> corners, int pen,
                         PolyFillMode mode) {
    PixelImage expected(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (corners.size() >= 3 && testing::ReferenceRaster::Inside(corners, x, y, mode)) {
                expected.Row(y)[x] = kBrown;
            }
        }
    }
    const int reach = pen - 1;
    for (SurfacePoint& corner : corners) {
        corner = {corner.x + reach, corner.y + reach};
    }
    PixelImage thin(width + reach, height + reach);
    for (std::size_t i = 0; i < corners.size(); ++i) {
        testing::ReferenceRaster::Line(thin, corners[i], corners[(i + 1) % corners.size()], kBlack);
    }
    for (int y = 0; y < thin.Height(); ++y) {
        for (int x = 0; x < thin.Width(); ++x) {
            if (thin.At(x, y) != kBlack) {
                continue;
            }
            for (int sy = std::max(y - reach, 0); sy <= std::min(y, height - 1); ++sy) {
                for (int sx = std::max(x - reach, 0); sx <= std::min(x, width - 1); ++sx) {
                    expected.Row(sy)[sx] = kBlack;
                }
            }
        }
    }
    return expected;
}

TEST(LargerPictureTest, AWideOutlineGrowsEveryPixelOfTheThinOneIntoASquare) {
    std::mt19937 random(2027);
    for (int round = 0; round < 1500; ++round) {
        const int pen = 2 + round % 5;
        std::vector<SurfacePoint> polygon(2 + random() % 5);
        for (SurfacePoint& corner : polygon) {
            corner = {static_cast<std::int32_t>(random() % 52) - 8,
                      static_cast<std::int32_t>(random() % 42) - 8};
        }
        if (round % 3 == 0 && polygon.size() == 4) { // a branch's shape
            polygon[1].y = polygon[0].y;
            polygon[3].y = polygon[2].y;
        }
        const PolyFillMode mode = round % 2 ? PolyFillMode::Alternate : PolyFillMode::Winding;
        ASSERT_EQ(DrawWide(40, 30, polygon, pen, mode), ReferenceWide(40, 30, polygon, pen, mode))
            << "round " << round << ", pen " << pen;
    }
}

// Why the squares lie right of and below their pixel: an upright shape with its corners K
// times as far out, outlined K pixels wide, is its one-pixel picture magnified K times.
TEST(LargerPictureTest, AnUprightShapeKTimesLargerIsItsPictureMagnified) {
    const std::vector<std::vector<SurfacePoint>> shapes{
        {{2, 3}, {7, 3}, {7, 9}, {2, 9}},
        {{4, 1}, {4, 1}, {4, 8}, {4, 8}},
        {{1, 5}, {9, 5}, {9, 5}, {1, 5}},
        {{5, 5}, {5, 5}, {5, 5}, {5, 5}},
    };
    for (const auto& shape : shapes) {
        const PixelImage small = DrawWide(12, 12, shape, 1, PolyFillMode::Winding);
        for (const int k : {2, 3, 5}) {
            std::vector<SurfacePoint> large;
            for (const SurfacePoint corner : shape) {
                large.push_back({k * corner.x, k * corner.y});
            }
            PixelImage magnified(12 * k, 12 * k);
            for (int y = 0; y < magnified.Height(); ++y) {
                for (int x = 0; x < magnified.Width(); ++x) {
                    magnified.Row(y)[x] = small.At(x / k, y / k);
                }
            }
            EXPECT_EQ(DrawWide(12 * k, 12 * k, large, k, PolyFillMode::Winding), magnified)
                << shape[0].x << ',' << shape[0].y << " at " << k;
        }
    }
}

// The smallest rectangle holding the picture's pixels that are not white.
PictureBox Inked(const PixelImage& image) {
    int left = image.Width(), top = image.Height(), right = 0, bottom = 0;
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            if (image.At(x, y) != kWhitePixel) {
                left = std::min(left, x);
                right = std::max(right, x + 1);
                top = std::min(top, y);
                bottom = std::max(bottom, y + 1);
            }
        }
    }
    return {double(left), double(top), double(right), double(bottom)};
}

const TreeOrder kTree{kExampleTree, 1000000006};

// A whole shift moves every pixel; a scale K puts each side of the tree within K pixels of K
// times the side at 1 (a corner is truncated after scaling, not before); the box the run
// measures is the box it draws.
TEST(LargerPictureTest, APlacedTreeIsItsPictureMovedAndScaled) {
    const PixelImage plain = *RenderTreeImage(kTree, 560, 670);
    const PictureBox box = Inked(plain);
    EXPECT_EQ(MeasurePicture(kTree)->right, box.right);

    TreeOrder moved = kTree;
    moved.placement = {1, 37, -20};
    const PixelImage shifted = *RenderTreeImage(moved, 560, 670);
    for (int y = 0; y < 650; ++y) {
        for (int x = 0; x < 523; ++x) {
            ASSERT_EQ(shifted.At(x + 37, y), plain.At(x, y + 20)) << x << ',' << y;
        }
    }

    for (const double k : {2.0, 3.0, 2.5}) {
        TreeOrder scaled = kTree;
        scaled.placement = {k, 0, 0};
        const PixelImage large =
            *RenderTreeImage(scaled, static_cast<int>(560 * k), static_cast<int>(670 * k));
        const PictureBox drawn = Inked(large);
        EXPECT_NEAR(drawn.left, k * box.left, k) << k;
        EXPECT_NEAR(drawn.top, k * box.top, k) << k;
        EXPECT_NEAR(drawn.right, k * box.right, k) << k;
        EXPECT_NEAR(drawn.bottom, k * box.bottom, k) << k;
        const PictureBox measured = *MeasurePicture(scaled);
        EXPECT_EQ(measured.left, drawn.left) << k;
        EXPECT_EQ(measured.bottom, drawn.bottom) << k;
    }
}

TEST(LargerPictureTest, AFittedTreeFillsItsPictureInTheMiddle) {
    struct Case {
        TreeOrder tree;
        int width;
        int height;
    };
    TreeOrder turned = kTree;
    turned.view = {70, -20};
    const std::vector<Case> cases{
        {kTree, 1920, 1080},
        {kTree, 300, 2000},
        {turned, 800, 800},
        {{{20, 20, 20, 0.5, 2, {100, 100, 0}, {3, -4, 0}, 3}, 5}, 600, 400},
    };
    for (const Case& c : cases) {
        TreeOrder fitted = c.tree;
        fitted.placement = FitPlacement(*MeasurePicture(c.tree), c.width, c.height);
        const PictureBox drawn = Inked(*RenderTreeImage(fitted, c.width, c.height));
        const double margin = 0.04 * std::min(c.width, c.height);
        // Within the margin but for an outline's spread, touching it on one axis.
        const double outline = fitted.placement.scale + 1;
        EXPECT_GE(drawn.left, margin - outline) << c.width;
        EXPECT_GE(drawn.top, margin - outline) << c.width;
        EXPECT_LE(drawn.right, c.width - margin + outline) << c.width;
        EXPECT_LE(drawn.bottom, c.height - margin + outline) << c.width;
        EXPECT_TRUE(drawn.left < margin + outline || drawn.top < margin + outline ||
                    fitted.placement.scale == kLargestScale)
            << c.width;
        EXPECT_NEAR(drawn.left + drawn.right, c.width, 2 * outline) << c.width;
        EXPECT_NEAR(drawn.top + drawn.bottom, c.height, 2 * outline) << c.width;
    }
    // A point can be made no larger than the largest scale; nothing drawn is left where it is.
    EXPECT_EQ(FitPlacement({10, 10, 11, 11}, 560, 670).scale, kLargestScale);
    EXPECT_TRUE(FitPlacement({}, 560, 670).IsIdentity());
}

// A run whitens a canvas's room; an SVG larger than that is whitened whole, one no larger keeps
// the bytes it had.
TEST(LargerPictureTest, AnSvgLargerThanTheCanvasIsWhiteAllOver) {
    for (const auto& [width, height, whole] : {std::tuple{1920, 1080, true}, {560, 670, false}}) {
        std::string svg;
        WriteTree(Format::Svg, kTree,
                  [&svg](const void* data, std::size_t size) {
                      svg.append(static_cast<const char*>(data), size);
                      return true;
                  },
                  {width, height, nullptr, {}, nullptr, false});
        const std::string ground = "<rect x=\"0\" y=\"0\" width=\"" + std::to_string(width) +
                                   "\" height=\"" + std::to_string(height) + "\" fill=\"#ffffff\"";
        EXPECT_EQ(svg.find(ground) != std::string::npos, whole) << width;
    }
}

} // namespace
} // namespace arbolith
