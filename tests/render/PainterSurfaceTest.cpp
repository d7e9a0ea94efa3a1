#include <gtest/gtest.h>

#include <array>
#include <limits>

#include <QImage>
#include <QPainter>

#include "render/PainterSurface.h"
#include "tree/DrawingRun.h"
#include "tree/Random.h"

namespace arbolith {
namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kBrown = 0xFF8D6914;

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

QImage WhiteImage(int width = 200, int height = 200) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// Draws one polygon with the branch style, the way the painter sets the surface up.
template <std::size_t N>
void DrawStyled(QImage& image, const std::array<SurfacePoint, N>& corners,
                PolyFillMode mode = PolyFillMode::Winding) {
    QPainter painter(&image);
    PainterSurface surface(painter);
    const SurfaceObject pen = surface.CreatePen(PenStyle::Solid, 1, kBranchOutline);
    const SurfaceObject brush = surface.CreateSolidBrush(kBranchFill);
    surface.SetPolyFillMode(mode);
    const SurfaceObject oldPen = surface.SelectObject(pen);
    const SurfaceObject oldBrush = surface.SelectObject(brush);
    surface.Polygon(corners.data(), static_cast<int>(N));
    surface.SelectObject(oldPen);
    surface.SelectObject(oldBrush);
    surface.DeleteObject(pen);
    surface.DeleteObject(brush);
}

TEST(PainterSurfaceTest, StartsWithStockObjectsAndHandsBackTheReplacedOnes) {
    QImage image = WhiteImage();
    QPainter painter(&image);
    PainterSurface surface(painter);
    const SurfaceObject stockPen = surface.Objects().SelectedPenHandle();
    const SurfaceObject stockBrush = surface.Objects().SelectedBrushHandle();
    EXPECT_NE(stockPen, 0u);
    EXPECT_NE(stockBrush, 0u);
    EXPECT_NE(stockPen, stockBrush);

    const SurfaceObject pen = surface.CreatePen(PenStyle::Solid, 1, kBranchOutline);
    const SurfaceObject brush = surface.CreateSolidBrush(kBranchFill);
    EXPECT_EQ(surface.SelectObject(pen), stockPen);
    EXPECT_EQ(surface.SelectObject(brush), stockBrush);
    EXPECT_FALSE(surface.DeleteObject(pen)) << "a selected pen must not be deleted";
    EXPECT_EQ(surface.SelectObject(stockPen), pen);
    EXPECT_EQ(surface.SelectObject(stockBrush), brush);
    EXPECT_TRUE(surface.DeleteObject(pen));
    EXPECT_TRUE(surface.DeleteObject(brush));
    EXPECT_FALSE(surface.DeleteObject(brush)) << "already gone";
    EXPECT_FALSE(surface.DeleteObject(stockPen));
    EXPECT_EQ(surface.SelectObject(12345), 0u) << "unknown objects are not selected";
    EXPECT_EQ(surface.Objects().LiveObjects(), 0u);
}

TEST(PainterSurfaceTest, ARunLeavesNoObjectBehindAndTheWindingRuleSet) {
    QImage image = WhiteImage(560, 670);
    QPainter painter(&image);
    PainterSurface surface(painter);
    const FixedClock clock(1000000000);
    TreeParameters parameters{40, 20, 30, 0.7, 2, {280, 640, 0}, {0, -150, 0}, 3};
    ASSERT_TRUE(DrawTreeRun(surface, parameters));
    EXPECT_EQ(surface.Objects().LiveObjects(), 0u);
    EXPECT_EQ(surface.FillMode(), PolyFillMode::Winding);
}

TEST(PainterSurfaceTest, DrawsABranchCrispWithOutlineAndFill) {
    // A trunk from (100, 200) to (100, 150), half-width 1.
    QImage image = WhiteImage(300, 300);
    DrawStyled(image, std::array<SurfacePoint, 4>{{{99, 200}, {101, 200}, {101, 150}, {99, 150}}});
    for (int y = 150; y <= 200; ++y) {
        EXPECT_EQ(image.pixel(99, y), kBlack) << y;
        EXPECT_EQ(image.pixel(101, y), kBlack) << y;
        EXPECT_EQ(image.pixel(98, y), kWhite) << y;
        EXPECT_EQ(image.pixel(102, y), kWhite) << y;
    }
    EXPECT_EQ(image.pixel(100, 150), kBlack);
    EXPECT_EQ(image.pixel(100, 200), kBlack);
    for (int y = 151; y < 200; ++y) {
        EXPECT_EQ(image.pixel(100, y), kBrown) << y;
    }
    EXPECT_EQ(image.pixel(100, 149), kWhite);
    EXPECT_EQ(image.pixel(100, 201), kWhite);
}

TEST(PainterSurfaceTest, FillsByTheSelectedRule) {
    // A square wound twice: its inside has winding number 2.
    const std::array<SurfacePoint, 8> twice{
        {{40, 40}, {160, 40}, {160, 160}, {40, 160}, {40, 40}, {160, 40}, {160, 160}, {40, 160}}};
    QImage winding = WhiteImage();
    DrawStyled(winding, twice, PolyFillMode::Winding);
    EXPECT_EQ(winding.pixel(100, 100), kBrown);
    QImage alternate = WhiteImage();
    DrawStyled(alternate, twice, PolyFillMode::Alternate);
    EXPECT_EQ(alternate.pixel(100, 100), kWhite);
}

TEST(PainterSurfaceTest, WhitensOnlyTheGivenRectangleEvenIfItIsHuge) {
    QImage image(200, 200, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        PainterSurface surface(painter);
        surface.FillRectWhite({10, 20, 30, 40});
    }
    EXPECT_EQ(image.pixel(10, 20), kWhite);
    EXPECT_EQ(image.pixel(29, 39), kWhite);
    EXPECT_EQ(image.pixel(30, 39), kBlack) << "right is exclusive";
    EXPECT_EQ(image.pixel(29, 40), kBlack) << "bottom is exclusive";
    {
        QPainter painter(&image);
        PainterSurface surface(painter);
        surface.FillRectWhite({kMin, kMin, kMax, kMax});
    }
    EXPECT_EQ(image.pixel(0, 0), kWhite);
    EXPECT_EQ(image.pixel(199, 199), kWhite);
}

// The core saturates far-flung corners at the 32-bit bounds; such polygons still draw what
// falls on the image, quickly and without tripping over the numbers.
TEST(PainterSurfaceTest, DrawsPolygonsReachingTheThirtyTwoBitBounds) {
    QImage everything = WhiteImage();
    DrawStyled(everything, std::array<SurfacePoint, 4>{
                               {{kMin, kMin}, {kMax, kMin}, {kMax, kMax}, {kMin, kMax}}});
    EXPECT_EQ(everything.pixel(0, 0), kBrown);
    EXPECT_EQ(everything.pixel(100, 100), kBrown);
    EXPECT_EQ(everything.pixel(199, 199), kBrown);

    // A thin wedge from (100, 50) out to the far corner along the diagonal x - y = 50.
    QImage wedge = WhiteImage();
    DrawStyled(wedge, std::array<SurfacePoint, 4>{
                          {{99, 50}, {101, 50}, {kMax, kMax - 50}, {kMax - 2, kMax - 50}}});
    for (int x = 110; x < 200; x += 10) {
        EXPECT_NE(wedge.pixel(x, x - 50), kWhite) << x;
        EXPECT_EQ(wedge.pixel(x - 5, x - 50), kWhite) << x;
        EXPECT_EQ(wedge.pixel(x + 5, x - 50), kWhite) << x;
    }

    // Corners on opposite bounds: the outline crosses the image as a line through (100, 100).
    QImage cross = WhiteImage();
    DrawStyled(cross, std::array<SurfacePoint, 4>{
                          {{kMin, kMin}, {kMin, kMin}, {kMax, kMax}, {kMax, kMax}}});
    EXPECT_EQ(cross.pixel(100, 100), kBlack);
    EXPECT_EQ(cross.pixel(100, 110), kWhite);
}

TEST(PainterSurfaceTest, ClippingLeavesTheVisiblePixelsAlone) {
    // Reaches just beyond the clip margin, so it is clipped; the same polygon drawn by the
    // painter directly must look the same on the image.
    const int far = PainterSurface::kClipMargin * 3;
    const std::array<SurfacePoint, 4> corners{
        {{20, 180}, {24, 180}, {far, -far / 2}, {far - 4, -far / 2}}};
    QImage clipped = WhiteImage();
    DrawStyled(clipped, corners);

    QImage direct = WhiteImage();
    {
        QPainter painter(&direct);
        painter.setPen(QPen(QColor(0, 0, 0), 1));
        painter.setBrush(QColor(141, 105, 20));
        QPolygon polygon;
        for (const SurfacePoint& p : corners) {
            polygon << QPoint(p.x, p.y);
        }
        painter.drawPolygon(polygon, Qt::WindingFill);
    }
    EXPECT_EQ(clipped.pixel(22, 179), kBrown);
    EXPECT_EQ(clipped, direct);
}

} // namespace
} // namespace arbolith
