// arbolith-render's command line read in-process: every value the parser refuses, and what it
// makes of the arguments it takes. The process tests keep the wiring (status, stderr, files).
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <variant>
#include <vector>

#include "cli/RenderOptions.h"
#include "tree/Presets.h"

namespace arbolith::cli {
namespace {

std::variant<RenderOptions, UsageError> Parse(const std::vector<std::string>& args,
                                              bool terminal = false) {
    return ParseRenderOptions(args, terminal);
}

struct Refused {
    std::vector<std::string> args;
    std::vector<std::string> mentions; // the option, the value, what was expected
};

TEST(RenderOptionsTest, RefusesEachBadValueNamingOptionValueAndWhatWasExpected) {
    const std::vector<Refused> cases{
        {{"--scale", "abc", "-o", "t.png"}, {"--scale", "'abc'", "finite"}},
        {{"--scale", "inf", "-o", "t.png"}, {"--scale", "'inf'", "finite"}},
        {{"--scale", "nan", "-o", "t.png"}, {"--scale", "'nan'", "finite"}},
        {{"--scale", "1e999", "-o", "t.png"}, {"--scale", "'1e999'", "finite"}},
        {{"--scale", "0.5x", "-o", "t.png"}, {"--scale", "'0.5x'", "finite"}},
        {{"--limbs", "2147483648", "-o", "t.png"}, {"--limbs", "'2147483648'", "32 bits"}},
        {{"--limbs", "-2147483649", "-o", "t.png"}, {"--limbs", "'-2147483649'", "32 bits"}},
        {{"--max-xy", "12.5", "-o", "t.png"}, {"--max-xy", "'12.5'", "whole degrees"}},
        {{"--max-yz", " 7", "-o", "t.png"}, {"--max-yz", "' 7'", "whole degrees"}},
        {{"--max-xz=", "-o", "t.png"}, {"--max-xz", "''", "whole degrees"}},
        {{"--levels", "7 ", "-o", "t.png"}, {"--levels", "'7 '", "32 bits"}},
        {{"--levels", "+", "-o", "t.png"}, {"--levels", "'+'", "32 bits"}},
        {{"--reference", "1,2", "-o", "t.png"}, {"--reference", "'1,2'", "X,Y,Z"}},
        {{"--vector", "1,2,3,4", "-o", "t.png"}, {"--vector", "'1,2,3,4'", "X,Y,Z"}},
        {{"--vector", "1,,3", "-o", "t.png"}, {"--vector", "'1,,3'", "X,Y,Z"}},
        {{"--vector", "1,2,3,", "-o", "t.png"}, {"--vector", "'1,2,3,'", "X,Y,Z"}},
        {{"--size", "0x10", "-o", "t.png"}, {"--size", "'0x10'", "WIDTHxHEIGHT"}},
        {{"--size", "10x99999", "-o", "t.png"}, {"--size", "'10x99999'", "8192"}},
        {{"--time", "-1", "-o", "t.png"}, {"--time", "'-1'", "4294967295"}},
        {{"--time", "4294967296", "-o", "t.png"}, {"--time", "'4294967296'", "4294967295"}},
        {{"--count", "0", "-o", "t{n}.png"}, {"--count", "'0'", "1 to"}},
        {{"--count", "100001", "-o", "t{n}.png"}, {"--count", "'100001'", "1 to"}},
        {{"--format", "gif", "-o", "t.png"}, {"--format", "'gif'", "png, svg, pdf, glb or obj"}},
        {{"--max-branches", "-5", "-o", "t.png"}, {"--max-branches", "'-5'", "at least 1"}},
        {{"--max-branches", "0", "-o", "t.png"}, {"--max-branches", "'0'", "at least 1"}},
        {{"--view", "181,0", "-o", "t.png"}, {"--view", "'181,0'", "-180 to 180"}},
        {{"--view", "0,-91", "-o", "t.png"}, {"--view", "'0,-91'", "-90 to 90"}},
        {{"--view", "30", "-o", "t.png"}, {"--view", "'30'", "YAW,PITCH"}},
        {{"--view", "30,10", "-o", "t.glb"}, {"--view 30,10", "3-D"}},
        {{"--preset", "birch", "-o", "t.png"}, {"--preset", "'birch'", "example"}},
        {{"--lod", "0", "-o", "t.glb"}, {"--lod", "'0'", "1 to 8"}},
        {{"--lod", "9", "-o", "t.obj"}, {"--lod", "'9'", "1 to 8"}},
        {{"--lod", "2", "-o", "t.png"}, {"--lod 2", "3-D files"}},
        {{"--params", "/nonexistent/p.txt", "-o", "t.png"}, {"/nonexistent/p.txt"}},
        {{"--output="}, {"--output", "''", "file name"}},
        {{"--levels"}, {"missing value", "--levels"}},
        {{"--help=yes"}, {"--help", "takes no value", "'yes'"}},
        {{"--bogus", "-o", "t.png"}, {"unknown option", "'--bogus'"}},
        {{"-x", "-o", "t.png"}, {"unknown option", "'-x'"}},
        {{"--max", "3", "-o", "t.png"}, {"ambiguous option", "'--max'", "--max-xy"}},
        {{"stray", "-o", "t.png"}, {"unexpected argument", "'stray'"}},
        {{"--", "-o", "t.png"}, {"unexpected argument", "'-o'"}},
        {{"--max-xy", "30"}, {"missing -o"}},
        {{"-o", "t.jpg"},
         {"'t.jpg'", ".png, .svg, .pdf, .glb or .obj", "--format png|svg|pdf|glb|obj"}},
        {{"-o", "t"}, {"'t'", "--format"}},
        {{"--count", "3", "-o", "t.png"}, {"--count 3", "{n}", "'t.png'"}},
        {{"--count", "2", "-o", "-"}, {"--count 2", "standard output"}},
        {{"--time", "4294967295", "--count", "2", "-o", "t{n}.png"}, {"--time", "--count"}},
        {{"--zoom", "0", "-o", "t.png"}, {"--zoom", "'0'", "0.1 to 16"}},
        {{"--zoom", "17", "-o", "t.png"}, {"--zoom", "'17'", "0.1 to 16"}},
        {{"--zoom", "15", "-o", "t.png"}, {"--zoom 15", "8400x10050", "8192", "--size"}},
        {{"--zoom", "2", "--fit", "-o", "t.png"}, {"--zoom and --fit", "one of them"}},
        {{"--zoom", "2", "-o", "t.obj"}, {"--zoom", "3-D"}},
        {{"--fit", "-o", "t.glb"}, {"--fit", "3-D"}},
    };
    std::set<std::string> messages;
    for (const Refused& bad : cases) {
        std::string trace;
        for (const std::string& arg : bad.args) {
            trace += arg + ' ';
        }
        SCOPED_TRACE(trace);
        const auto parsed = Parse(bad.args);
        const auto* error = std::get_if<UsageError>(&parsed);
        ASSERT_NE(error, nullptr) << "taken";
        EXPECT_EQ(error->message.find('\n'), std::string::npos) << "one line";
        for (const std::string& mention : bad.mentions) {
            EXPECT_NE(error->message.find(mention), std::string::npos)
                << error->message << "\nshould mention " << mention;
        }
        EXPECT_TRUE(messages.insert(error->message).second)
            << "another case gave the same message: " << error->message;
    }
}

TEST(RenderOptionsTest, BinaryFormatsAreRefusedOnATerminalAndTextGoesThrough) {
    struct Case {
        std::vector<std::string> args;
        bool refused;
    };
    const std::vector<Case> cases{
        {{"-o", "-"}, true},
        {{"--format", "pdf", "-o", "-"}, true},
        {{"-o-", "--format", "glb"}, true},
        {{"--format", "svg", "-o", "-"}, false},
        {{"--format", "obj", "-o", "-"}, false},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.args[1]);
        EXPECT_EQ(std::holds_alternative<UsageError>(Parse(each.args, true)), each.refused);
        EXPECT_TRUE(std::holds_alternative<RenderOptions>(Parse(each.args, false)));
    }
}

const RenderOptions& Taken(const std::variant<RenderOptions, UsageError>& parsed) {
    if (const auto* error = std::get_if<UsageError>(&parsed)) {
        ADD_FAILURE() << error->message;
        static const RenderOptions none;
        return none;
    }
    return std::get<RenderOptions>(parsed);
}

TEST(RenderOptionsTest, ReadsValuesTheWayGetoptLongDoesAndTheLastOptionWins) {
    // Attached values, prefixes, grouped flags and -- all read as their long forms would.
    const RenderOptions spelled = Taken(Parse({"--levels=3", "--lim", "2", "-ot.svg", "--"}));
    EXPECT_EQ(spelled.tree.parameters.levels, 3);
    EXPECT_EQ(spelled.tree.parameters.limbsDegree, 2);
    EXPECT_EQ(spelled.output, "t.svg");
    EXPECT_EQ(spelled.format, Format::Svg);

    // The first informational option answers, and nothing after it is read.
    const RenderOptions version = Taken(Parse({"-Vh", "--bogus"}));
    EXPECT_TRUE(version.version);
    EXPECT_FALSE(version.help);

    // A preset sets every value and its second; an option after it changes one, one before it
    // is overridden.
    const Preset& preset = kPresets.back();
    const RenderOptions after = Taken(Parse(
        {"--levels", "2", "--preset", std::string(preset.name), "--scale", "0.5", "-o", "t.png"}));
    TreeParameters expected = preset.parameters;
    expected.scaleFactor = 0.5;
    EXPECT_EQ(after.tree.parameters, expected);
    EXPECT_EQ(after.time, preset.second);

    const RenderOptions view = Taken(Parse({"--view", "-180,90", "--time", "0", "-o", "t.png"}));
    EXPECT_EQ(view.tree.view.yaw, -180);
    EXPECT_EQ(view.tree.view.pitch, 90);
    EXPECT_EQ(view.time, 0u);
}

TEST(RenderOptionsTest, AZoomedPictureIsTheCanvasTimesTheZoomUnlessASizeIsGiven) {
    struct Case {
        std::vector<std::string> args;
        int width;
        int height;
        double scale;
        bool fit;
    };
    const std::vector<Case> cases{
        {{"-o", "t.png"}, 560, 670, 1, false},
        {{"--zoom", "3", "-o", "t.png"}, 1680, 2010, 3, false},
        {{"--zoom", "2.5", "-o", "t.svg"}, 1400, 1675, 2.5, false},
        {{"--zoom", "0.3", "-o", "t.png"}, 168, 201, 0.3, false},
        {{"--size", "800x600", "--zoom", "4", "-o", "t.pdf"}, 800, 600, 4, false},
        {{"--size", "1920x1080", "--fit", "-o", "t.png"}, 1920, 1080, 1, true},
    };
    for (const Case& each : cases) {
        const RenderOptions options = Taken(Parse(each.args));
        EXPECT_EQ(options.width, each.width) << each.args[1];
        EXPECT_EQ(options.height, each.height) << each.args[1];
        EXPECT_EQ(options.tree.placement.scale, each.scale) << each.args[1];
        EXPECT_EQ(options.fit, each.fit) << each.args[1];
    }
}

} // namespace
} // namespace arbolith::cli
