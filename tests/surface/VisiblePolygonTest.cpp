#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "surface/VisiblePolygon.h"
#include "tests/render/ReferenceRaster.h"

namespace arbolith {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr Pixel kFill = 0xFF8D6914;
constexpr Pixel kLine = 0xFF000000;

// Far polygons of every kind, drawn whole and from their visible part, by the plain rules:
// the same pixels, in both fill modes.
TEST(VisiblePolygonTest, HasExactlyThePixelsOfTheWholePolygon) {
    using testing::ReferenceRaster;
    std::mt19937 random(1209);
    const auto pick = [&random](std::int64_t low, std::int64_t high) {
        return static_cast<std::int32_t>(
            low + static_cast<std::int64_t>(random() % static_cast<std::uint64_t>(high - low + 1)));
    };
    const std::int32_t extremes[] = {kMin, kMax, kMin + 1, kMax - 1, 0, -1};
    int far = 0;
    for (int round = 0; round < 1500; ++round) {
        const int width = 24 + round % 17;
        const int height = 18 + round % 13;
        std::vector<SurfacePoint> polygon;
        const int corners = 3 + static_cast<int>(random() % 4);
        for (int i = 0; i < corners; ++i) {
            const auto coordinate = [&](int side) -> std::int32_t {
                switch (random() % 4) {
                case 0:
                    return pick(-4, side + 4);
                case 1:
                    return extremes[random() % 6];
                case 2:
                    return pick(-(1LL << (10 + round % 21)), 1LL << (10 + round % 21));
                default:
                    return pick(kMin, kMax);
                }
            };
            const std::int32_t x = coordinate(width);
            polygon.push_back({x, coordinate(height)});
        }
        if (round % 3 == 0 && corners == 4) { // a branch's shape
            polygon[1].y = polygon[0].y;
            polygon[3].y = polygon[2].y;
        }
        far += ReachesFar(polygon.data(), corners, width, height) ? 1 : 0;
        const PolyFillMode mode = round % 2 ? PolyFillMode::Alternate : PolyFillMode::Winding;

        PixelImage whole(width, height);
        ReferenceRaster::Polygon(whole, polygon, mode, kFill, kLine);

        const VisiblePolygon visible = VisiblePartOf(polygon.data(), corners, width, height);
        PixelImage part(width, height);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (visible.fill.size() >= 3 && ReferenceRaster::Inside(visible.fill, x, y, mode)) {
                    part.Row(y)[x] = kFill;
                }
            }
        }
        for (std::size_t i = 0; i + 1 < visible.runs.size(); i += 2) {
            ReferenceRaster::Line(part, visible.runs[i], visible.runs[i + 1], kLine);
        }
        for (const SurfacePoint& p : visible.fill) {
            ASSERT_TRUE(p.x >= -1 && p.x <= width + 1 && p.y >= -1 && p.y <= height + 1);
        }
        ASSERT_TRUE(part == whole) << "round " << round;
        if (WhollyOff(polygon.data(), corners, width, height)) {
            ASSERT_TRUE(whole == PixelImage(width, height)) << "round " << round;
        }
    }
    EXPECT_GT(far, 1000);
}

} // namespace
} // namespace arbolith
