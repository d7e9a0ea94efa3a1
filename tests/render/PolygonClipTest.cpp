// Cutting a far-flung polygon down to a rectangle: inside the rectangle every point must keep
// its winding number, so that either fill rule fills the same area as the whole polygon would.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "render/PolygonClip.h"

namespace arbolith {
namespace {

// How often the polygon winds round the point; the point is never on an edge here.
int WindingNumber(const std::vector<PointF>& polygon, PointF p) {
    int winding = 0;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const PointF& a = polygon[i];
        const PointF& b = polygon[(i + 1) % polygon.size()];
        const double side = (b.x - a.x) * (p.y - a.y) - (p.x - a.x) * (b.y - a.y);
        if (a.y <= p.y && b.y > p.y && side > 0) {
            ++winding;
        } else if (a.y > p.y && b.y <= p.y && side < 0) {
            --winding;
        }
    }
    return winding;
}

constexpr RectF kBounds{-100, -50, 300, 250};

// Points on a grid strictly inside the rectangle, off every whole coordinate the cases use.
std::vector<PointF> SamplePoints() {
    std::vector<PointF> points;
    for (double x = kBounds.left + 0.37; x < kBounds.right; x += 7.3) {
        for (double y = kBounds.top + 0.61; y < kBounds.bottom; y += 6.7) {
            points.push_back({x, y});
        }
    }
    return points;
}

void ExpectSameWindingInside(const std::vector<PointF>& polygon) {
    const std::vector<PointF> clipped = ClipPolygon(polygon, kBounds);
    for (const PointF& corner : clipped) {
        EXPECT_GE(corner.x, kBounds.left);
        EXPECT_LE(corner.x, kBounds.right);
        EXPECT_GE(corner.y, kBounds.top);
        EXPECT_LE(corner.y, kBounds.bottom);
    }
    int differing = 0;
    for (const PointF& p : SamplePoints()) {
        differing += WindingNumber(polygon, p) != WindingNumber(clipped, p);
    }
    EXPECT_EQ(differing, 0);
}

TEST(PolygonClipTest, KeepsTheWindingNumberOfEveryPointInside) {
    struct Shape {
        std::string name;
        std::vector<PointF> corners;
    };
    const double far = 1e12;
    const std::vector<Shape> shapes{
        {"wholly inside", {{0, 0}, {100, 10}, {90, 200}, {-20, 150}}},
        {"covering the rectangle", {{-far, -far}, {far, -far}, {far, far}, {-far, far}}},
        {"crossing one side", {{-500, 20}, {50, 0}, {60, 40}}},
        {"crossing every side", {{100, -far}, {far, 100}, {100, far}, {-far, 100}}},
        {"a branch from far away", {{-far, -far}, {-far + 3, -far}, {150, 120}, {145, 121}}},
        {"clockwise", {{-far, far}, {far, far}, {far, -far}, {-far, -far}}},
        {"a bow tie", {{-400, -300}, {600, 500}, {600, -300}, {-400, 500}}},
        {"wound twice",
         {{0, -far},
          {far, far},
          {-far, 0},
          {far, 0},
          {-far, far},
          {0, -far},
          {far, far},
          {-far, 0},
          {far, 0},
          {-far, far}}},
        {"wholly outside", {{400, 300}, {500, 300}, {500, 400}}},
    };
    for (const Shape& shape : shapes) {
        SCOPED_TRACE(shape.name);
        ExpectSameWindingInside(shape.corners);
    }
    EXPECT_EQ(ClipPolygon(shapes.front().corners, kBounds).size(), shapes.front().corners.size())
        << "a polygon inside is kept as it is";
    EXPECT_TRUE(ClipPolygon(shapes.back().corners, kBounds).empty());
    EXPECT_TRUE(ClipPolygon({}, kBounds).empty());
}

TEST(PolygonClipTest, KeepsTheWindingNumberOfRandomFarPolygons) {
    std::mt19937_64 random(20261209);
    std::uniform_real_distribution<double> exponent(0, 15);
    std::uniform_int_distribution<int> corners(3, 8);
    std::bernoulli_distribution negative(0.5);
    const auto coordinate = [&] {
        const double magnitude = std::pow(10.0, exponent(random));
        return negative(random) ? -magnitude : magnitude;
    };
    for (int i = 0; i < 300; ++i) {
        std::vector<PointF> polygon(static_cast<std::size_t>(corners(random)));
        for (PointF& corner : polygon) {
            corner = {coordinate(), coordinate()};
        }
        SCOPED_TRACE(i);
        ExpectSameWindingInside(polygon);
    }
}

} // namespace
} // namespace arbolith
