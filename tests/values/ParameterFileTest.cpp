#include <gtest/gtest.h>

#include <fstream>
#include <limits>

#include <QTemporaryDir>
#include <sys/stat.h>

#include "output/WholeFile.h"
#include "tree/ExampleTree.h"
#include "values/ParameterFile.h"

namespace arbolith {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

// The example tree's eight values, as a file would hold them.
const std::string kAllButLevels = "max-xy = 25\nmax-yz = 40\nmax-xz = 40\nscale = 0.78\n"
                                  "limbs = 3\nreference = 230,650,-60\nvector = -40,-150,0\n";
const std::string kExampleLines = kAllButLevels + "levels = 7\n";

ParameterSet Example(std::optional<std::uint32_t> second = std::nullopt,
                     std::optional<ViewAngles> view = std::nullopt) {
    return {kExampleTree, second, view};
}

TEST(ParameterFile, ReadsWhatPeopleWrite) {
    const std::pair<std::string, ParameterSet> cases[] = {
        {kExampleLines, Example()},
        // Comments, blank lines, spaces, tabs, Windows line ends and any order.
        {"# a willow\n\n  levels\t=  7  # deep enough\r\n" + kAllButLevels +
             "time=1000000006\r\n   \n#view = 1,2\n",
         Example(1000000006)},
        {"\xEF\xBB\xBF" + kExampleLines + "view = -180,90\ntime = 0",
         Example(0, ViewAngles{-180, 90})},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        const ParameterReading read = ReadParameterText(text);
        ASSERT_TRUE(std::holds_alternative<ParameterSet>(read))
            << std::get<ParameterFault>(read).message;
        EXPECT_EQ(std::get<ParameterSet>(read), expected);
    }
}

TEST(ParameterFile, RefusesAFaultyTextAtItsLineSayingWhatWasExpected) {
    struct Bad {
        std::string text;
        std::size_t line;
        std::vector<std::string> mentions;
    };
    const std::vector<Bad> cases{
        {kExampleLines + "colour = brown\n", 9, {"unknown key 'colour'", "max-xy, max-yz"}},
        {"# first\nlevels 7\n" + kExampleLines, 2, {"KEY = VALUE", "'levels 7'"}},
        {"= 7\n" + kExampleLines, 1, {"KEY = VALUE"}},
        {kExampleLines + "\nlevels = 8\n", 10, {"levels given again", "first on line 8"}},
        {"scale = 0,78\n", 1, {"'0,78'", "scale", "finite decimal number"}},
        {"levels = 7 7\n", 1, {"'7 7'", "levels", "32 bits"}},
        {"reference = 230, 650, -60\n", 1, {"reference", "X,Y,Z"}},
        {kExampleLines + "view = 200,0\n", 9, {"'200,0'", "-180 to 180"}},
        {kExampleLines + "time = -1\n", 9, {"time", "4294967295"}},
        {kExampleLines + "time =\n", 9, {"''", "time"}},
        {kExampleLines.substr(12), 0, {"no value for max-xy", "time and view"}},
        {"", 0, {"no value for max-xy, max-yz, max-xz, scale, limbs, reference, vector, levels"}},
        // A huge value is quoted by its start and its length, not echoed whole.
        {"levels = " + std::string(60000, '9') + "\n", 1, {"'999", "...' (60,000 characters)"}},
    };
    for (const Bad& bad : cases) {
        SCOPED_TRACE(bad.text);
        const ParameterReading read = ReadParameterText(bad.text);
        ASSERT_TRUE(std::holds_alternative<ParameterFault>(read));
        const ParameterFault& fault = std::get<ParameterFault>(read);
        EXPECT_EQ(fault.line, bad.line) << fault.message;
        for (const std::string& mention : bad.mentions) {
            EXPECT_NE(fault.message.find(mention), std::string::npos) << fault.message;
        }
        EXPECT_LT(fault.message.size(), 300u);
    }
    EXPECT_EQ(DescribeFault("tree.txt", {3, "unknown key 'x'"}),
              "tree.txt, line 3: unknown key 'x'");
    EXPECT_EQ(DescribeFault("tree.txt", {0, "No such file"}), "tree.txt: No such file");
}

// What is written reads back as exactly the same set, through a file too.
TEST(ParameterFile, WrittenSetsReadBackExactly) {
    const ParameterSet cases[] = {
        Example(),
        Example(1000000006, ViewAngles{35, 10}),
        {{kMin, kMax, -1, 5e-324, kMin, {kMax, kMin, 0}, {-1, 0, kMax}, kMax},
         std::numeric_limits<std::uint32_t>::max(),
         ViewAngles{-180, -90}},
        {{0, 0, 0, 0.1 + 0.2, 0, {}, {}, 0}, 0, std::nullopt},
        {{1, 2, 3, -1.7976931348623157e308, 19, {1, 2, 3}, {4, 5, 6}, 1},
         std::nullopt,
         ViewAngles{}},
    };
    QTemporaryDir folder;
    for (const ParameterSet& set : cases) {
        const std::string text = ParameterText(set);
        SCOPED_TRACE(text);
        EXPECT_EQ(ReadParameterText(text), ParameterReading(set));
        const std::string path = folder.filePath(QStringLiteral("tree.txt")).toStdString();
        ASSERT_EQ(WriteParameterFile(path, set).outcome, WriteOutcome::Written);
        EXPECT_EQ(ReadParameterFile(path), ParameterReading(set));
    }
}

TEST(ParameterFile, AFileThatCannotBeReadIsRefusedWithTheReason) {
    QTemporaryDir folder;
    const std::string large = folder.filePath(QStringLiteral("large.txt")).toStdString();
    std::ofstream(large) << std::string(70000, '#');
    // A FIFO with no writer would keep a reader waiting for ever: one that may not wait is told
    // at once.
    const std::string fifo = folder.filePath(QStringLiteral("fifo.txt")).toStdString();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        std::string path;
        bool regularOnly;
        std::string reason;
    } cases[] = {
        {folder.filePath(QStringLiteral("missing.txt")).toStdString(), false, "No such file"},
        {folder.path().toStdString(), false, "Is a directory"},
        {large, false, "larger than 64 KiB"},
        {fifo, true, "not a regular file"},
        {"/dev/zero", true, "not a regular file"},
        {folder.path().toStdString(), true, "not a regular file"},
    };
    for (const auto& [path, regularOnly, reason] : cases) {
        const ParameterReading read = ReadParameterFile(path, regularOnly);
        ASSERT_TRUE(std::holds_alternative<ParameterFault>(read)) << path;
        EXPECT_EQ(std::get<ParameterFault>(read).line, 0u);
        EXPECT_NE(std::get<ParameterFault>(read).message.find(reason), std::string::npos)
            << std::get<ParameterFault>(read).message;
    }
    EXPECT_EQ(WriteParameterFile(folder.path().toStdString(), Example()).outcome,
              WriteOutcome::Failed);
}

} // namespace
} // namespace arbolith
