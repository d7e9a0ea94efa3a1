#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>

#include <QTemporaryDir>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "render/OutputFile.h"
#include "tests/render/FolderState.h"

namespace arbolith {
namespace {

namespace fs = std::filesystem;

WriteContent Text(std::string text) {
    return [text](const ByteSink& sink, const PreparedFile&) {
        sink(text.data(), text.size());
        return WriteResult{};
    };
}

void Put(const fs::path& path, const std::string& text) {
    std::ofstream(path) << text;
}

// An output of two files, `a` and the second part, in a folder that holds "old a" and "old b".
struct TwoFiles {
    const char* what;
    std::function<void(const fs::path& folder)> prepare;
    std::string second;
    // What writes the second part, with the folder it is written in.
    std::function<WriteResult(const fs::path& folder, const ByteSink& sink)> content;
    WriteOutcome outcome;
    std::size_t part; // where an output that was not written ended
    std::string reason;
    std::map<std::string, std::string> after;
};

WriteResult WritesNewB(const fs::path&, const ByteSink& sink) {
    return Text("new b")(sink, {});
}

// Writes "new b", having put a folder in the first part's place, which its rename then fails on.
WriteResult PutsAFolderInAsPlace(const fs::path& folder, const ByteSink& sink) {
    fs::remove(folder / "a");
    fs::create_directory(folder / "a");
    Put(folder / "a" / "inside", "kept");
    return WritesNewB(folder, sink);
}

TEST(OutputFile, WritesASetOfFilesWholeOrLeavesEveryOldFile) {
    const std::map<std::string, std::string> old{{"a", "old a"}, {"b", "old b"}};
    const std::vector<TwoFiles> cases{
        {"both written",
         nullptr,
         "b",
         WritesNewB,
         WriteOutcome::Written,
         0,
         "",
         {{"a", "new a"}, {"b", "new b"}}},
        {"the second fails", nullptr, "b",
         [](const fs::path&, const ByteSink&) {
             return WriteResult{WriteOutcome::Failed, "refused"};
         },
         WriteOutcome::Failed, 1, "refused", old},
        {"the second is stopped", nullptr, "b",
         [](const fs::path&, const ByteSink&) {
             return WriteResult{WriteOutcome::Stopped, {}};
         },
         WriteOutcome::Stopped, 1, "", old},
        {"the second's folder is missing", nullptr, "missing/b", WritesNewB, WriteOutcome::Failed,
         1, "No such file or directory", old},
        {"the second is a link to the first",
         [](const fs::path& f) {
             fs::remove(f / "b");
             fs::create_symlink("a", f / "b");
         },
         "b",
         WritesNewB,
         WriteOutcome::Failed,
         1,
         "the same file as",
         {{"a", "old a"}, {"b", "-> a"}}},
        // The second goes in place first; the first's rename then fails, and the second's old
        // file must come back.
        {"the first's rename fails after the second is in place",
         nullptr,
         "b",
         PutsAFolderInAsPlace,
         WriteOutcome::Failed,
         0,
         "Is a directory",
         {{"a", "folder"}, {"a/inside", "kept"}, {"b", "old b"}}},
        {"the same, where the second was a new file",
         [](const fs::path& f) { fs::remove(f / "b"); },
         "b",
         PutsAFolderInAsPlace,
         WriteOutcome::Failed,
         0,
         "Is a directory",
         {{"a", "folder"}, {"a/inside", "kept"}}},
    };
    for (const TwoFiles& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const fs::path folder = dir.path().toStdString();
        Put(folder / "a", "old a");
        Put(folder / "b", "old b");
        if (c.prepare) {
            c.prepare(folder);
        }
        const OutputResult written = WriteWhole({
            {(folder / "a").string(), Text("new a")},
            {(folder / c.second).string(),
             [&](const ByteSink& sink, const PreparedFile&) {
                 return c.content(folder, sink);
             }},
        });
        EXPECT_EQ(written.result.outcome, c.outcome) << written.result.reason;
        if (c.outcome != WriteOutcome::Written) {
            EXPECT_EQ(written.part, c.part);
        }
        EXPECT_NE(written.result.reason.find(c.reason), std::string::npos) << written.result.reason;
        EXPECT_EQ(testing::FolderState(folder, [](const std::string& text) { return text; }),
                  c.after);
    }
}

// What a stream received, once its writer has closed it.
std::string Drain(int fd) {
    std::string received;
    char buffer[65536];
    for (ssize_t got; (got = read(fd, buffer, sizeof buffer)) > 0;) {
        received.append(buffer, static_cast<std::size_t>(got));
    }
    return received;
}

// A FIFO never keeps its writer waiting past a stop, whether for a reader to come or for one to
// take more, and what a stream received is counted, stopped or not.
TEST(OutputFile, AStreamWaitsOnlyWhileAskedAndCountsWhatItReceived) {
    const std::string large(1 << 20, 'x');
    const struct {
        const char* what;
        bool fifo;
        bool reader; // opened, and read only once the output has ended
        int waits;   // how often the output may wait before a stop; -1: no one to ask
        std::size_t size;
        WriteOutcome outcome;
        std::string reason;
    } cases[] = {
        {"no reader, no one to ask", true, false, -1, 10, WriteOutcome::Failed,
         "no program is reading it"},
        {"no reader, stopped", true, false, 2, 10, WriteOutcome::Stopped, ""},
        {"a reader that takes nothing, stopped", true, true, 0, large.size(), WriteOutcome::Stopped,
         ""},
        {"a reader, room for everything", true, true, 0, 1000, WriteOutcome::Written, ""},
        {"a device", false, false, 0, large.size(), WriteOutcome::Written, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const std::string path = c.fifo ? dir.filePath("fifo").toStdString() : "/dev/null";
        ASSERT_TRUE(!c.fifo || mkfifo(path.c_str(), 0600) == 0);
        const int in = c.reader ? open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC) : -1;
        int asked = 0;
        const KeepWaiting keepWaiting = [&] {
            return asked++ < c.waits;
        };
        const WriteResult written =
            WriteWhole(path, Text(large.substr(0, c.size)), c.waits < 0 ? nullptr : keepWaiting);
        EXPECT_EQ(written.outcome, c.outcome) << written.reason;
        EXPECT_EQ(written.reason, c.reason);
        if (c.waits >= 0 && !c.reader && c.fifo) {
            EXPECT_EQ(asked, c.waits + 1) << "asked until it said stop, and no more";
        }
        const std::string received = c.reader ? Drain(in) : std::string();
        EXPECT_EQ(written.streamed, c.fifo ? received.size() : c.size);
        EXPECT_EQ(received, large.substr(0, received.size()));
        if (c.reader) {
            EXPECT_GT(received.size(), 0u);
            close(in);
        }
    }
}

} // namespace
} // namespace arbolith
