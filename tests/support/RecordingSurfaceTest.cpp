#include <gtest/gtest.h>

#include "tests/support/RecordingSurface.h"

namespace arbolith {
namespace {

TEST(RecordingSurfaceTest, SelectingGivesBackTheObjectOfTheSameKind) {
    RecordingSurface surface;
    const SurfaceObject pen = surface.CreatePen(PenStyle::Solid, 1, {0, 0, 0});
    const SurfaceObject brush = surface.CreateSolidBrush({1, 2, 3});
    EXPECT_NE(pen, brush);
    EXPECT_EQ(surface.SelectObject(brush), RecordingSurface::kStockBrush);
    EXPECT_EQ(surface.SelectObject(pen), RecordingSurface::kStockPen);
    EXPECT_EQ(surface.SelectObject(RecordingSurface::kStockBrush), brush);
    EXPECT_EQ(surface.LiveObjects(), 2u);
    EXPECT_TRUE(surface.Problems().empty());
}

TEST(RecordingSurfaceTest, ReportsMisuse) {
    RecordingSurface surface;
    const SurfaceObject pen = surface.CreatePen(PenStyle::Solid, 1, {0, 0, 0});
    surface.SelectObject(pen);
    EXPECT_FALSE(surface.DeleteObject(pen));
    EXPECT_EQ(surface.SelectObject(9999), 0u);
    EXPECT_FALSE(surface.DeleteObject(4242));
    ASSERT_EQ(surface.Problems().size(), 3u);
    EXPECT_NE(surface.Problems()[0].find("while selected"), std::string::npos);
    EXPECT_NE(surface.Problems()[1].find("does not exist"), std::string::npos);
    // The pen is still alive: it was never released.
    EXPECT_EQ(surface.LiveObjects(), 1u);
}

TEST(RecordingSurfaceTest, KeepsPolygonsInOrderEvenWithoutTheCallLog) {
    RecordingSurface surface(false);
    const SurfacePoint triangle[] = {{0, 0}, {5, 0}, {0, 5}};
    const SurfacePoint square[] = {{1, 1}, {2, 1}, {2, 2}, {1, 2}};
    surface.Polygon(triangle, 3);
    surface.Polygon(square, 4);
    EXPECT_TRUE(surface.Calls().empty());
    ASSERT_EQ(surface.PolygonCount(), 2u);
    EXPECT_EQ(surface.PolygonAt(0).size(), 3u);
    EXPECT_EQ(surface.Polygons()[1], (std::vector<SurfacePoint>{{1, 1}, {2, 1}, {2, 2}, {1, 2}}));
}

} // namespace
} // namespace arbolith
