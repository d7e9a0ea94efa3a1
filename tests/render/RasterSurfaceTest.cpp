#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "render/RasterPicture.h"
#include "render/RasterSurface.h"
#include "tests/render/ReferenceRaster.h"
#include "tree/DrawingRun.h"

namespace arbolith {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
const Pixel kBrown = PixelOf(kBranchFill);
const Pixel kBlack = PixelOf(kBranchOutline);

// Draws one polygon in the branch style, as the painter sets the surface up.
PixelImage DrawStyled(int width, int height, const std::vector<SurfacePoint>& corners,
                      PolyFillMode mode) {
    PixelImage image(width, height);
    RasterSurface surface(image);
    const SurfaceObject pen = surface.CreatePen(PenStyle::Solid, 1, kBranchOutline);
    const SurfaceObject brush = surface.CreateSolidBrush(kBranchFill);
    surface.SetPolyFillMode(mode);
    const SurfaceObject oldPen = surface.SelectObject(pen);
    const SurfaceObject oldBrush = surface.SelectObject(brush);
    surface.Polygon(corners.data(), static_cast<int>(corners.size()));
    surface.SelectObject(oldPen);
    surface.SelectObject(oldBrush);
    EXPECT_TRUE(surface.DeleteObject(pen));
    EXPECT_TRUE(surface.DeleteObject(brush));
    return image;
}

// '.' white, 'B' brown, 'X' black, '?' anything else.
std::vector<std::string> Art(const PixelImage& image) {
    std::vector<std::string> rows;
    for (int y = 0; y < image.Height(); ++y) {
        std::string row;
        for (int x = 0; x < image.Width(); ++x) {
            const Pixel pixel = image.At(x, y);
            row += pixel == kWhitePixel ? '.' : pixel == kBrown ? 'B' : pixel == kBlack ? 'X' : '?';
        }
        rows.push_back(row);
    }
    return rows;
}

struct Shape {
    const char* name;
    std::vector<SurfacePoint> corners;
    PolyFillMode mode;
    std::vector<std::string> expected;
};

// Each picture was read off the Windows drawing system drawing the same polygon on a 12 x 10
// memory bitmap.
TEST(RasterSurfaceTest, DrawsTheShapesOfATreeAsTheWindowsDrawingSystemDoes) {
    const std::vector<Shape> shapes{
        {"a branch narrowing upward",
         {{3, 8}, {6, 8}, {5, 2}, {4, 2}},
         PolyFillMode::Winding,
         {"............", "............", "....XX......", "....XX......", "....XX......",
          "...XBX......", "...XBBX.....", "...XBBX.....", "...XXXX.....", "............"}},
        {"a bow tie, winding",
         {{1, 1}, {9, 1}, {2, 8}, {10, 8}},
         PolyFillMode::Winding,
         {"............", ".XXXXXXXXX..", "..XBBBBBX...", "...XXBBX....", ".....XX.....",
          ".....XX.....", "....XBBXX...", "...XBBBBBX..", "..XXXXXXXXX.", "............"}},
        {"a bow tie, alternate",
         {{1, 1}, {9, 1}, {2, 8}, {10, 8}},
         PolyFillMode::Alternate,
         {"............", ".XXXXXXXXX..", "..XBBBBBX...", "...XXBBX....", ".....XX.....",
          ".....XX.....", "....XBBXX...", "...XBBBBBX..", "..XXXXXXXXX.", "............"}},
        {"a branch of no width",
         {{2, 8}, {2, 8}, {9, 1}, {9, 1}},
         PolyFillMode::Winding,
         {"............", ".........X..", "........X...", ".......X....", "......X.....",
          ".....X......", "....X.......", "...X........", "..X.........", "............"}},
        {"a branch of no length",
         {{3, 5}, {8, 5}, {8, 5}, {3, 5}},
         PolyFillMode::Winding,
         {"............", "............", "............", "............", "............",
          "...XXXXXX...", "............", "............", "............", "............"}},
        {"one corner four times",
         {{5, 5}, {5, 5}, {5, 5}, {5, 5}},
         PolyFillMode::Winding,
         std::vector<std::string>(10, "............")},
        {"a square wound twice, winding",
         {{1, 1}, {10, 1}, {10, 8}, {1, 8}, {1, 1}, {10, 1}, {10, 8}, {1, 8}},
         PolyFillMode::Winding,
         {"............", ".XXXXXXXXXX.", ".XBBBBBBBBX.", ".XBBBBBBBBX.", ".XBBBBBBBBX.",
          ".XBBBBBBBBX.", ".XBBBBBBBBX.", ".XBBBBBBBBX.", ".XXXXXXXXXX.", "............"}},
        {"a square wound twice, alternate",
         {{1, 1}, {10, 1}, {10, 8}, {1, 8}, {1, 1}, {10, 1}, {10, 8}, {1, 8}},
         PolyFillMode::Alternate,
         {"............", ".XXXXXXXXXX.", ".X........X.", ".X........X.", ".X........X.",
          ".X........X.", ".X........X.", ".X........X.", ".XXXXXXXXXX.", "............"}},
        {"partly off the surface",
         {{-3, -2}, {6, -2}, {9, 12}, {-4, 12}},
         PolyFillMode::Winding,
         {"BBBBBBX.....", "BBBBBBBX....", "BBBBBBBX....", "BBBBBBBX....", "BBBBBBBX....",
          "BBBBBBBX....", "BBBBBBBBX...", "BBBBBBBBX...", "BBBBBBBBX...", "BBBBBBBBX..."}},
    };
    for (const Shape& shape : shapes) {
        EXPECT_EQ(Art(DrawStyled(12, 10, shape.corners, shape.mode)), shape.expected) << shape.name;
    }
}

// Random polygons of every size, from a few pixels to the 32-bit bounds, against the rules
// written out pixel by pixel.
TEST(RasterSurfaceTest, AgreesWithThePlainRulesEverywhere) {
    std::mt19937 random(20261209);
    const auto pick = [&random](std::int64_t low, std::int64_t high) {
        return static_cast<std::int32_t>(
            low + static_cast<std::int64_t>(random() % static_cast<std::uint64_t>(high - low + 1)));
    };
    const std::int32_t extremes[] = {kMin, kMin + 1, kMax - 1, kMax, 0, 20};
    int compared = 0;
    for (int round = 0; round < 6000; ++round) {
        const int corners = 2 + static_cast<int>(random() % 5);
        std::vector<SurfacePoint> polygon;
        for (int i = 0; i < corners; ++i) {
            const auto coordinate = [&]() -> std::int32_t {
                switch (round % 4) {
                case 0:
                    return pick(-8, 48);
                case 1:
                    return random() % 2 ? pick(-8, 48)
                                        : pick(-(1LL << (8 + round % 23)), 1LL << (8 + round % 23));
                case 2:
                    return random() % 2 ? pick(-8, 48) : extremes[random() % 6];
                default:
                    return pick(kMin, kMax);
                }
            };
            const std::int32_t x = coordinate();
            polygon.push_back({x, coordinate()});
        }
        if (round % 3 == 0 && corners == 4) { // a branch's shape: two corners on each row
            polygon[1].y = polygon[0].y;
            polygon[3].y = polygon[2].y;
        }
        const PolyFillMode mode = round % 2 ? PolyFillMode::Alternate : PolyFillMode::Winding;
        PixelImage expected(40, 30);
        testing::ReferenceRaster::Polygon(expected, polygon, mode, kBrown, kBlack);
        ASSERT_EQ(Art(DrawStyled(40, 30, polygon, mode)), Art(expected)) << "round " << round;
        ++compared;
    }
    EXPECT_EQ(compared, 6000);
}

// Branches wholly inside the picture, drawn row by row, against the rules written out pixel by
// pixel: each in both fill modes, mirrored both ways and with its corners in reverse order, so
// that every edge is walked both ways and every half rounds toward the smaller coordinate.
TEST(RasterSurfaceTest, DrawsEveryRowOfABranchAsThePlainRules) {
    const std::vector<std::pair<const char*, std::vector<SurfacePoint>>> branches{
        {"shallow edges, outline rows sharing the fill's", {{2, 5}, {30, 5}, {37, 9}, {1, 9}}},
        {"steep edges rounding halves", {{10, 20}, {13, 20}, {14, 2}, {12, 2}}},
        {"shallow edges rounding halves", {{5, 10}, {8, 10}, {17, 16}, {11, 16}}},
        {"diagonal edges", {{5, 5}, {6, 5}, {16, 15}, {15, 15}}},
        {"a spike", {{10, 25}, {14, 25}, {12, 3}, {12, 3}}},
        {"one pixel wide", {{10, 25}, {11, 25}, {20, 3}, {21, 3}}},
        {"no width, steep", {{10, 25}, {10, 25}, {20, 3}, {20, 3}}},
        {"no width, shallow", {{2, 20}, {2, 20}, {37, 12}, {37, 12}}},
        {"left and right outline on the same pixels", {{2, 20}, {4, 20}, {37, 14}, {39, 14}}},
        {"a bow tie of shallow edges", {{2, 5}, {35, 5}, {2, 12}, {35, 12}}},
        {"a bow tie of steep edges", {{3, 2}, {9, 2}, {9, 27}, {3, 27}}},
        {"no length, overlapping edges", {{3, 7}, {30, 7}, {10, 7}, {20, 7}}},
        {"two rows", {{3, 7}, {30, 7}, {33, 8}, {1, 8}}},
        {"two rows, an upright and a diagonal edge", {{5, 3}, {9, 3}, {10, 4}, {5, 4}}},
        {"touching every border", {{0, 0}, {39, 0}, {39, 29}, {0, 29}}},
    };
    for (const auto& [name, corners] : branches) {
        for (int variant = 0; variant < 8; ++variant) {
            std::vector<SurfacePoint> polygon = corners;
            for (SurfacePoint& corner : polygon) {
                corner.x = variant & 1 ? 39 - corner.x : corner.x;
                corner.y = variant & 2 ? 29 - corner.y : corner.y;
            }
            if (variant & 4) {
                std::reverse(polygon.begin(), polygon.end());
            }
            for (const PolyFillMode mode : {PolyFillMode::Winding, PolyFillMode::Alternate}) {
                PixelImage expected(40, 30);
                testing::ReferenceRaster::Polygon(expected, polygon, mode, kBrown, kBlack);
                EXPECT_EQ(Art(DrawStyled(40, 30, polygon, mode)), Art(expected))
                    << name << ", variant " << variant;
            }
        }
    }
}

TEST(RasterSurfaceTest, HandsOutObjectsAsADeviceContextDoes) {
    PixelImage image(4, 4);
    RasterSurface surface(image);
    const SurfaceObject stockPen = surface.Objects().SelectedPenHandle();
    const SurfaceObject stockBrush = surface.Objects().SelectedBrushHandle();
    const SurfaceObject pen = surface.CreatePen(PenStyle::Solid, 1, {1, 2, 3});
    const SurfaceObject brush = surface.CreateSolidBrush({4, 5, 6});
    EXPECT_EQ(surface.SelectObject(pen), stockPen);
    EXPECT_EQ(surface.SelectObject(brush), stockBrush);
    EXPECT_FALSE(surface.DeleteObject(pen)) << "a selected pen must not be deleted";
    const SurfacePoint square[] = {{0, 0}, {3, 0}, {3, 3}, {0, 3}};
    surface.Polygon(square, 4);
    EXPECT_EQ(image.At(0, 0), PixelOf({1, 2, 3}));
    EXPECT_EQ(image.At(1, 1), PixelOf({4, 5, 6}));
    EXPECT_EQ(surface.SelectObject(stockPen), pen);
    EXPECT_EQ(surface.SelectObject(stockBrush), brush);
    EXPECT_TRUE(surface.DeleteObject(pen));
    EXPECT_TRUE(surface.DeleteObject(brush));
    EXPECT_EQ(surface.SelectObject(12345), 0u) << "unknown objects are not selected";
    EXPECT_EQ(surface.Objects().LiveObjects(), 0u);
}

TEST(RasterSurfaceTest, WhitensOnlyTheGivenRectangleAndOnlyItsBand) {
    PixelImage image(20, 20, kBlack);
    RasterSurface(image).FillRectWhite({10, 5, 15, 8});
    EXPECT_EQ(image.At(10, 5), kWhitePixel);
    EXPECT_EQ(image.At(14, 7), kWhitePixel);
    EXPECT_EQ(image.At(15, 7), kBlack) << "right is exclusive";
    EXPECT_EQ(image.At(14, 8), kBlack) << "bottom is exclusive";

    PixelImage banded(20, 20, kBlack);
    RasterSurface band(banded, {4, 9});
    band.FillRectWhite({kMin, kMin, kMax, kMax});
    band.SelectObject(band.CreateSolidBrush(kBranchFill));
    const SurfacePoint square[] = {{2, 2}, {12, 2}, {12, 12}, {2, 12}};
    band.Polygon(square, 4);
    for (int y = 0; y < 20; ++y) {
        const bool inBand = y >= 4 && y < 9;
        EXPECT_EQ(banded.At(0, y), inBand ? kWhitePixel : kBlack) << y;
        EXPECT_EQ(banded.At(5, y), inBand ? kBrown : kBlack) << y;
    }
}

// Whitening a white picture whole only marks its rows blank again: it reads white, a copy
// taken before keeps its pixels, and drawing again gives them again.
TEST(RasterSurfaceTest, DrawsAgainOnAPictureWhitenedWhole) {
    const std::vector<SurfacePoint> branch{{3, 8}, {6, 8}, {5, 2}, {4, 2}};
    PixelImage image = DrawStyled(12, 10, branch, PolyFillMode::Winding);
    const PixelImage drawn = image;
    RasterSurface surface(image);
    surface.FillRectWhite({0, 0, 1000, 1000});
    EXPECT_EQ(image, PixelImage(12, 10));
    for (int y = 0; y < image.Height(); ++y) {
        EXPECT_TRUE(image.IsBlank(y)) << y;
    }
    EXPECT_EQ(Art(drawn)[5], "...XBX......");
    surface.SelectObject(surface.CreateSolidBrush(kBranchFill));
    surface.Polygon(branch.data(), static_cast<int>(branch.size()));
    EXPECT_EQ(image, drawn);
}

TEST(TreeImageTest, WhitensAPictureLargerThanTheRunsRectangle) {
    const TreeOrder tree{{40, 20, 30, 0.7, 2, {600, 1150, 0}, {0, -300, 0}, 2}, 1000000000};
    const std::optional<PixelImage> image = RenderTreeImage(tree, 1200, 1200);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->At(1150, 1150), kWhitePixel);
    EXPECT_EQ(image->At(600, 1000), kBrown) << "the trunk crosses the run's rectangle";
}

class StopAtOnce : public RunMonitor {
public:
    bool KeepGoing(std::uint64_t) override { return false; }
};

TEST(TreeImageTest, GivesNothingWhenTheRunIsStopped) {
    const TreeOrder big{{40, 20, 30, 0.7, 3, {280, 640, 0}, {0, -150, 0}, 16}};
    StopAtOnce stop;
    EXPECT_FALSE(RenderTreeImage(big, 100, 100, &stop));
}

} // namespace
} // namespace arbolith
