#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <vector>

#include "render/SurfaceCalls.h"
#include "tests/support/RecordingSurface.h"
#include "tree/DrawingRun.h"

namespace arbolith {
namespace {

using Block = std::vector<SurfacePoint>;

// The blocks a writer sends, kept.
struct Sent {
    std::vector<Block> blocks;
    CallWriter::Send Keep() {
        return [this](std::span<const SurfacePoint> block) {
            blocks.emplace_back(block.begin(), block.end());
        };
    }
};

void ExpectSameCalls(const RecordingSurface& played, const RecordingSurface& direct) {
    ASSERT_EQ(played.Calls().size(), direct.Calls().size());
    for (std::size_t i = 0; i < direct.Calls().size(); ++i) {
        const RecordingSurface::Call& a = played.Calls()[i];
        const RecordingSurface::Call& b = direct.Calls()[i];
        EXPECT_EQ(a.op, b.op) << "call " << i;
        EXPECT_EQ(a.rect, b.rect) << "call " << i;
        EXPECT_EQ(a.penStyle, b.penStyle) << "call " << i;
        EXPECT_EQ(a.penWidth, b.penWidth) << "call " << i;
        EXPECT_EQ(a.colour, b.colour) << "call " << i;
        EXPECT_EQ(a.fillMode, b.fillMode) << "call " << i;
        EXPECT_EQ(a.object, b.object) << "call " << i;
        EXPECT_EQ(a.replaced, b.replaced) << "call " << i;
    }
    EXPECT_EQ(played.Polygons(), direct.Polygons());
    EXPECT_EQ(played.Problems(), direct.Problems());
    EXPECT_EQ(played.LiveObjects(), direct.LiveObjects());
}

TreeParameters Tree(std::int32_t limbs, std::int32_t levels, double scale = 0.7) {
    TreeParameters p;
    p.maxAngleXY = 40;
    p.maxAngleYZ = 25;
    p.maxAngleXZ = 60;
    p.scaleFactor = scale;
    p.limbsDegree = limbs;
    p.referencePoint = {280, 640, 0};
    p.firstVector = {0, -150, 0};
    p.levels = levels;
    return p;
}

// A run's calls written in blocks and played elsewhere are the run's calls on that surface, the
// pens and brushes matched up; each block but the last holds the branches asked for, a little
// more at most, so that what waits between the two sides stays small.
TEST(SurfaceCallsTest, ARunPlayedFromItsBlocksIsTheSameCallsInTheSameOrder) {
    TreeOrder turned{Tree(2, 10), 1796000011};
    turned.view = {-60, 20};
    TreeOrder limited{Tree(3, 9), 1796000012, {}, GrowthPath::Literal};
    limited.branchLimit = 5000;
    struct Case {
        const char* name;
        TreeOrder order;
        std::size_t branchesABlock;
    };
    const std::vector<Case> cases{
        {"one branch a block", {Tree(2, 5), 1796000010}, 1},
        {"a block a painter's hand-over", {Tree(2, 12), 1796000010}, 256},
        {"blocks of an odd size", {Tree(2, 12), 1796000010}, 1000},
        {"turned", turned, 8192},
        {"a branch limit", limited, 8192},
        {"random limbs", {Tree(0, 4, 0.0), 1796000013}, 512},
        {"corners at the 32-bit bounds", {Tree(2, 6, 1e300), 1796000014}, 64},
        {"the trunk alone", {Tree(2, -1), 1796000015}, 8192},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingSurface direct;
        const RunResult run = DrawTree(direct, c.order);

        Sent sent;
        CallWriter writer(sent.Keep(), c.branchesABlock);
        DrawTree(writer, c.order);
        writer.Flush();
        EXPECT_EQ(writer.BlocksSent(), sent.blocks.size());

        RecordingSurface played;
        CallPlayer player(played);
        for (std::size_t i = 0; i < sent.blocks.size(); ++i) {
            const std::uint64_t before = player.Polygons();
            ASSERT_TRUE(player.Play(sent.blocks[i]));
            if (i + 1 < sent.blocks.size()) {
                EXPECT_GE(player.Polygons() - before, c.branchesABlock) << "block " << i;
                EXPECT_LT(player.Polygons() - before, c.branchesABlock + 256) << "block " << i;
            }
        }
        EXPECT_EQ(player.Polygons(), run.polygons);
        ExpectSameCalls(played, direct);
        EXPECT_EQ(played.LiveObjects(), 0u);
    }
}

// Calls made one by one, misuses too, reach the other side as they were made, a polygon of any
// number of corners too; an object never made there is no object there.
TEST(SurfaceCallsTest, EveryKindOfCallCrossesAsMade) {
    const std::vector<SurfacePoint> five{{0, 0}, {9, 0}, {9, 9}, {4, 12}, {0, 9}};
    const auto makeCalls = [&](DrawingSurface& surface) {
        surface.FillRectWhite({-5, 2, 7, 1 << 30});
        const SurfaceObject pen = surface.CreatePen(PenStyle::Solid, 3, {1, 2, 3});
        const SurfaceObject brush = surface.CreateSolidBrush({250, 128, 7});
        surface.SetPolyFillMode(PolyFillMode::Alternate);
        const SurfaceObject stockPen = surface.SelectObject(pen);
        surface.SelectObject(brush);
        surface.Polygon(five.data(), 5);
        surface.Polygon(five.data(), 0);
        surface.Quadrilaterals(five.data(), 1);
        surface.SetPolyFillMode(PolyFillMode::Winding);
        surface.DeleteObject(pen); // selected: refused
        surface.SelectObject(stockPen);
        surface.DeleteObject(pen);
    };
    RecordingSurface direct;
    makeCalls(direct);
    Sent sent;
    CallWriter writer(sent.Keep(), 8192);
    makeCalls(writer);
    writer.Flush();
    ASSERT_EQ(sent.blocks.size(), 1u);
    RecordingSurface played;
    CallPlayer player(played);
    EXPECT_TRUE(player.Play(sent.blocks[0]));
    EXPECT_EQ(player.Polygons(), 3u);
    ExpectSameCalls(played, direct);
    EXPECT_FALSE(direct.Problems().empty()) << "the misuses are there to cross";

    writer.SelectObject(12345);
    writer.DeleteObject(12346);
    writer.Flush();
    ASSERT_TRUE(player.Play(sent.blocks.back()));
    const auto& calls = played.Calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2].object, 0u);
    EXPECT_EQ(calls.back().object, 0u);
}

// A block that is not what a writer sends plays the calls before the fault and nothing after it.
TEST(SurfaceCallsTest, AFaultyBlockIsRefusedWhereItGoesWrong) {
    // Each block sets the fill mode first; a rectangle after a fault must not be drawn.
    const SurfacePoint fillMode{4, 2};
    const std::vector<SurfacePoint> rect{{1, 0}, {0, 10}, {10, 0}};
    struct Case {
        const char* name;
        Block fault;
        bool rectAfter;
    };
    const std::vector<Case> cases{
        {"code 0", {{0, 0}}, true},
        {"an unknown code", {{99, 0}}, true},
        {"a negative code", {{-8, 0}}, true},
        {"a polygon of a negative count", {{6, -1}}, true},
        {"a rectangle cut short", {{1, 0}, {0, 10}}, false},
        {"a selection cut short", {{5, 100}}, false},
        {"a polygon of fewer corners than it says", {{6, 3}, {0, 0}, {1, 1}}, false},
        {"fewer quadrilaterals than it says", {{8, 2}, {0, 0}, {1, 0}, {1, 1}, {0, 1}}, false},
        {"a count beyond any block", {{8, 0x7fffffff}, {0, 0}}, false},
        {"a count whose corners wrap round 32 bits", {{8, 0x40000000}, {0, 0}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Block block{fillMode};
        block.insert(block.end(), c.fault.begin(), c.fault.end());
        if (c.rectAfter) {
            block.insert(block.end(), rect.begin(), rect.end());
        }
        RecordingSurface played;
        CallPlayer player(played);
        EXPECT_FALSE(player.Play(block));
        ASSERT_EQ(played.Calls().size(), 1u);
        EXPECT_EQ(played.Calls()[0].op, RecordingSurface::Op::SetPolyFillMode);
        EXPECT_EQ(player.Polygons(), 0u);
    }
    RecordingSurface played;
    EXPECT_TRUE(CallPlayer(played).Play({})) << "an empty block is no fault";
}

} // namespace
} // namespace arbolith
