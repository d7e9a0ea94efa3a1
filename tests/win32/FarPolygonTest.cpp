#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <vector>

#include "surface/VisiblePolygon.h"
#include "tests/win32/MemoryBitmap.h"
#include "tree/DrawingRun.h"
#include "ui/win32/GdiSurface.h"

namespace arbolith {
namespace {

constexpr int kWidth = 558;
constexpr int kHeight = 668;

// The Windows program's surface, but every polygon handed to the drawing system as it is.
class WholePolygons final : public GdiSurface {
public:
    explicit WholePolygons(HDC context) : GdiSurface(context), context_(context) {}
    void Polygon(const SurfacePoint* points, int count) override {
        std::vector<POINT> corners;
        for (int i = 0; i < count; ++i) {
            corners.push_back(POINT{points[i].x, points[i].y});
        }
        ::Polygon(context_, corners.data(), count);
    }

private:
    HDC context_;
};

// The pixels of a canvas-sized memory bitmap after `draw` has drawn on it.
template <typename Draw> std::vector<std::uint32_t> Pixels(Draw draw) {
    const testing::MemoryBitmap bitmap(kWidth, kHeight);
    if (!bitmap.Ok()) {
        return {};
    }
    draw(bitmap.Context());
    return bitmap.Pixels();
}

// Branches reaching ten million pixels off the canvas: within the range the drawing
// system draws right, if slowly. Drawn from their visible parts, they leave the same pixels.
TEST(FarPolygons, DrawTheSameVisiblePixelsFromTheirVisibleParts) {
    const TreeOrder tree{{40, 20, 30, 300.0, 2, {280, 600, 0}, {3, -150, 7}, 1}, 1796000000};
    int reachingFar = 0;
    const auto whole = Pixels([&](HDC context) {
        WholePolygons surface(context);
        DrawTree(surface, tree);
    });
    const auto parts = Pixels([&](HDC context) {
        GdiSurface surface(context);
        DrawTree(surface, tree);
    });
    {
        // The test means something: some branches do reach far, and some of those show.
        class Count final : public GdiSurface {
        public:
            Count(HDC context, int& farOnes) : GdiSurface(context), farOnes_(farOnes) {}
            void Polygon(const SurfacePoint* points, int count) override {
                farOnes_ += ReachesFar(points, count, kWidth, kHeight) &&
                                    !WhollyOff(points, count, kWidth, kHeight)
                                ? 1
                                : 0;
            }

        private:
            int& farOnes_;
        };
        Pixels([&](HDC context) {
            Count surface(context, reachingFar);
            DrawTree(surface, tree);
        });
    }
    ASSERT_EQ(whole.size(), static_cast<std::size_t>(kWidth * kHeight));
    EXPECT_GE(reachingFar, 2);
    EXPECT_TRUE(whole == parts);
}

} // namespace
} // namespace arbolith
