#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>

#include "render/SvgSurface.h"
#include "tests/render/SvgText.h"
#include "tests/support/RecordingSurface.h"
#include "tree/DrawingRun.h"

namespace arbolith {
namespace {

// Collects what a writer hands on, and in how many pieces.
struct Collected {
    std::string bytes;
    int pieces = 0;
    ByteSink Sink() {
        return [this](const void* data, std::size_t size) {
            bytes.append(static_cast<const char*>(data), size);
            ++pieces;
            return true;
        };
    }
};

QByteArray DrawSvg(const TreeOrder& tree, int width, int height) {
    Collected out;
    const ByteSink sink = out.Sink();
    SvgSurface surface(sink, width, height);
    EXPECT_TRUE(DrawTree(surface, tree).Complete());
    EXPECT_TRUE(surface.Finish());
    EXPECT_EQ(surface.Objects().LiveObjects(), 0u);
    return QByteArray::fromStdString(out.bytes);
}

TEST(SvgSurfaceTest, HoldsEveryPolygonTheCoreHandedOverInOrder) {
    // Random limb counts and factors: many polygons of every shape, some degenerate.
    const TreeOrder tree{{45, 25, 35, 0.0, 0, {280, 640, -40}, {10, -150, 20}, 3}, 1234567890};
    RecordingSurface recording;
    DrawTree(recording, tree);
    ASSERT_GT(recording.PolygonCount(), 10u);
    const QByteArray svg = DrawSvg(tree, 560, 670);
    EXPECT_EQ(testing::SvgPolygons(svg), recording.Polygons());
}

TEST(SvgSurfaceTest, WritesTheCanvasTheWhiteGroundAndTheBranchStyle) {
    const TreeOrder trunk{{10, 10, 10, 1.0, 1, {100, 200, 0}, {0, -50, 0}, -1}};
    const QString svg = QString::fromUtf8(DrawSvg(trunk, 320, 240));
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
    Collected out;
    const ByteSink sink = out.Sink();
    SvgSurface surface(sink, 10, 10);
    const SurfacePoint corners[4] = {{kMin, kMin}, {kMax, kMin}, {kMax, kMax}, {kMin, kMax}};
    surface.Polygon(corners, 4);
    ASSERT_TRUE(surface.Finish());
    const QByteArray svg = QByteArray::fromStdString(out.bytes);
    EXPECT_EQ(testing::SvgPolygons(svg), (std::vector<std::vector<SurfacePoint>>{
                                             {corners[0], corners[1], corners[2], corners[3]}}));
    // Drawn with the stock objects: black pen, white brush, alternate filling.
    EXPECT_TRUE(svg.contains(R"(fill="#ffffff" fill-rule="evenodd" stroke="#000000")"));
}

// The document written out independently from the recorded calls, byte for byte, for a tree
// whose file spans many of the writer's chunks.
TEST(SvgSurfaceTest, WritesEveryByteOfALargeDocument) {
    const TreeOrder tree{
        {40, 20, 30, 0.75, 3, {280, 640, 0}, {0, -150, 0}, 9}, 1796000000, {}, GrowthPath::Literal};
    RecordingSurface recording;
    DrawTree(recording, tree);
    std::string expected = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" "
                           "width=\"560\" height=\"670\" viewBox=\"0 0 560 670\" "
                           "shape-rendering=\"crispEdges\">\n"
                           "<rect x=\"0\" y=\"0\" width=\"1000\" height=\"1000\" "
                           "fill=\"#ffffff\" stroke=\"none\"/>\n"
                           "<g fill=\"#8d6914\" fill-rule=\"nonzero\" stroke=\"#000000\" "
                           "stroke-width=\"1\" stroke-linejoin=\"miter\">\n";
    for (const auto& polygon : recording.Polygons()) {
        expected += "<polygon points=\"";
        for (std::size_t i = 0; i < polygon.size(); ++i) {
            expected += (i > 0 ? " " : "") + std::to_string(polygon[i].x) + "," +
                        std::to_string(polygon[i].y);
        }
        expected += "\"/>\n";
    }
    expected += "</g>\n</svg>\n";

    Collected out;
    const ByteSink sink = out.Sink();
    SvgSurface surface(sink, 560, 670);
    DrawTree(surface, tree);
    ASSERT_TRUE(surface.Finish());
    EXPECT_GT(out.bytes.size(), 4u << 20);
    EXPECT_GT(out.pieces, 10);
    EXPECT_TRUE(out.bytes == expected)
        << "differs at byte "
        << std::mismatch(out.bytes.begin(), out.bytes.end(), expected.begin(), expected.end())
                   .first -
               out.bytes.begin();
}

TEST(SvgSurfaceTest, StopsHandingOnOnceTheSinkGivesUp) {
    int calls = 0;
    const ByteSink refusing = [&calls](const void*, std::size_t) {
        ++calls;
        return false;
    };
    SvgSurface surface(refusing, 10, 10);
    for (int i = 0; i < 20000; ++i) {
        surface.FillRectWhite({0, 0, 10, 10});
    }
    EXPECT_FALSE(surface.Finish());
    EXPECT_EQ(calls, 1);
}

} // namespace
} // namespace arbolith
