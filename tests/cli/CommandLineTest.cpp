// arbolith-render's command line as getopt_long reads one, and standard output on a terminal.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "RenderFixture.h"
#include "RenderProcess.h"

namespace arbolith {
namespace {

using testing::RenderProcess;
using CommandLineTest = testing::RenderTest;

// A terminal for the program's standard output, and all that it showed.
class Terminal {
public:
    Terminal() {
        main_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (main_ >= 0 && grantpt(main_) == 0 && unlockpt(main_) == 0) {
            side_ = open(ptsname(main_), O_RDWR | O_NOCTTY);
        }
    }
    ~Terminal() {
        CloseSide();
        if (reader_.joinable()) {
            reader_.join();
        }
        if (main_ >= 0) {
            close(main_);
        }
    }
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    int Side() const { return side_; }
    // Once the program has it: reads until the program's end closes the terminal's other side.
    void Listen() {
        CloseSide();
        reader_ = std::thread([this] {
            char buffer[4096];
            for (;;) {
                const ssize_t n = read(main_, buffer, sizeof buffer);
                if (n > 0) {
                    shown_.append(buffer, static_cast<std::size_t>(n));
                } else if (n == 0 || errno != EINTR) {
                    break;
                }
            }
        });
    }
    std::string Shown() {
        reader_.join();
        return shown_;
    }

private:
    void CloseSide() {
        if (side_ >= 0) {
            close(side_);
            side_ = -1;
        }
    }
    int main_ = -1;
    int side_ = -1;
    std::thread reader_;
    std::string shown_;
};

struct Convention {
    std::vector<std::string> args;
    bool terminal; // standard output is a terminal, else a file
    int status;
    std::string file; // the file it writes; none when empty
    std::string out;  // what standard output begins with
    std::string err;  // what standard error's one line holds; none when empty
};

TEST_F(CommandLineTest, FollowsTheGetoptConventions) {
    const std::string tiny = "--levels=1";
    const std::vector<Convention> cases{
        {{tiny, "-ot.png"}, false, 0, "t.png", "", ""},
        {{tiny, "--output=t.png"}, false, 0, "t.png", "", ""},
        {{tiny, "-o", "t.png", "--"}, false, 0, "t.png", "", ""},
        {{"--", "-o", "t.png"}, false, 2, "", "", "unexpected argument '-o'"},
        {{"-V"}, false, 0, "", "arbolith-render ", ""},
        {{"-hV"}, false, 0, "", "Usage: arbolith-render", ""},
        {{"--lev", "1", "--out", "t.png"}, false, 0, "t.png", "", ""},
        {{"--vers"}, false, 0, "", "arbolith-render ", ""},
        {{"--max", "3", "-o", "t.png"}, false, 2, "", "", "'--max': it could be any of --max-xy"},
        {{"-x", "-o", "t.png"}, false, 2, "", "", "unknown option '-x'"},
        {{tiny, "-o", "-"}, true, 2, "", "", "refusing to write binary PNG to a terminal"},
        {{tiny, "--format", "pdf", "-o", "-"}, true, 2, "", "", "binary PDF"},
        {{tiny, "-o-", "--format", "glb"}, true, 2, "", "", "binary GLB"},
        {{tiny, "--format", "svg", "-o", "-"}, true, 0, "", "<?xml", ""},
        {{tiny, "--format", "obj", "-o", "-"}, true, 0, "", "# Arbolith tree", ""},
        {{tiny, "-o", "-"}, false, 0, "", "\x89PNG", ""},
    };
    for (const Convention& each : cases) {
        std::string trace;
        for (const std::string& arg : each.args) {
            trace += arg + ' ';
        }
        SCOPED_TRACE(trace + (each.terminal ? "(to a terminal)" : ""));
        Terminal terminal;
        ASSERT_GE(terminal.Side(), 0) << "no terminal to test with";
        RenderProcess process(Dir(), each.args, each.terminal ? terminal.Side() : -1);
        terminal.Listen();
        const auto run = process.Wait();
        const std::string out = each.terminal ? terminal.Shown() : run.out;
        EXPECT_EQ(run.exitCode, each.status) << run.err;
        EXPECT_EQ(out.rfind(each.out, 0), 0u) << out.substr(0, 200);
        EXPECT_TRUE(!each.out.empty() || out.empty()) << "nothing may reach standard output";
        if (!each.err.empty()) {
            EXPECT_EQ(testing::LineCount(run.err), 1);
            EXPECT_NE(run.err.find(each.err), std::string::npos) << run.err;
        }
        EXPECT_EQ(Entries(), each.file.empty() ? std::vector<std::string>{}
                                               : std::vector<std::string>{each.file});
        for (const std::string& entry : Entries()) {
            std::filesystem::remove(PathOf(entry));
        }
    }
}

// Help, the version and the presets that do not reach standard output are a failure in one line.
TEST_F(CommandLineTest, InformationThatCannotBeWrittenIsAFailure) {
    const int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    const std::pair<int, std::string> destinations[] = {
        {full, "No space left on device"},
        {testing::kClosedOutput, "Bad file descriptor"},
    };
    for (const char* option : {"--help", "--version", "--list-presets"}) {
        for (const auto& [out, reason] : destinations) {
            SCOPED_TRACE(std::string(option) + ": " + reason);
            const auto run = RenderProcess(Dir(), {option}, out).Wait();
            EXPECT_EQ(run.exitCode, 1);
            EXPECT_EQ(run.err, "arbolith-render: cannot write standard output: " + reason + "\n");
        }
    }
    close(full);
}

} // namespace
} // namespace arbolith
