// Where arbolith-render takes a tree's values from: a parameter file, a preset, the options, in
// the order given, the last one winning.
#include <gtest/gtest.h>

#include <fstream>
#include <optional>

#include <QImage>

#include "RenderFixture.h"
#include "RenderProcess.h"
#include "output/Formats.h"
#include "output/WholeFile.h"
#include "render/RasterPicture.h"
#include "tree/Presets.h"
#include "values/ParameterFile.h"

namespace arbolith {
namespace {

using testing::RunRender;
using TreeSourcesTest = testing::RenderTest;

struct Source {
    std::vector<std::string> args;
    std::optional<TreeOrder> drawn;    // none: refused with status 2, nothing written
    std::vector<std::string> mentions; // what standard error's one line says
};

TEST_F(TreeSourcesTest, ParamsAndPresetsSetTheTreeAndTheLastOptionWins) {
    TreeParameters small = kExampleTree;
    small.levels = 3;
    const ParameterSet file{small, 1234567890u, ViewAngles{30, -10}};
    ASSERT_EQ(WriteParameterFile(PathOf("tree.txt"), file).outcome, WriteOutcome::Written);
    std::ofstream(PathOf("bad.txt")) << "# a tree\n\nlevels = 3\ncolour = brown\n";

    TreeOrder fromFile{small, 1234567890u};
    fromFile.view = {30, -10};
    TreeOrder fileThenLevels = fromFile;
    fileThenLevels.parameters.levels = 2;
    const Preset& elm = *FindPreset("elm");
    TreeOrder elmAt5{elm.parameters, 5};
    TreeOrder turnedElm{elm.parameters, elm.second};
    turnedElm.view = {30, -10};

    const std::vector<Source> cases{
        {{"--params", "tree.txt"}, fromFile, {"second 1234567890"}},
        {{"--params=tree.txt", "--levels", "2"}, fileThenLevels, {}},
        {{"--levels", "2", "--time", "7", "--params", "tree.txt"}, fromFile, {}},
        {{"--preset", "elm"}, TreeOrder{elm.parameters, elm.second}, {}},
        {{"--preset", "elm", "--time", "5"}, elmAt5, {}},
        {{"--params", "tree.txt", "--preset", "elm"}, turnedElm, {}},
        {{"--params", "bad.txt"}, std::nullopt, {"bad.txt, line 4: unknown key 'colour'"}},
        {{"--params", "none.txt"}, std::nullopt, {"none.txt: No such file or directory"}},
        {{"--params", "-"}, std::nullopt, {"standard input: no value for max-xy"}},
        {{"--preset", "birch"},
         std::nullopt,
         {"'birch' for --preset", "example, oak", "--list-presets"}},
    };
    for (const Source& source : cases) {
        std::vector<std::string> args = source.args;
        args.insert(args.end(), {"-o", "out.png"});
        std::string trace;
        for (const std::string& arg : args) {
            trace += arg + ' ';
        }
        SCOPED_TRACE(trace);
        const auto run = RunRender(Dir(), args);
        EXPECT_EQ(testing::LineCount(run.err), 1) << run.err;
        for (const std::string& mention : source.mentions) {
            EXPECT_NE(run.err.find(mention), std::string::npos) << run.err;
        }
        if (!source.drawn) {
            EXPECT_EQ(run.exitCode, 2);
            EXPECT_FALSE(std::filesystem::exists(PathOf("out.png")));
            continue;
        }
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const QImage image(QString::fromStdString(PathOf("out.png")));
        EXPECT_EQ(testing::PixelsOf(image),
                  *RenderTreeImage(*source.drawn, kPictureWidth, kPictureHeight));
        std::filesystem::remove(PathOf("out.png"));
    }
}

// A parameter file's view turns pictures; a 3-D file, which holds the whole tree, takes the file
// all the same.
TEST_F(TreeSourcesTest, AFilesViewDoesNotStopA3DFile) {
    ASSERT_EQ(
        WriteParameterFile(PathOf("turned.txt"), {kExampleTree, 5u, ViewAngles{30, -10}}).outcome,
        WriteOutcome::Written);
    const auto run = RunRender(Dir(), {"--params", "turned.txt", "-o", "tree.glb"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(std::filesystem::exists(PathOf("tree.glb")));
}

TEST_F(TreeSourcesTest, ListPresetsNamesEachWithItsDescriptionAndDrawsNothing) {
    const auto run = RunRender(Dir(), {"--list-presets"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::string expected;
    for (const Preset& preset : kPresets) {
        const std::size_t at = run.out.find(std::string(preset.name) + "  ");
        ASSERT_NE(at, std::string::npos) << run.out;
        EXPECT_EQ(run.out.find(preset.description, at),
                  run.out.find('\n', at) - preset.description.size());
    }
    EXPECT_EQ(testing::LineCount(run.out), static_cast<int>(kPresets.size()));
    EXPECT_TRUE(Entries().empty());
}

// The values the options leave, printed as a parameter file that reads back as the same tree,
// with the second only where one was given, and nothing drawn.
TEST_F(TreeSourcesTest, ShowParamsPrintsTheTreeTheOptionsLeaveAsAParameterFile) {
    const Preset& oak = *FindPreset("oak");
    TreeParameters fewer = oak.parameters;
    fewer.levels = 5;
    struct Shown {
        std::vector<std::string> args;
        ParameterSet set;
    };
    for (const Shown& shown : std::vector<Shown>{
             {{"--preset", "oak", "--levels", "5", "--show-params"}, {fewer, oak.second, {}}},
             {{"--show-params", "--preset", "oak", "--view", "10,20"},
              {oak.parameters, oak.second, ViewAngles{10, 20}}},
             {{"--show-params"}, {kExampleTree, std::nullopt, {}}}}) {
        const auto run = RunRender(Dir(), shown.args);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        const ParameterReading read = ReadParameterText(run.out);
        ASSERT_TRUE(std::holds_alternative<ParameterSet>(read)) << run.out;
        EXPECT_EQ(std::get<ParameterSet>(read), shown.set) << run.out;
    }
    EXPECT_TRUE(Entries().empty());
}

} // namespace
} // namespace arbolith
