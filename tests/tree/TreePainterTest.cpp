#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "tests/support/RecordingSurface.h"
#include "tree/BranchWidth.h"
#include "tree/TreePainter.h"

namespace arbolith {
namespace {

using Corners = std::vector<SurfacePoint>;
using Op = RecordingSurface::Op;

Corners BranchCorners(CVector base, CVector vector) {
    RecordingSurface surface;
    {
        CTreePainter painter(surface, 10, 10, 10, 1.0, 1, 0);
        painter.DrawBranch(base, vector);
    }
    EXPECT_EQ(surface.PolygonCount(), 1u);
    return surface.Polygons().at(0);
}

// The half-width at the base, read off corners 1 and 2 of a branch based at x = 100.
int HalfWidthAtDepth(double z) {
    return BranchCorners(CVector(100, 200, z), CVector(0, -50, 0)).at(1).x - 100;
}

TEST(TreePainterTest, DrawsAVerticalBranchWithItsFullWidth) {
    EXPECT_EQ(BranchCorners(CVector(100, 200, 0), CVector(0, -50, 0)),
              (Corners{{99, 200}, {101, 200}, {101, 150}, {99, 150}}));
}

TEST(TreePainterTest, LaysTheWidthAlongXWhateverTheDirection) {
    EXPECT_EQ(BranchCorners(CVector(100, 200, 0), CVector(50, 0, 0)),
              (Corners{{99, 200}, {101, 200}, {151, 200}, {149, 200}}));
}

TEST(TreePainterTest, DepthSetsTheHalfWidthTruncatedTowardZero) {
    EXPECT_EQ(HalfWidthAtDepth(30), 1);
    EXPECT_EQ(HalfWidthAtDepth(31), 0);
    EXPECT_EQ(HalfWidthAtDepth(-30), 2);
    EXPECT_EQ(HalfWidthAtDepth(-90), 3);
    EXPECT_EQ(HalfWidthAtDepth(-149), 3);
    EXPECT_EQ(HalfWidthAtDepth(150), -1);
    EXPECT_EQ(HalfWidthAtDepth(209), -1);
    // t = 3 - 240/30 = -5 truncates to -5, halved toward zero to -2.
    EXPECT_EQ(HalfWidthAtDepth(240), -2);
    // A negative half-width puts corner 1 to the right of corner 2.
    const Corners crossed = BranchCorners(CVector(100, 200, 150), CVector(0, -50, 0));
    EXPECT_GT(crossed[0].x, crossed[1].x);
}

TEST(TreePainterTest, EndWidthFollowsTheEndsDepth) {
    // Base z 0 (half-width 1), end z 100 (t = -0.33.. -> 0, half-width 0).
    EXPECT_EQ(BranchCorners(CVector(10, 20, 0), CVector(5, 5, 100)),
              (Corners{{9, 20}, {11, 20}, {15, 25}, {15, 25}}));
}

TEST(TreePainterTest, TruncatesNegativeCoordinatesTowardZero) {
    const Corners corners = BranchCorners(CVector(-10.7, 5.9, 0), CVector(0, -10, 0));
    EXPECT_EQ(corners[0], (SurfacePoint{-11, 5}));
    EXPECT_EQ(corners[1], (SurfacePoint{-9, 5}));
    EXPECT_EQ(corners[2], (SurfacePoint{-9, -4}));
    EXPECT_EQ(corners[3], (SurfacePoint{-11, -4}));
}

TEST(TreePainterTest, PixelTruncationSaturatesAndMapsNanToZero) {
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    EXPECT_EQ(TruncateToPixel(2.9), 2);
    EXPECT_EQ(TruncateToPixel(-2.9), -2);
    EXPECT_EQ(TruncateToPixel(2147483647.9), kMax);
    EXPECT_EQ(TruncateToPixel(-2147483648.9), kMin);
    EXPECT_EQ(TruncateToPixel(2147483648.0), kMax);
    EXPECT_EQ(TruncateToPixel(-2147483649.0), kMin);
    EXPECT_EQ(TruncateToPixel(1e300), kMax);
    EXPECT_EQ(TruncateToPixel(-std::numeric_limits<double>::infinity()), kMin);
    EXPECT_EQ(TruncateToPixel(std::numeric_limits<double>::quiet_NaN()), 0);

    const Corners far = BranchCorners(CVector(1e300, -1e300, -1e300), CVector(1e300, 0, 0));
    EXPECT_EQ(far[0], (SurfacePoint{kMax, kMin}));
    const Corners lost = BranchCorners(CVector(std::nan(""), 0, std::nan("")), CVector(0, 0, 0));
    EXPECT_EQ(lost[0], (SurfacePoint{0, 0}));
}

TEST(TreePainterTest, RotationsAtAngleZeroAreTheIdentity) {
    RecordingSurface surface;
    CTreePainter painter(surface, 1, 1, 1, 1.0, 1, 0);
    for (const CMatrix& m : {painter.RotationXY(0), painter.RotationXZ(0), painter.RotationYZ(0)}) {
        EXPECT_EQ(m.m11, 1);
        EXPECT_EQ(m.m22, 1);
        EXPECT_EQ(m.m33, 1);
        EXPECT_EQ(m.m12 + m.m13 + m.m21 + m.m23 + m.m31 + m.m32, 0);
    }
    // The negated sine of 0 is a negative zero.
    EXPECT_TRUE(std::signbit(painter.RotationXY(0).m21));
    EXPECT_TRUE(std::signbit(painter.RotationXZ(0).m31));
    EXPECT_TRUE(std::signbit(painter.RotationYZ(0).m32));
}

TEST(TreePainterTest, RotationsTurnByPlusTheAngleInTheirPlane) {
    RecordingSurface surface;
    CTreePainter painter(surface, 1, 1, 1, 1.0, 1, 0);
    const double a = std::acos(-1.0) / 2;
    const double c = std::cos(a);
    const double s = std::sin(a);
    const CVector xy = painter.RotationXY(a) * CVector(1, 0, 0);
    EXPECT_EQ(xy.x, c);
    EXPECT_EQ(xy.y, s);
    EXPECT_EQ(xy.z, 0);
    EXPECT_GT(xy.x, 0);
    EXPECT_LT(xy.x, 1e-16);
    const CVector xz = painter.RotationXZ(a) * CVector(1, 0, 0);
    EXPECT_EQ(xz.x, c);
    EXPECT_EQ(xz.y, 0);
    EXPECT_EQ(xz.z, s);
    const CVector yz = painter.RotationYZ(a) * CVector(0, 1, 0);
    EXPECT_EQ(yz.x, 0);
    EXPECT_EQ(yz.y, c);
    EXPECT_EQ(yz.z, s);
    // A turn in the XY plane from +x toward +y: on the canvas, clockwise.
    const CVector up = painter.RotationXY(a) * CVector(0, -1, 0);
    EXPECT_NEAR(up.x, 1, 1e-15);

    // The matrices depend on the angle alone, not on the painter.
    RecordingSurface other;
    CTreePainter another(other, 90, 45, 7, 0.25, 3, 9);
    const CMatrix m1 = painter.RotationXZ(0.3);
    const CMatrix m2 = another.RotationXZ(0.3);
    EXPECT_EQ(m1.m11, m2.m11);
    EXPECT_EQ(m1.m13, m2.m13);
    EXPECT_EQ(m1.m31, m2.m31);
}

TEST(TreePainterTest, PreparesTheSurfaceAndRestoresItsPenAndBrush) {
    RecordingSurface surface;
    {
        CTreePainter painter(surface, 1, 2, 3, 0.5, 4, 5);
        EXPECT_EQ(surface.FillMode(), PolyFillMode::Winding);
        EXPECT_NE(surface.SelectedPen(), RecordingSurface::kStockPen);
        EXPECT_NE(surface.SelectedBrush(), RecordingSurface::kStockBrush);
    }
    EXPECT_EQ(surface.SelectedPen(), RecordingSurface::kStockPen);
    EXPECT_EQ(surface.SelectedBrush(), RecordingSurface::kStockBrush);
    EXPECT_EQ(surface.LiveObjects(), 0u);
    EXPECT_TRUE(surface.Problems().empty());

    const auto& calls = surface.Calls();
    ASSERT_EQ(calls.size(), 9u);
    const std::vector<Op> ops{Op::CreatePen,    Op::CreateSolidBrush, Op::SetPolyFillMode,
                              Op::SelectObject, Op::SelectObject,     Op::SelectObject,
                              Op::SelectObject, Op::DeleteObject,     Op::DeleteObject};
    for (std::size_t i = 0; i < ops.size(); ++i) {
        EXPECT_EQ(calls[i].op, ops[i]) << "call " << i;
    }
    const SurfaceObject pen = calls[0].object;
    const SurfaceObject brush = calls[1].object;
    EXPECT_EQ(calls[0].penStyle, PenStyle::Solid);
    EXPECT_EQ(calls[0].penWidth, 1);
    EXPECT_EQ(calls[0].colour, (Rgb{0, 0, 0}));
    EXPECT_EQ(calls[1].colour, (Rgb{141, 105, 20}));
    EXPECT_EQ(calls[3].object, pen);
    EXPECT_EQ(calls[4].object, brush);
    EXPECT_EQ(calls[5].object, RecordingSurface::kStockPen);
    EXPECT_EQ(calls[6].object, RecordingSurface::kStockBrush);
    EXPECT_EQ(calls[7].object, pen);
    EXPECT_EQ(calls[8].object, brush);
}

TEST(TreePainterTest, TurnAngleIsWholeDegreesBelowTheBound) {
    EXPECT_EQ(TurnAngle(18686, 40), static_cast<double>(2 * 6) * 3.1415926535 * (1.0 / 360));
    EXPECT_EQ(TurnAngle(39, 40), 78.0 * 3.1415926535 * (1.0 / 360));
    // A negative bound acts as its magnitude: the remainder of a draw is never negative.
    EXPECT_EQ(TurnAngle(45, -40), TurnAngle(45, 40));
    EXPECT_EQ(TurnAngle(32767, 1), 0.0);
    EXPECT_EQ(TurnAngle(32767, std::numeric_limits<std::int32_t>::min()),
              static_cast<double>(2 * 32767) * 3.1415926535 * (1.0 / 360));
    // A bound of 0 turns nothing.
    EXPECT_EQ(TurnAngle(12345, 0), 0.0);
}

} // namespace
} // namespace arbolith
