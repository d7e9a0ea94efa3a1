// Trees are values: any number of them grow at once in one process, each exactly as it grows
// alone.
#include <gtest/gtest.h>

#include <latch>
#include <string>
#include <thread>
#include <vector>

#include "output/Formats.h"
#include "render/PipelineSurface.h"
#include "render/RasterSurface.h"
#include "render/SvgSurface.h"
#include "tree/DrawingRun.h"
#include "tree/ExampleTree.h"

namespace arbolith {
namespace {

struct Job {
    Format format;
    TreeOrder tree;
};

std::vector<Job> Jobs() {
    TreeOrder randomLimbs{{45, 25, 35, 0.0, 0, {280, 640, -40}, {10, -150, 20}, 3}, 1234567890};
    TreeOrder literal{{40, 20, 30, 0.75, 3, {280, 640, 0}, {0, -150, 0}, 7}, 1796000000};
    literal.path = GrowthPath::Literal;
    TreeOrder turned{kExampleTree, 1796000077};
    turned.view = {35, 10};
    TreeOrder limited{kExampleTree, 1000000006};
    limited.branchLimit = 300;
    // Large enough that its mesh is made and written on two threads.
    const TreeOrder large{{40, 20, 30, 0.75, 2, {280, 640, 0}, {0, -150, 0}, 14}, 1796000000};
    return {
        {Format::Png, {kExampleTree, 1000000006}},
        {Format::Svg, randomLimbs},
        {Format::Glb, literal},
        {Format::Png, turned},
        {Format::Pdf, {kExampleTree, 1796000001}},
        {Format::Obj, randomLimbs},
        {Format::Png, limited},
        {Format::Svg, literal},
        {Format::Glb, large},
    };
}

std::string Written(const Job& job) {
    std::string bytes;
    const WriteResult result =
        WriteTree(job.format, job.tree, [&bytes](const void* data, std::size_t size) {
            bytes.append(static_cast<const char*>(data), size);
            return true;
        });
    EXPECT_EQ(result.outcome, WriteOutcome::Written) << result.reason;
    return bytes;
}

TEST(ConcurrencyTest, TreesGrownAtOnceOnManyThreadsAreEachTheTreeGrownAlone) {
    const std::vector<Job> jobs = Jobs();
    std::vector<std::string> alone;
    for (const Job& job : jobs) {
        alone.push_back(Written(job));
    }
    std::vector<std::string> together(jobs.size());
    {
        std::latch start(static_cast<std::ptrdiff_t>(jobs.size()));
        std::vector<std::jthread> threads;
        for (std::size_t i = 0; i < jobs.size(); ++i) {
            threads.emplace_back([&, i] {
                start.arrive_and_wait();
                together[i] = Written(jobs[i]);
            });
        }
    }
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        EXPECT_FALSE(alone[i].empty());
        EXPECT_TRUE(together[i] == alone[i]) << "job " << i;
    }
}

// Two runs of one tree, each drawing its own half of the rows of one picture at the same time,
// make the picture one run draws.
TEST(ConcurrencyTest, TwoRunsDrawingTheHalvesOfOnePictureAtOnceMakeTheWholePicture) {
    const TreeOrder tree{kExampleTree, 1000000006};
    PixelImage whole(560, 670);
    {
        RasterSurface surface(whole);
        DrawTree(surface, tree);
    }
    PixelImage halves(560, 670, PixelOf({1, 2, 3}));
    {
        std::latch start(2);
        const auto half = [&](RowBand band) {
            return std::jthread([&, band] {
                RasterSurface surface(halves, band);
                start.arrive_and_wait();
                DrawTree(surface, tree);
            });
        };
        const std::jthread top = half({0, 335});
        const std::jthread bottom = half({335, 670});
    }
    EXPECT_TRUE(halves == whole);
}

// A large tree grows on one thread while another draws it: the same pixels, the same bytes as on
// one thread, and the same stop.
TEST(ConcurrencyTest, ATreeDrawnOnTwoThreadsIsTheTreeDrawnOnOne) {
    const TreeOrder tree{{40, 20, 30, 0.75, 2, {280, 640, 0}, {0, -150, 0}, 15}, 1796000000};
    PixelImage alone(560, 670);
    PixelImage both(560, 670);
    {
        RasterSurface surface(alone);
        DrawTree(surface, tree);
    }
    {
        RasterSurface surface(both);
        PipelineSurface pipeline(surface);
        const RunResult result = DrawTree(pipeline, tree);
        EXPECT_EQ(result.polygons, 131071u);
    }
    EXPECT_TRUE(both == alone);

    std::string svgAlone;
    std::string svgBoth;
    const auto collect = [](std::string& bytes) {
        return [&bytes](const void* data, std::size_t size) {
            bytes.append(static_cast<const char*>(data), size);
            return true;
        };
    };
    {
        SvgSurface svg(collect(svgAlone), 560, 670);
        DrawTree(svg, tree);
        ASSERT_TRUE(svg.Finish());
    }
    {
        SvgSurface svg(collect(svgBoth), 560, 670);
        ASSERT_GE(131071u, kPipelineFrom) << "large enough to take two threads";
        DrawTreeOnBothCores(svg, tree);
        ASSERT_TRUE(svg.Finish());
    }
    EXPECT_TRUE(svgBoth == svgAlone);
}

} // namespace
} // namespace arbolith
