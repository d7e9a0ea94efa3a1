#include <gtest/gtest.h>

#include "DialogHelpers.h"

#include "tests/support/RecordingSurface.h"
#include "ui/qt/DialogUnits.h"
#include "ui/qt/GuardedSurface.h"

namespace arbolith {
namespace {

TEST(DialogUnits, ScaleByAQuarterAndAnEighthOfTheBaseUnitsRounded) {
    const DialogBaseUnits units{6, 13};
    // 83 * 6 / 4 = 124.5 and 15 * 13 / 8 = 24.375.
    EXPECT_EQ(DialogRectToPixels(units, 83, 15, 46, 13), QRect(125, 24, 69, 21));
    EXPECT_EQ(DialogRectToPixels(units, 0, 0, 558, 429), QRect(0, 0, 837, 697));
    EXPECT_EQ(DialogRectToPixels(DialogBaseUnits{7, 15}, 7, 186, 128, 18), QRect(12, 349, 224, 34));
}

TEST(DialogUnits, BaseUnitsGrowWithTheFont) {
    QFont small = DialogFont();
    QFont large = small;
    large.setPointSize(small.pointSize() * 2);
    const DialogBaseUnits a = BaseUnitsOf(small);
    const DialogBaseUnits b = BaseUnitsOf(large);
    EXPECT_GT(a.x, 0);
    EXPECT_GT(a.y, a.x) << "a character is taller than it is wide";
    EXPECT_GT(b.x, a.x);
    EXPECT_GT(b.y, a.y);
}

void DrawSquares(DrawingSurface& surface, int count) {
    surface.FillRectWhite({0, 0, 10, 10});
    for (int i = 0; i < count; ++i) {
        const SurfacePoint square[4] = {{i, 0}, {i + 1, 0}, {i + 1, 1}, {i, 1}};
        surface.Polygon(square, 4);
    }
}

TEST(GuardedSurface, PassesEverythingOnAndCountsThePolygons) {
    RecordingSurface target;
    const std::atomic<bool> stop{false};
    std::atomic<std::uint64_t> drawn{0};
    GuardedSurface surface(target, stop, drawn);
    const SurfaceObject pen = surface.CreatePen(PenStyle::Solid, 1, {0, 0, 0});
    surface.SelectObject(pen);
    DrawSquares(surface, 5);
    EXPECT_EQ(target.PolygonCount(), 5u);
    EXPECT_EQ(drawn.load(), 5u);
    EXPECT_EQ(target.SelectedPen(), pen);
    EXPECT_EQ(target.Calls().front().op, RecordingSurface::Op::CreatePen);
}

TEST(GuardedSurface, HandsTheDrawingOverOnceTheIntervalHasPassed) {
    RecordingSurface target(false);
    const std::atomic<bool> stop{false};
    std::atomic<std::uint64_t> drawn{0};
    int handedOver = 0;
    GuardedSurface always(
        target, stop, drawn, [&] { ++handedOver; }, std::chrono::seconds(0));
    DrawSquares(always, 130);
    EXPECT_EQ(handedOver, 2) << "the clock is read every 64 polygons";
    GuardedSurface hourly(
        target, stop, drawn, [&] { ++handedOver; }, std::chrono::hours(1));
    DrawSquares(hourly, 130);
    EXPECT_EQ(handedOver, 2);
}

TEST(GuardedSurface, DropsPolygonsAfterAStop) {
    RecordingSurface stopped;
    std::atomic<bool> stop{false};
    std::atomic<std::uint64_t> drawn{0};
    GuardedSurface stoppedSurface(stopped, stop, drawn);
    StopMonitor stopMonitor(stop);
    DrawSquares(stoppedSurface, 2);
    EXPECT_TRUE(stopMonitor.KeepGoing(2));
    EXPECT_TRUE(stopMonitor.MayFinish());
    stop = true;
    DrawSquares(stoppedSurface, 2);
    EXPECT_EQ(stopped.PolygonCount(), 2u);
    EXPECT_EQ(drawn.load(), 2u);
    EXPECT_FALSE(stopMonitor.KeepGoing(2));
    EXPECT_FALSE(stopMonitor.MayFinish());
    EXPECT_EQ(stopped.Calls().back().op, RecordingSurface::Op::FillRectWhite)
        << "only polygons are dropped";
}

} // namespace
} // namespace arbolith
