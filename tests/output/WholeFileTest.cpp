#include <gtest/gtest.h>

#include <filesystem>

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

} // namespace
} // namespace arbolith
