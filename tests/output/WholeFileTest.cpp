#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <string>

#include <QTemporaryDir>

#include "output/WholeFile.h"
#include "tree/ExampleTree.h"

namespace arbolith {
namespace {

// Lets the growth run to its end, then asks to stop, as a stop pressed at the very end does.
class StopsAtTheEnd final : public RunMonitor {
public:
    bool KeepGoing(std::uint64_t) override { return true; }
    bool MayFinish() override { return false; }
};

// A stop at the end still leaves no file; but once the whole tree has gone to a stream, which
// cannot take it back, the stream was written, and says so.
TEST(WholeFile, AStopAtTheEndLeavesNoFileButCannotUnwriteAStream) {
    QTemporaryDir dir;
    const std::string file = dir.filePath(QStringLiteral("tree")).toStdString();
    for (const Format format : {Format::Svg, Format::Glb, Format::Obj}) {
        for (const bool stream : {false, true}) {
            SCOPED_TRACE(std::string(InfoOf(format).name) + (stream ? " to a device" : ""));
            StopsAtTheEnd monitor;
            const TreeFileResult written =
                WriteTreeFile(stream ? "/dev/null" : file, format, {kExampleTree, 1000000006},
                              {kPictureWidth, kPictureHeight, &monitor, {}});
            EXPECT_EQ(written.outcome, stream ? WriteOutcome::Written : WriteOutcome::Stopped);
            EXPECT_EQ(written.streamed > 0, stream);
            EXPECT_TRUE(std::filesystem::is_empty(dir.path().toStdString()));
        }
    }
}

// The size a file may take, told before it is written, is never less than it takes: over trees
// of every shape, far-flung numbers and stopped ones too, and not far above it for a large tree.
TEST(WholeFile, NoFileOutgrowsTheMostItWasSaidToTake) {
    TreeParameters far = kExampleTree;
    far.referencePoint = {-2000000000, 2000000000, -2000000000};
    far.firstVector = {1900000000, -1900000000, 1900000000};
    far.levels = 5;
    TreeParameters random = kExampleTree;
    random.limbsDegree = 0;
    random.levels = 9;
    TreeParameters points = kExampleTree;
    points.firstVector = {0, 0, 0};
    TreeParameters large = kExampleTree;
    large.levels = 9;
    TreeOrder stopped{large, 1000000006};
    stopped.branchLimit = 1000;
    const TreeOrder trees[] = {
        {kExampleTree, 1000000006}, {far, 5}, {random, 6}, {points, 7}, {large, 8}, stopped};
    for (const TreeOrder& tree : trees) {
        for (const Format format : {Format::Svg, Format::Glb, Format::Obj}) {
            for (const std::string library : {"", "a-rather-long-material-library-name.mtl"}) {
                // Levels of detail, each a mesh of its own, in the 3-D files alone.
                const int levelsOfDetail = library.empty() ? 0 : 3;
                SCOPED_TRACE(std::string(InfoOf(format).name) + " of " +
                             std::to_string(tree.parameters.levels) + " levels, second " +
                             std::to_string(tree.second) + ", library " + library);
                WriteSettings settings;
                settings.materialLibrary = library;
                settings.levelsOfDetail = InfoOf(format).model ? levelsOfDetail : 0;
                std::uint64_t size = 0;
                ASSERT_EQ(WriteTree(
                              format, tree,
                              [&size](const void*, std::size_t bytes) {
                                  size += bytes;
                                  return true;
                              },
                              settings)
                              .outcome,
                          WriteOutcome::Written);
                const std::uint64_t most = MostFileBytes(format, tree, settings).value();
                EXPECT_LE(size, most);
                // Each level of detail is bounded as the full mesh, though the levels together
                // hold about twice its triangles.
                if (size > 1000000) {
                    EXPECT_LT(most, (settings.levelsOfDetail > 0 ? 6 : 3) * size);
                }
            }
        }
    }
    EXPECT_FALSE(MostFileBytes(Format::Png, trees[0]));
    TreeParameters endless = kExampleTree;
    endless.levels = 2000000000;
    EXPECT_EQ(MostFileBytes(Format::Obj, {endless, 1}), std::numeric_limits<std::uint64_t>::max());
}

} // namespace
} // namespace arbolith
