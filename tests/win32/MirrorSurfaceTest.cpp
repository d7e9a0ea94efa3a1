#include <gtest/gtest.h>

#include "tests/support/RecordingSurface.h"
#include "tree/DrawingRun.h"
#include "ui/win32/MirrorSurface.h"

namespace arbolith {
namespace {

TreeParameters SmallTree() {
    return TreeParameters{30, 20, 10, 0.7, 2, {200, 600, 0}, {0, -120, 10}, 4};
}

TEST(MirrorSurface, DrawsTheSameRunOnBothSurfacesAndLeavesEachAsItWas) {
    RecordingSurface window;
    RecordingSurface kept;
    // The kept picture starts with other objects selected than the window.
    const SurfaceObject keptPen = kept.CreatePen(PenStyle::Solid, 3, Rgb{1, 2, 3});
    const SurfaceObject keptBrush = kept.CreateSolidBrush(Rgb{4, 5, 6});
    kept.SelectObject(keptPen);
    kept.SelectObject(keptBrush);
    {
        MirrorSurface both(window, kept);
        DrawTree(both, {SmallTree(), 1767225600});
    }

    EXPECT_GT(window.PolygonCount(), 10u);
    EXPECT_EQ(window.Polygons(), kept.Polygons());
    EXPECT_TRUE(window.Problems().empty());
    EXPECT_TRUE(kept.Problems().empty());
    EXPECT_EQ(window.LiveObjects(), 0u);
    EXPECT_EQ(kept.LiveObjects(), 2u); // its own two, which it had before
    EXPECT_EQ(window.SelectedPen(), RecordingSurface::kStockPen);
    EXPECT_EQ(window.SelectedBrush(), RecordingSurface::kStockBrush);
    EXPECT_EQ(kept.SelectedPen(), keptPen);
    EXPECT_EQ(kept.SelectedBrush(), keptBrush);
    EXPECT_EQ(window.FillMode(), PolyFillMode::Winding);
    EXPECT_EQ(kept.FillMode(), PolyFillMode::Winding);
}

TEST(MirrorSurface, RefusesObjectsItDidNotHandOut) {
    RecordingSurface first;
    RecordingSurface second;
    MirrorSurface both(first, second);
    EXPECT_EQ(both.SelectObject(12345), 0u);
    EXPECT_FALSE(both.DeleteObject(12345));
    EXPECT_TRUE(first.Problems().empty());
    EXPECT_TRUE(second.Problems().empty());
}

} // namespace
} // namespace arbolith
