#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "RenderFixture.h"
#include "RenderProcess.h"

namespace arbolith {
namespace {

using OutputTest = testing::RenderTest;
using testing::LineCount;
using testing::RenderProcess;
using testing::RunRender;

const std::vector<std::string> kFormats{"png", "svg", "pdf"};

// A tree of some thousands of branches, the same for every run.
std::vector<std::string> Tree(std::vector<std::string> more) {
    std::vector<std::string> args{"--time", "1796000000", "--levels", "9"};
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

// Reads everything from a descriptor until its writer closes it.
std::string Drain(int fd) {
    std::string bytes;
    char buffer[1 << 16];
    for (ssize_t got; (got = read(fd, buffer, sizeof buffer)) > 0;) {
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    return bytes;
}

TEST_F(OutputTest, StandardOutputEqualsTheFileByteForByte) {
    for (const std::string& format : kFormats) {
        SCOPED_TRACE(format);
        ASSERT_EQ(RunRender(Dir(), Tree({"-o", "tree." + format})).exitCode, 0);
        const auto piped = RunRender(Dir(), Tree({"--format", format, "-o", "-"}));
        ASSERT_EQ(piped.exitCode, 0) << piped.err;
        EXPECT_TRUE(piped.out == ReadFile(PathOf("tree." + format)));
    }
}

// Devices and FIFOs are written straight through, as standard output is, and stay what they
// were: a copy of the null device made in the test's folder, never the real one.
TEST_F(OutputTest, WritesThroughAFifoAndADeviceLeavingThemWhatTheyWere) {
    ASSERT_EQ(mkfifo(PathOf("pipe").c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] {
        const int fd = open(PathOf("pipe").c_str(), O_RDONLY);
        received = Drain(fd);
        close(fd);
    });
    const auto run = RunRender(Dir(), Tree({"--format", "svg", "-o", "pipe"}));
    reader.join();
    EXPECT_EQ(run.exitCode, 0) << run.err;
    ASSERT_EQ(RunRender(Dir(), Tree({"-o", "tree.svg"})).exitCode, 0);
    EXPECT_TRUE(received == ReadFile(PathOf("tree.svg")));
    struct stat status {};
    ASSERT_EQ(stat(PathOf("pipe").c_str(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));

    if (mknod(PathOf("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
        GTEST_SKIP() << "no right to make a device node here; the FIFO is tested";
    }
    // An OBJ goes alone, naming no material library: nothing is made beside a device.
    for (const char* format : {"png", "obj"}) {
        const auto toDevice = RunRender(Dir(), Tree({"--format", format, "-o", "null"}));
        EXPECT_EQ(toDevice.exitCode, 0) << toDevice.err;
    }
    ASSERT_EQ(stat(PathOf("null").c_str(), &status), 0);
    EXPECT_TRUE(S_ISCHR(status.st_mode));
    EXPECT_EQ(Entries(), (std::vector<std::string>{"null", "pipe", "tree.svg"})) << "no leftovers";
}

// A full device fails every format with the system's reason in one line, exit status 1.
TEST_F(OutputTest, AFullDeviceIsAFailureWithTheSystemsReason) {
    for (const std::string& format : kFormats) {
        SCOPED_TRACE(format);
        const auto run = RunRender(Dir(), Tree({"--format", format, "-o", "/dev/full"}));
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(LineCount(run.err), 1) << run.err;
        EXPECT_NE(run.err.find("cannot write /dev/full: No space left on device"),
                  std::string::npos)
            << run.err;
    }
}

TEST_F(OutputTest, AClosedPipeEndsWithStatusOneAndOneLine) {
    for (const std::string& format : kFormats) {
        SCOPED_TRACE(format);
        // Far more than a pipe holds, whatever the format.
        std::vector<std::string> args{"--time",   "1796000000", "--levels", "16",
                                      "--format", format,       "-o",       "-"};
        if (format == "png") {
            args.insert(args.end(), {"--size", "8192x8192"});
        }
        int ends[2];
        ASSERT_EQ(pipe(ends), 0);
        RenderProcess process(Dir(), args, ends[1]);
        close(ends[1]);
        char first[100];
        EXPECT_GT(read(ends[0], first, sizeof first), 0);
        close(ends[0]); // as `head -c 100` does
        const auto run = process.Wait();
        EXPECT_EQ(run.exitCode, 1) << run.err;
        EXPECT_EQ(LineCount(run.err), 1) << run.err;
        EXPECT_NE(run.err.find("Broken pipe"), std::string::npos) << run.err;
    }
}

// Peak memory does not grow with the tree, for standard output and for PDF: two trees, one 64
// times the other (the larger two million branches), within a fixed margin. The smaller is
// large enough to fill every buffer the writers have.
TEST_F(OutputTest, MemoryStaysFlatWhateverTheTreesSize) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the address sanitizer keeps freed memory aside, so resident memory grows "
                    "with the work done; the plain build measures it";
#endif
    const int null = open("/dev/null", O_WRONLY);
    ASSERT_GE(null, 0);
    const auto peak = [&](const std::string& levels, const std::vector<std::string>& output) {
        std::vector<std::string> args{"--time", "1796000000", "--limbs", "2", "--levels", levels};
        args.insert(args.end(), output.begin(), output.end());
        RenderProcess process(Dir(), args, null);
        const auto run = process.Wait();
        EXPECT_EQ(run.exitCode, 0) << run.err;
        return run.peakKiB;
    };
    struct Output {
        std::vector<std::string> args;
        const char* largeLevels; // a .glb file takes about 350 bytes a branch on the disk
    };
    for (const Output& output : std::vector<Output>{{{"--format", "svg", "-o", "-"}, "20"},
                                                    {{"--format", "pdf", "-o", "-"}, "20"},
                                                    {{"-o", "tree.pdf"}, "20"},
                                                    {{"--format", "glb", "-o", "-"}, "20"},
                                                    {{"-o", "tree.glb"}, "17"}}) {
        SCOPED_TRACE(output.args.back());
        const long small = peak("14", output.args);
        const long large = peak(output.largeLevels, output.args);
        EXPECT_LT(large, small + 2048) << "peak KiB " << small << " then " << large;
    }
    close(null);
}

// Control characters, bytes that are not UTF-8, and the invisible characters that reorder a
// line or break it are escaped; other characters, invisible joiners too, are shown as they are.
TEST_F(OutputTest, MessagesShowArgumentsSafelyInOneLine) {
    const std::string name = "missing/bad\nname\x1b[31m\xff"
                             "\u061c\u200d\u200e\u200f\u2028\u2029\u202a\u202e\u202f"
                             "\u2065\u2066\u2069\u00e9.png";
    const auto run = RunRender(Dir(), {"--levels", "1", "-o", name});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(LineCount(run.err), 1) << run.err;
    EXPECT_NE(run.err.find("missing/bad\\nname\\x1b[31m\\xff"
                           "\\u061c\u200d\\u200e\\u200f\\u2028\\u2029\\u202a\\u202e\u202f"
                           "\u2065\\u2066\\u2069\u00e9.png"),
              std::string::npos)
        << run.err;

    const auto value = RunRender(Dir(), {"--levels", "1\n2", "-o", "tree.png"});
    EXPECT_EQ(value.exitCode, 2);
    EXPECT_EQ(LineCount(value.err), 1) << value.err;
    EXPECT_EQ(value.err.find('\x1b'), std::string::npos);
}

} // namespace
} // namespace arbolith
