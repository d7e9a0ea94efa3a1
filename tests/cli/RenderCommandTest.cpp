#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <QImage>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "RenderFixture.h"
#include "RenderProcess.h"
#include "numbers/DecimalText.h"
#include "render/RasterPicture.h"
#include "tests/render/SvgText.h"
#include "tests/support/RecordingSurface.h"
#include "tree/BranchCount.h"
#include "tree/DrawingRun.h"
#include "tree/ExampleTree.h"

namespace arbolith {
namespace {

namespace fs = std::filesystem;
using testing::RenderProcess;
using testing::RunRender;

using RenderCommandTest = testing::RenderTest;
using testing::LineCount;
using testing::PixelsOf;

struct BadInput {
    std::vector<std::string> args;
    std::vector<std::string> mentions; // the option, the value, what was expected
};

TEST_F(RenderCommandTest, RefusesEachBadValueWithItsOwnLineAndWritesNothing) {
    // The parser's refusals are tested in-process (RenderOptionsTest); these are the wiring of a
    // few, and the refusals the program makes once it knows the tree.
    const std::vector<BadInput> cases{
        {{"--scale", "abc", "-o", "t.png"}, {"--scale", "'abc'", "finite"}},
        {{"--view", "30,10", "-o", "t.glb"}, {"--view 30,10", "3-D"}},
        {{"--bogus", "-o", "t.png"}, {"unknown option", "'--bogus'"}},
        {{"--max-xy", "30"}, {"missing -o"}},
        {{"--levels", "40", "-o", "t.png"}, {"5497558138879 branches", "--max-branches"}},
        // More branches than 64 bits count, whatever the branch limit.
        {{"--limbs", "2", "--levels", "3000", "--max-branches", "18446744073709551615", "-o",
          "t.png"},
         {"more than 18446744073709551615 branches", "whatever --max-branches"}},
        // Deeper than a run's fork records reach, whatever the branch limit.
        {{"--levels", "2147483647", "--max-branches", "18446744073709551615", "-o", "t.png"},
         {"2147483648 levels", "1048576", "never"}},
        // Second 1000000000 draws 6 limbs at every fork.
        {{"--limbs", "0", "--levels", "30", "--time", "1000000000", "-o", "t.png"},
         {"8589934591 branches", "--max-branches"}},
        // Seconds 1000000005 and 1000000006 draw 2 and 5 limbs: the series is judged by its
        // largest tree.
        {{"--limbs", "0", "--levels", "22", "--time", "1000000005", "--count", "2", "-o",
          "t{n}.png"},
         {"largest tree", "--max-branches"}},
    };
    std::set<std::string> messages;
    for (const BadInput& bad : cases) {
        const auto run = RunRender(Dir(), bad.args);
        const std::string line = run.err;
        SCOPED_TRACE(line);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(LineCount(run.err), 1);
        EXPECT_TRUE(run.out.empty());
        for (const std::string& mention : bad.mentions) {
            EXPECT_NE(line.find(mention), std::string::npos) << "should mention " << mention;
        }
        EXPECT_TRUE(messages.insert(line).second) << "another case gave the same message";
        EXPECT_TRUE(Entries().empty()) << "nothing may be written";
    }
}

TEST_F(RenderCommandTest, DrawsTheExampleTreeWithNoOtherArgumentAndNamesItsSecond) {
    const auto before = std::chrono::system_clock::now();
    const auto run = RunRender(Dir(), {"-o", "tree.png"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(Entries(), std::vector<std::string>{"tree.png"});
    const QImage image(QString::fromStdString(PathOf("tree.png")));
    ASSERT_EQ(image.size(), QSize(560, 670));

    // The second printed is a second of the run, and drawing it again gives the same picture.
    const std::string marker = "--time ";
    const std::size_t at = run.err.find(marker);
    ASSERT_NE(at, std::string::npos) << run.err;
    const auto second = static_cast<std::uint32_t>(std::stoul(run.err.substr(at + marker.size())));
    const auto started =
        std::chrono::floor<std::chrono::seconds>(before.time_since_epoch()).count();
    EXPECT_GE(second, started);
    EXPECT_LE(second, started + 600);
    EXPECT_EQ(PixelsOf(image), *RenderTreeImage({kExampleTree, second}, 560, 670));
}

TEST_F(RenderCommandTest, SvgHoldsExactlyThePolygonsTheCoreDrewForEachSecond) {
    const std::vector<std::string> values{
        "--max-xy", "45", "--max-yz",    "25",          "--max-xz", "35",         "--scale",  "0",
        "--limbs",  "0",  "--reference", "300,600,-40", "--vector", "10,-140,20", "--levels", "3"};
    std::vector<std::string> args = values;
    for (const char* more : {"--time", "1234567890", "--count", "2", "-o", "tree-{time}.svg"}) {
        args.emplace_back(more);
    }
    const auto run = RunRender(Dir(), args);
    ASSERT_EQ(run.exitCode, 0) << run.err;

    TreeParameters parameters{45, 25, 35, 0.0, 0, {300, 600, -40}, {10, -140, 20}, 3};
    for (const std::uint32_t second : {1234567890u, 1234567891u}) {
        SCOPED_TRACE(second);
        RecordingSurface recording;
        DrawTree(recording, {parameters, second});
        const std::string svg = ReadFile(PathOf("tree-" + std::to_string(second) + ".svg"));
        const auto polygons = testing::SvgPolygons(QByteArray::fromStdString(svg));
        EXPECT_GT(polygons.size(), 1u);
        EXPECT_EQ(polygons, recording.Polygons());
    }
}

TEST_F(RenderCommandTest, LiteralDrawsEveryPolygonAndTheSamePicture) {
    const std::vector<std::string> tree{"--time", "1796000000", "--limbs", "4", "--levels", "3"};
    auto render = [&](std::vector<std::string> args, const std::string& name) {
        args.insert(args.end(), tree.begin(), tree.end());
        args.insert(args.end(), {"-o", name});
        const auto run = RunRender(Dir(), args);
        EXPECT_EQ(run.exitCode, 0) << run.err;
    };
    render({}, "once.png");
    render({"--literal"}, "literal.png");
    render({}, "once.svg");
    render({"--literal"}, "literal.svg");

    const QImage once(QString::fromStdString(PathOf("once.png")));
    ASSERT_FALSE(once.isNull());
    EXPECT_EQ(once, QImage(QString::fromStdString(PathOf("literal.png"))));

    TreeParameters p = kExampleTree;
    p.limbsDegree = 4;
    p.levels = 3;
    const auto polygonsIn = [&](const std::string& name) {
        return testing::SvgPolygons(QByteArray::fromStdString(ReadFile(PathOf(name)))).size();
    };
    EXPECT_EQ(polygonsIn("once.svg"), CountBranches(p).branches);
    EXPECT_EQ(polygonsIn("literal.svg"), CountBranches(p, GrowthPath::Literal).branches);
    EXPECT_EQ(polygonsIn("literal.svg"), 1u + 4 + 16 + 64 + 256);
}

TEST_F(RenderCommandTest, TheBranchLimitCountsWhatTheChosenPathDraws) {
    const std::vector<std::string> huge{"--limbs", "19", "--levels", "10", "--time", "5"};
    std::vector<std::string> once = huge;
    once.insert(once.end(), {"-o", "once.png"});
    const auto drawn = RunRender(Dir(), once);
    EXPECT_EQ(drawn.exitCode, 0) << drawn.err;

    std::vector<std::string> literal = huge;
    literal.insert(literal.end(), {"--literal", "-o", "literal.png"});
    const auto refused = RunRender(Dir(), literal);
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find("122961939948120"), std::string::npos) << refused.err;
    EXPECT_FALSE(fs::exists(PathOf("literal.png")));
}

TEST_F(RenderCommandTest, PngShowsWhiteGroundBrownInsideAndBlackOutlineWhereTheCornersSay) {
    // A vertical trunk 9 pixels wide (half-width 4 at depth -180) and two limbs above it.
    const auto run =
        RunRender(Dir(), {"--reference", "100,180,-180", "--vector",   "0,-100,0", "--max-xy",
                          "90",          "--max-yz",     "1",          "--max-xz", "1",
                          "--scale",     "0.5",          "--limbs",    "2",        "--levels",
                          "0",           "--time",       "1000000000", "--size",   "200x200",
                          "-o",          "small.png"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const QImage image(QString::fromStdString(PathOf("small.png")));
    ASSERT_EQ(image.size(), QSize(200, 200));

    RecordingSurface recording;
    DrawTree(recording, {{90, 1, 1, 0.5, 2, {100, 180, -180}, {0, -100, 0}, 0}, 1000000000});
    ASSERT_EQ(recording.PolygonCount(), 3u);
    const auto trunk = recording.PolygonAt(0);
    ASSERT_EQ(trunk[0], (SurfacePoint{96, 180}));
    ASSERT_EQ(trunk[1], (SurfacePoint{104, 180}));
    const QRgb black = qRgb(0, 0, 0);
    const QRgb brown = qRgb(141, 105, 20);
    const QRgb white = qRgb(255, 255, 255);
    // The foot of the trunk: its corners and the edge between them black, above it brown.
    for (int x = 96; x <= 104; ++x) {
        EXPECT_EQ(image.pixel(x, 180), black) << x;
        EXPECT_EQ(image.pixel(x, 181), white) << x;
    }
    for (int y = 130; y < 180; ++y) {
        EXPECT_EQ(image.pixel(96, y), black) << y;
        EXPECT_EQ(image.pixel(104, y), black) << y;
        for (int x = 97; x < 104; ++x) {
            EXPECT_EQ(image.pixel(x, y), brown) << x << "," << y;
        }
        EXPECT_EQ(image.pixel(95, y), white) << y;
        EXPECT_EQ(image.pixel(105, y), white) << y;
    }
    // The last limb is drawn over everything: all its corners are black.
    for (const SurfacePoint& corner : recording.PolygonAt(2)) {
        EXPECT_EQ(image.pixel(corner.x, corner.y), black) << corner.x << "," << corner.y;
    }
    EXPECT_EQ(image.pixel(0, 0), white);
    EXPECT_EQ(image.pixel(199, 199), white);
}

TEST_F(RenderCommandTest, WritesPdfAndStandardOutput) {
    ASSERT_EQ(RunRender(Dir(), {"--levels", "3", "-o", "tree.pdf"}).exitCode, 0);
    const std::string pdf = ReadFile(PathOf("tree.pdf"));
    EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
    EXPECT_NE(pdf.find("%%EOF"), std::string::npos);
    EXPECT_NE(pdf.find("/MediaBox [0 0 560 670]"), std::string::npos);

    const auto run = RunRender(Dir(), {"--format", "svg", "--time", "7", "-o", "-"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.rfind("<?xml", 0), 0u);
    EXPECT_NE(run.out.find("</svg>"), std::string::npos);
    EXPECT_NE(run.err.find("--time 7"), std::string::npos);
    EXPECT_EQ(Entries(), std::vector<std::string>{"tree.pdf"});
}

// Write failures that hold for every user, root included (CI runs as root, for whom a
// read-only folder is no obstacle): a missing folder, a folder in the file's place, and a
// path that runs through a regular file.
TEST_F(RenderCommandTest, AFailedWriteNamesThePathAndLeavesNothing) {
    fs::create_directory(PathOf("taken.png"));
    std::ofstream(PathOf("plain")) << "x";
    const std::vector<std::string> targets{PathOf("missing/tree.png"), PathOf("taken.png"),
                                           PathOf("plain/tree.svg")};
    for (const std::string& target : targets) {
        SCOPED_TRACE(target);
        const auto run = RunRender(Dir(), {"--levels", "2", "-o", target});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(LineCount(run.err), 1);
        EXPECT_NE(run.err.find("cannot write " + target + ": "), std::string::npos) << run.err;
        auto names = Entries();
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{"plain", "taken.png"})) << "no leftovers";
        EXPECT_TRUE(fs::is_empty(PathOf("taken.png")));
    }
}

TEST_F(RenderCommandTest, AReadOnlyFolderRefusesTheFile) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root writes into read-only folders; the other failures are tested";
    }
    fs::create_directory(PathOf("locked"));
    fs::permissions(PathOf("locked"), fs::perms::owner_read | fs::perms::owner_exec);
    const auto run = RunRender(Dir(), {"-o", PathOf("locked/tree.png")});
    fs::permissions(PathOf("locked"), fs::perms::owner_all);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("locked/tree.png"), std::string::npos) << run.err;
    EXPECT_TRUE(fs::is_empty(PathOf("locked")));
}

TEST_F(RenderCommandTest, InterruptStopsTheDrawingAndLeavesNoPartialFile) {
    // Tens of millions of branches: far longer than the wait for the file to appear.
    RenderProcess process(Dir(),
                          {"--levels", "26", "--max-branches", "1000000000000", "-o", "huge.svg"});
    // The output is opened, as a temporary file in the folder, only once the handler is in
    // place.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!process.HasOpenFileIn(Dir()) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(process.HasOpenFileIn(Dir())) << "the render never opened its output";
    process.Signal(SIGINT);
    const auto run = process.Wait();
    EXPECT_EQ(run.exitCode, 130) << run.err;
    EXPECT_NE(run.err.find("interrupted"), std::string::npos) << run.err;
    EXPECT_TRUE(Entries().empty()) << "no partial file";
}

TEST_F(RenderCommandTest, InterruptStopsASeriesOfSmallTreesLeavingOnlyWholeFiles) {
    // Trees too small for the drawing to ask whether to go on.
    RenderProcess process(Dir(), {"--levels", "2", "--count", "100000", "-o", "t-{n}.png"});
    // Files being written are hidden temporaries until they are whole.
    const auto finished = [this] {
        auto names = Entries();
        std::erase_if(names, [](const std::string& name) { return name.starts_with('.'); });
        return names;
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (finished().size() < 2 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    process.Signal(SIGINT);
    const auto run = process.Wait();
    EXPECT_EQ(run.exitCode, 130) << run.err;
    const auto names = Entries();
    EXPECT_EQ(names, finished()) << "no temporary left behind";
    EXPECT_GE(names.size(), 2u);
    EXPECT_LT(names.size(), 100000u);
    EXPECT_NE(run.err.find(std::to_string(names.size()) + " of 100000 files written"),
              std::string::npos)
        << run.err;
    for (const std::string& name : names) {
        EXPECT_EQ(QImage(QString::fromStdString(PathOf(name))).size(), QSize(560, 670)) << name;
    }
}

// An interrupt while the output waits on a FIFO, for its reader to come or to take more, ends as
// every interrupt does, and says what the FIFO received.
TEST_F(RenderCommandTest, AnInterruptWhileAFifoWaitsSaysWhatItReceived) {
    for (const bool reader : {false, true}) {
        SCOPED_TRACE(reader ? "a reader that takes nothing" : "no reader");
        const std::string fifo = PathOf(reader ? "read.svg" : "unread.svg");
        ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
        // Opened without waiting for the writer, and read only once the program has ended.
        const int in = reader ? open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC) : -1;
        RenderProcess process(Dir(), {"--levels", "18", "-o", fifo});
        const auto waiting = [&] {
            int queued = 0;
            return process.Sleeping() &&
                   (!reader || (ioctl(in, FIONREAD, &queued) == 0 && queued > 0));
        };
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!waiting() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        process.Signal(SIGINT);
        const auto run = process.Wait();
        std::string received;
        char buffer[65536];
        for (ssize_t got; reader && (got = read(in, buffer, sizeof buffer)) > 0;) {
            received.append(buffer, static_cast<std::size_t>(got));
        }
        EXPECT_EQ(run.exitCode, 130) << run.err;
        EXPECT_EQ(run.err, "arbolith-render: interrupted; " + fifo +
                               (reader ? " received only the first " + CountText(received.size()) +
                                             " bytes\n"
                                       : " not written\n"));
        EXPECT_EQ(received.empty(), !reader);
        if (in >= 0) {
            close(in);
        }
    }
}

// The front view is today's picture; any other is the turned run's, to the pixel.
TEST_F(RenderCommandTest, ViewDrawsTheTreeTurnedAndTheFrontAsBefore) {
    const std::vector<std::pair<std::string, ViewAngles>> views{
        {"0,0", {0, 0}}, {"30,-15", {30, -15}}, {"-180,90", {-180, 90}}};
    for (const auto& [view, angles] : views) {
        SCOPED_TRACE(view);
        const auto run = RunRender(Dir(), {"--time", "1796000077", "--view", view, "-o", "-"});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        QImage image;
        ASSERT_TRUE(image.loadFromData(QByteArray::fromStdString(run.out), "PNG"));
        TreeOrder turned{kExampleTree, 1796000077};
        turned.view = angles;
        EXPECT_EQ(PixelsOf(image), *RenderTreeImage(turned, 560, 670));
        const PixelImage front = *RenderTreeImage({kExampleTree, 1796000077}, 560, 670);
        if (angles.IsFront()) {
            EXPECT_EQ(PixelsOf(image), front);
        } else {
            EXPECT_NE(PixelsOf(image), front);
        }
    }
}

// An OBJ comes with its material library, each file whole; a .glb goes to standard output
// as it goes to a file. Standard error says what each holds.
TEST_F(RenderCommandTest, Writes3DFilesBesideTheirMaterialAndToStandardOutput) {
    const std::vector<std::string> tree{"--time", "1796000077", "--levels", "4"};
    const auto render = [&](const std::string& name) {
        std::vector<std::string> args = tree;
        args.insert(args.end(), {"-o", name});
        return RunRender(Dir(), args);
    };
    const auto obj = render("tree.obj");
    ASSERT_EQ(obj.exitCode, 0) << obj.err;
    const auto glb = render("tree.glb");
    ASSERT_EQ(glb.exitCode, 0) << glb.err;
    auto names = Entries();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"tree.glb", "tree.mtl", "tree.obj"}));
    EXPECT_NE(ReadFile(PathOf("tree.obj")).find("\nmtllib tree.mtl\n"), std::string::npos);
    EXPECT_NE(ReadFile(PathOf("tree.mtl")).find("newmtl bark"), std::string::npos);

    const auto piped =
        RunRender(Dir(), {"--time", "1796000077", "--levels", "4", "--format", "glb", "-o", "-"});
    ASSERT_EQ(piped.exitCode, 0) << piped.err;
    EXPECT_EQ(piped.out, ReadFile(PathOf("tree.glb")));

    TreeParameters p = kExampleTree;
    p.levels = 4;
    const std::string branches = std::to_string(CountBranches(p).branches) + " branches, ";
    for (const auto* run : {&obj, &glb, &piped}) {
        EXPECT_NE(run->err.find(branches), std::string::npos) << run->err;
        EXPECT_NE(run->err.find(" vertices, "), std::string::npos) << run->err;
    }
}

TEST_F(RenderCommandTest, AnswersHelpAndVersion) {
    const auto help = RunRender(Dir(), {"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* option : {"--max-xy", "--max-yz", "--max-xz", "--scale", "--limbs",
                               "--reference", "--vector", "--levels", "--time", "--size", "--count",
                               "--format", "--max-branches", "--view", "--version"}) {
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    }
    EXPECT_NE(help.out.find("read once"), std::string::npos);
    const auto version = RunRender(Dir(), {"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("arbolith-render ", 0), 0u);
    EXPECT_TRUE(Entries().empty());
}

} // namespace
} // namespace arbolith
