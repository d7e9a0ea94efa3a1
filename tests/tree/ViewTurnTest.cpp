#include <gtest/gtest.h>

#include <vector>

#include "tests/geometry/ExpectVector.h"
#include "tree/ViewTurn.h"

namespace arbolith {
namespace {

const CVector kFoot(100.5, 600.25, -30);

struct TurnCase {
    ViewAngles view;
    CVector fromFoot; // a point, as its offset from the foot
    CVector expected; // where the view puts it, as its offset from the foot
};

// Quarter turns are exact, so every result is too: x right, y down, z away from the viewer.
TEST(ViewTurnTest, TurnsAboutTheVerticalThroughTheFootThenTiltsAboutTheHorizontal) {
    const std::vector<TurnCase> cases{
        {{0, 0}, {7, -3, 5}, {7, -3, 5}},
        // The front comes to the right, the right goes back.
        {{90, 0}, {0, 0, -10}, {10, 0, 0}},
        {{90, 0}, {10, 0, 0}, {0, 0, 10}},
        {{-90, 0}, {0, 0, -10}, {-10, 0, 0}},
        // Half a turn mirrors left and right and front and back; height stays.
        {{180, 0}, {10, -20, -5}, {-10, -20, 5}},
        // The top comes toward the viewer, the front goes down.
        {{0, 90}, {0, -10, 0}, {0, 0, -10}},
        {{0, 90}, {0, 0, -10}, {0, 10, 0}},
        {{0, -90}, {0, -10, 0}, {0, 0, 10}},
        // Turned first, tilted after: the right goes back, then up.
        {{90, 90}, {10, 0, 0}, {0, -10, 0}},
        {{90, 90}, {0, 0, -10}, {10, 0, 0}},
    };
    for (const TurnCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "view " << c.view.yaw << "," << c.view.pitch);
        const ViewTurn turn(c.view, kFoot);
        const CVector point(kFoot.x + c.fromFoot.x, kFoot.y + c.fromFoot.y, kFoot.z + c.fromFoot.z);
        ExpectVector(turn.Point(point), kFoot.x + c.expected.x, kFoot.y + c.expected.y,
                     kFoot.z + c.expected.z);
        // A vector turns the same way, wherever it starts.
        ExpectVector(turn.Vector(c.fromFoot), c.expected.x, c.expected.y, c.expected.z);
        ExpectVector(turn.Point(kFoot), kFoot.x, kFoot.y, kFoot.z);
    }
}

TEST(ViewTurnTest, LeavesTheComponentsAViewDoesNotTurnUntouched) {
    const CVector point(0.1 + 0.2, 1.0 / 3.0, 7.7);
    const CVector yawed = ViewTurn({37, 0}, kFoot).Point(point);
    EXPECT_EQ(yawed.y, point.y);
    const CVector pitched = ViewTurn({0, -23}, kFoot).Point(point);
    EXPECT_EQ(pitched.x, point.x);
}

TEST(ViewTurnTest, KeepsAnyNumberOfDegreesAsTheSameYawWithinAWholeTurn) {
    const std::vector<std::pair<std::int64_t, std::int32_t>> cases{
        {0, 0},    {180, 180}, {-180, 180}, {181, -179},  {-181, 179},
        {359, -1}, {360, 0},   {540, 180},  {-539, -179}, {7200 + 45, 45},
    };
    for (const auto& [degrees, yaw] : cases) {
        EXPECT_EQ(WrappedYaw(degrees), yaw) << degrees;
    }
}

} // namespace
} // namespace arbolith
