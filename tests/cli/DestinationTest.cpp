// Where arbolith-render puts its files: every kind of destination, each checked for its exit
// status, what it received, what the folder holds afterwards (old files kept or replaced), and
// that nothing else was left there.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "RenderFixture.h"
#include "RenderProcess.h"
#include "tests/render/FolderState.h"

namespace arbolith {
namespace {

namespace fs = std::filesystem;
using DestinationTest = testing::RenderTest;
using testing::RenderRun;
using testing::RunRender;

const std::string kOld = "OLD\n";
const std::string kLongName = std::string(251, 'n'); // with ".obj", the longest name there is
constexpr int kNobody = 65534;

// What a file holds, in a word: the old content, a picture, an OBJ and the library it names,
// a material library.
std::string Described(const std::string& content) {
    if (content == kOld) {
        return "old";
    }
    if (content.starts_with("\x89PNG")) {
        return "png";
    }
    if (content.starts_with("# Arbolith tree")) {
        const std::size_t at = content.find("\nmtllib ");
        if (at == std::string::npos) {
            return "obj";
        }
        const std::size_t from = at + 8;
        return "obj naming " + content.substr(from, content.find('\n', from) - from);
    }
    return content.find("newmtl bark") != std::string::npos ? "mtl" : "something else";
}

void PutOld(const fs::path& path) {
    std::ofstream(path) << kOld;
}

std::map<std::string, std::string> ObjAndLibrary(const std::string& obj, const std::string& mtl) {
    return {{obj + ".obj", "obj naming " + mtl + ".mtl"}, {mtl + ".mtl", "mtl"}};
}

struct Target {
    const char* what;
    std::function<void(const fs::path& folder)> prepare;
    std::vector<std::string> args; // after the tree's
    int exitCode;
    std::string message;  // on standard error
    std::string received; // what standard output or a FIFO received
    std::map<std::string, std::string> after;
};

// Reads the FIFO named by -o, if it is one, until the program closes it.
std::thread DrainIfFifo(const fs::path& path, std::string& received) {
    std::error_code error;
    if (!fs::is_fifo(fs::status(path, error))) {
        return {};
    }
    return std::thread([path, &received] {
        std::ifstream in(path, std::ios::binary);
        received.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    });
}

TEST_F(DestinationTest, EachDestinationIsWrittenWholeOrLeftAsItWas) {
    const auto links = [](const std::string& link, const std::string& to) {
        return [link, to](const fs::path& folder) {
            fs::create_directories(folder / "here");
            fs::create_directories(folder / "there" / "deeper");
            fs::create_symlink(to, folder / link);
        };
    };
    const std::vector<Target> cases{
        {"a new OBJ",
         nullptr,
         {"-o", "tree.obj"},
         0,
         "wrote tree.obj",
         "",
         ObjAndLibrary("tree", "tree")},
        {"a folder where the library goes",
         [](const fs::path& folder) {
             PutOld(folder / "tree.obj");
             fs::create_directory(folder / "tree.mtl");
         },
         {"-o", "tree.obj"},
         1,
         "cannot write tree.mtl: Is a directory",
         "",
         {{"tree.obj", "old"}, {"tree.mtl", "folder"}}},
        {"a FIFO where the library goes",
         [](const fs::path& folder) {
             PutOld(folder / "tree.obj");
             mkfifo((folder / "tree.mtl").c_str(), 0600);
         },
         {"-o", "tree.obj"},
         1,
         "cannot write tree.mtl: not a regular file",
         "",
         {{"tree.obj", "old"}, {"tree.mtl", "fifo"}}},
        {"a link into another folder: the file it names is replaced, the library beside it",
         [&](const fs::path& folder) {
             links("here/link.obj", "../there/real.obj")(folder);
             PutOld(folder / "there" / "real.obj");
         },
         {"-o", "here/link.obj"},
         0,
         "wrote here/link.obj",
         "",
         {{"here", "folder"},
          {"here/link.obj", "-> ../there/real.obj"},
          {"there", "folder"},
          {"there/deeper", "folder"},
          {"there/real.obj", "obj naming real.mtl"},
          {"there/real.mtl", "mtl"}}},
        {"a dangling link: the file it names is made",
         links("here/link.obj", "../there/deeper/new.obj"),
         {"-o", "here/link.obj"},
         0,
         "",
         "",
         {{"here", "folder"},
          {"here/link.obj", "-> ../there/deeper/new.obj"},
          {"there", "folder"},
          {"there/deeper", "folder"},
          {"there/deeper/new.obj", "obj naming new.mtl"},
          {"there/deeper/new.mtl", "mtl"}}},
        {"a chain of links, each relative to its own folder",
         [&](const fs::path& folder) {
             links("here/first.png", "../there/second.png")(folder);
             fs::create_symlink("deeper/third.png", folder / "there" / "second.png");
             PutOld(folder / "there" / "deeper" / "third.png");
         },
         {"-o", "here/first.png"},
         0,
         "wrote here/first.png",
         "",
         {{"here", "folder"},
          {"here/first.png", "-> ../there/second.png"},
          {"there", "folder"},
          {"there/second.png", "-> deeper/third.png"},
          {"there/deeper", "folder"},
          {"there/deeper/third.png", "png"}}},
        {"a dangling link into a missing folder",
         links("here/link.png", "../gone/tree.png"),
         {"-o", "here/link.png"},
         1,
         "cannot write here/link.png: No such file or directory",
         "",
         {{"here", "folder"},
          {"here/link.png", "-> ../gone/tree.png"},
          {"there", "folder"},
          {"there/deeper", "folder"}}},
        {"a loop of links",
         [](const fs::path& f) { fs::create_symlink("loop.png", f / "loop.png"); },
         {"-o", "loop.png"},
         1,
         "cannot write loop.png: Too many levels of symbolic links",
         "",
         {{"loop.png", "-> loop.png"}}},
        {"a name of 255 bytes",
         nullptr,
         {"-o", kLongName + ".obj"},
         0,
         "wrote",
         "",
         ObjAndLibrary(kLongName, kLongName)},
        {"standard output: the OBJ alone",
         nullptr,
         {"--format", "obj", "-o", "-"},
         0,
         "wrote standard output",
         "obj",
         {}},
        {"a FIFO: the OBJ alone",
         [](const fs::path& folder) { mkfifo((folder / "pipe").c_str(), 0600); },
         {"--format", "obj", "-o", "pipe"},
         0,
         "wrote pipe",
         "obj",
         {{"pipe", "fifo"}}},
    };
    for (const Target& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(Dir());
        fs::create_directory(Dir());
        if (c.prepare) {
            c.prepare(Dir());
        }
        std::vector<std::string> args{"--time", "1796000000", "--levels", "3"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        std::string received;
        std::thread reader = DrainIfFifo(PathOf(c.args.back()), received);
        const RenderRun run = RunRender(Dir(), args);
        if (reader.joinable()) {
            reader.join();
        } else {
            received = run.out;
        }
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
        EXPECT_EQ(testing::LineCount(run.err), 1) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(received.empty() ? "" : Described(received), c.received);
        EXPECT_EQ(testing::FolderState(Dir(), Described), c.after);
    }
}

// The new files take the mode, owner and group of those they replace (the owner and group where
// the system lets us: here only root may give a file away).
TEST_F(DestinationTest, NewFilesKeepTheModeOwnerAndGroupOfTheOldOnes) {
    struct Kept {
        std::string name;
        mode_t mode;
        uid_t owner;
        gid_t group;
    };
    const bool root = geteuid() == 0;
    const std::vector<Kept> files{{"tree.obj", 0604, kNobody, kNobody},
                                  {"tree.mtl", 0640, kNobody, 0}};
    for (const Kept& file : files) {
        PutOld(PathOf(file.name));
        ASSERT_EQ(chmod(PathOf(file.name).c_str(), file.mode), 0);
        if (root) {
            ASSERT_EQ(chown(PathOf(file.name).c_str(), file.owner, file.group), 0);
        }
    }
    const RenderRun run = RunRender(Dir(), {"--levels", "2", "-o", "tree.obj"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(testing::FolderState(Dir(), Described), ObjAndLibrary("tree", "tree"));
    for (const Kept& file : files) {
        SCOPED_TRACE(file.name);
        struct stat status {};
        ASSERT_EQ(stat(PathOf(file.name).c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, file.mode);
        if (root) {
            EXPECT_EQ(status.st_uid, file.owner);
            EXPECT_EQ(status.st_gid, file.group);
        }
    }
}

// A folder anyone may write lets anyone replace its files; the program asks the file itself.
TEST_F(DestinationTest, ReplacesNoFileTheUserMayNotWrite) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "only root can run the program as another user here; root itself may "
                        "write every file";
    }
    fs::permissions(Dir(), fs::perms::all);
    PutOld(PathOf("tree.png"));
    PutOld(PathOf("tree.obj"));
    PutOld(PathOf("tree.mtl"));
    fs::permissions(PathOf("tree.obj"), fs::perms::all); // the OBJ may be written, its library not
    const std::vector<std::pair<std::string, std::string>> cases{
        {"tree.png", "cannot write tree.png: Permission denied"},
        {"tree.obj", "cannot write tree.mtl: Permission denied"},
    };
    for (const auto& [output, message] : cases) {
        SCOPED_TRACE(output);
        const RenderRun run = RunRender(Dir(), {"--levels", "2", "-o", output}, kNobody);
        if (run.exitCode == 126 || run.exitCode == 127) {
            GTEST_SKIP() << "the unprivileged user cannot run " << ARBOLITH_RENDER << ": "
                         << run.err;
        }
        EXPECT_EQ(run.exitCode, 1) << run.err;
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
        EXPECT_EQ(testing::FolderState(Dir(), Described),
                  (std::map<std::string, std::string>{
                      {"tree.mtl", "old"}, {"tree.obj", "old"}, {"tree.png", "old"}}));
    }
}

} // namespace
} // namespace arbolith
