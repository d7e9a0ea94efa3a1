#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>

#include <QTemporaryDir>

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

} // namespace
} // namespace arbolith
