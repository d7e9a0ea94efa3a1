#include <gtest/gtest.h>

#include <limits>

#include <QBuffer>

#include "render/SvgSurface.h"
#include "tests/render/SvgText.h"
#include "tree/DrawingRun.h"
#include "tree/Random.h"
#include "tree/RecordingSurface.h"

namespace arbolith {
namespace {

QByteArray DrawSvg(const TreeParameters& parameters, QSize canvas) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    SvgSurface surface(buffer, canvas);
    EXPECT_TRUE(DrawTreeRun(surface, parameters));
    EXPECT_TRUE(surface.Finish());
    EXPECT_EQ(surface.Objects().LiveObjects(), 0u);
    return buffer.data();
}

TEST(SvgSurfaceTest, HoldsEveryPolygonTheCoreHandedOverInOrder) {
    const FixedClock clock(1234567890);
    // Random limb counts and factors: many polygons of every shape, some degenerate.
    const TreeParameters parameters{45, 25, 35, 0.0, 0, {280, 640, -40}, {10, -150, 20}, 3};
    RecordingSurface recording;
    DrawTreeRun(recording, parameters);
    ASSERT_GT(recording.PolygonCount(), 10u);
    const QByteArray svg = DrawSvg(parameters, QSize(560, 670));
    EXPECT_EQ(testing::SvgPolygons(svg), recording.Polygons());
}

TEST(SvgSurfaceTest, WritesTheCanvasTheWhiteGroundAndTheBranchStyle) {
    const TreeParameters trunk{10, 10, 10, 1.0, 1, {100, 200, 0}, {0, -50, 0}, -1};
    const QString svg = QString::fromUtf8(DrawSvg(trunk, QSize(320, 240)));
    EXPECT_TRUE(svg.startsWith("<?xml")) << svg.toStdString();
    EXPECT_TRUE(svg.contains(R"(width="320" height="240" viewBox="0 0 320 240")"));
    EXPECT_TRUE(svg.contains(R"(<rect x="0" y="0" width="1000" height="1000" fill="#ffffff")"));
    EXPECT_TRUE(
        svg.contains(R"(<g fill="#8d6914" fill-rule="nonzero" stroke="#000000" stroke-width="1")"));
    EXPECT_TRUE(svg.contains(R"(<polygon points="99,200 101,200 101,150 99,150"/>)"));
    EXPECT_TRUE(svg.endsWith("</g>\n</svg>\n"));
    // The ground comes before the first polygon.
    EXPECT_LT(svg.indexOf("<rect"), svg.indexOf("<polygon"));
}

TEST(SvgSurfaceTest, KeepsSaturatedCornersExactly) {
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    SvgSurface surface(buffer, QSize(10, 10));
    const SurfacePoint corners[4] = {{kMin, kMin}, {kMax, kMin}, {kMax, kMax}, {kMin, kMax}};
    surface.Polygon(corners, 4);
    ASSERT_TRUE(surface.Finish());
    EXPECT_EQ(
        testing::SvgPolygons(buffer.data()),
        (std::vector<std::vector<SurfacePoint>>{{corners[0], corners[1], corners[2], corners[3]}}));
    // Drawn with the stock objects: black pen, white brush, alternate filling.
    EXPECT_TRUE(buffer.data().contains(R"(fill="#ffffff" fill-rule="evenodd" stroke="#000000")"));
}

TEST(SvgSurfaceTest, ReportsAFailedWrite) {
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    SvgSurface surface(readOnly, QSize(10, 10));
    surface.FillRectWhite({0, 0, 10, 10});
    EXPECT_FALSE(surface.Finish());
}

} // namespace
} // namespace arbolith
