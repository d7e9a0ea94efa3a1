// arbolith-render's 3-D files as other programs read them: the Khronos glTF validator (run with
// Node.js) and a real importer, `assimp info`.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>
#include <vector>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "RenderProcess.h"

namespace arbolith {
namespace {

using testing::RunRender;

struct ToolRun {
    int exitCode = -1;
    std::string out;
};

ToolRun RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted() || !process.waitForFinished(5 * 60 * 1000)) {
        return {-1, program.toStdString() + " did not run: " + process.errorString().toStdString()};
    }
    return {process.exitCode(), process.readAll().toStdString()};
}

// The counts arbolith-render says it wrote, of every level of detail together, and how many
// meshes: one, or one a level of detail.
struct Written {
    std::string vertices;
    std::string triangles;
    std::string meshes;
};

Written WrittenCounts(const std::string& err) {
    const std::regex counts(R"((\d+) vertices, (\d+) triangles)");
    std::uint64_t vertices = 0;
    std::uint64_t triangles = 0;
    int meshes = 0;
    for (auto match = std::sregex_iterator(err.begin(), err.end(), counts);
         match != std::sregex_iterator(); ++match) {
        vertices += std::stoull((*match)[1]);
        triangles += std::stoull((*match)[2]);
        ++meshes;
    }
    if (meshes == 0) {
        ADD_FAILURE() << "no counts in: " << err;
    }
    return {std::to_string(vertices), std::to_string(triangles), std::to_string(meshes)};
}

// The distinct positions of an OBJ's vertices.
std::size_t Positions(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    std::set<std::string> positions;
    while (!file.atEnd()) {
        const QList<QByteArray> words = file.readLine().split(' ');
        if (words.size() >= 4 && words[0] == "v") {
            positions.insert((words[1] + ' ' + words[2] + ' ' + words[3]).toStdString());
        }
    }
    return positions.size();
}

// Trees of every kind, degenerate ones included: branches of no length (a trunk of none, and
// random factors), a trunk alone, trees reaching off the canvas and far beyond, straight chains,
// the literal path, limbs going straight on beside their parent's first (their rings coincide),
// levels of detail, and a tree whose far branches lie beyond a float's range. The importer joins
// vertices of the same position and normal and drops faces whose corners a float cannot tell
// apart, so it keeps the counts written of all but the last two.
const std::vector<std::vector<std::string>> kTrees{
    {},
    {"--lod", "3"},
    {"--preset", "acacia", "--lod", "4"},
    {"--vector", "0,0,0"},
    {"--scale", "0", "--limbs", "0"},
    {"--levels", "-1"},
    {"--reference", "-120,720,0", "--levels", "5"},
    {"--reference", "500,90,400", "--vector", "60,-300,-90", "--levels", "5"},
    {"--scale", "-0.75", "--max-xy", "360", "--max-yz", "-30", "--max-xz", "1000"},
    {"--scale", "2.5", "--limbs", "2", "--levels", "9"},
    {"--max-xy", "0", "--max-yz", "0", "--max-xz", "0", "--limbs", "1", "--levels", "30"},
    {"--limbs", "4", "--levels", "4", "--literal"},
    {"--max-xy", "1", "--max-yz", "1", "--max-xz", "1", "--scale", "0"},
    {"--reference", "0,0,-2147483648", "--vector", "2147483647,2147483647,2147483647", "--scale",
     "1e300", "--levels", "3"},
};

class ModelToolsTest : public ::testing::Test {
protected:
    // Writes every tree of the list for two seconds in `extension`; gives the files' names
    // and what arbolith-render said about each.
    std::vector<std::pair<QString, std::string>> WriteAll(const std::string& extension) {
        std::vector<std::pair<QString, std::string>> files;
        for (std::size_t i = 0; i < kTrees.size(); ++i) {
            for (const char* second : {"1796000077", "1000000006"}) {
                const std::string name = "tree-" + std::to_string(i) + "-" + second + extension;
                std::vector<std::string> args = kTrees[i];
                args.insert(args.end(), {"--time", second, "-o", name});
                const auto run = RunRender(dir_.path().toStdString(), args);
                EXPECT_EQ(run.exitCode, 0) << name << ": " << run.err;
                files.emplace_back(dir_.filePath(QString::fromStdString(name)), run.err);
            }
        }
        return files;
    }

    QTemporaryDir dir_;
};

// The validator finds every level of detail's vertices and triangles, and the four attributes
// (position, normal, texture coordinates, growth), in every file that holds a mesh.
TEST_F(ModelToolsTest, TheKhronosValidatorFindsNoErrorNoWarningAndEveryMeshWhole) {
    QStringList arguments{QStringLiteral(ARBOLITH_GLTF_VALIDATE)};
    const auto files = WriteAll(".glb");
    for (const auto& [path, err] : files) {
        arguments.append(path);
    }
    const ToolRun run = RunTool(QStringLiteral(ARBOLITH_NODE), arguments);
    EXPECT_EQ(run.exitCode, 0) << run.out
                               << "\n(scripts/setup.sh installs Node.js and the validator)";
    // One line per file, so that a validator that checked nothing cannot pass.
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), arguments.size() - 1) << run.out;
    for (const auto& [path, err] : files) {
        SCOPED_TRACE(path.toStdString());
        const Written written = WrittenCounts(err);
        const std::string found = ", " + written.vertices + " vertices, " + written.triangles +
                                  " triangles, " + (written.vertices == "0" ? "0" : "4") +
                                  " attributes\n";
        EXPECT_NE(run.out.find(path.toStdString() + ": 0 errors, 0 warnings"), std::string::npos);
        const std::size_t line = run.out.find(path.toStdString() + ": ");
        ASSERT_NE(line, std::string::npos);
        EXPECT_EQ(run.out.substr(run.out.find(" draw calls", line) + 11, found.size()), found);
    }
}

// The importer's counts are those of the file as written: a mesh a level of detail (the trees
// are small enough for one primitive each; it keeps one of two levels that came out the same),
// their vertices and faces. It splits an OBJ's vertices where the tangents it derives from the
// texture coordinates differ, so an OBJ is written back out, which keeps each position once.
TEST_F(ModelToolsTest, AnImporterLoadsBothFormatsWithTheCountsWritten) {
    for (const std::string extension : {".glb", ".obj"}) {
        const auto files = WriteAll(extension);
        for (std::size_t tree = 0; tree + 2 < kTrees.size(); ++tree) {
            const auto& [path, err] = files.at(2 * tree);
            SCOPED_TRACE(path.toStdString());
            Written written = WrittenCounts(err);
            const ToolRun info = RunTool(QStringLiteral(ARBOLITH_ASSIMP), {"info", path});
            ASSERT_EQ(info.exitCode, 0) << info.out;
            std::smatch match;
            ASSERT_TRUE(std::regex_search(info.out, match, std::regex(R"(Meshes:\s+(\d+))")));
            EXPECT_EQ(match[1], written.meshes);
            ASSERT_TRUE(std::regex_search(info.out, match, std::regex(R"(Faces:\s+(\d+))")));
            EXPECT_EQ(match[1], written.triangles);
            std::string vertices;
            if (extension == ".glb") {
                ASSERT_TRUE(std::regex_search(info.out, match, std::regex(R"(Vertices:\s+(\d+))")));
                vertices = match[1];
            } else {
                const QString back = path + QStringLiteral(".back.obj");
                const ToolRun exported =
                    RunTool(QStringLiteral(ARBOLITH_ASSIMP), {"export", path, back});
                ASSERT_EQ(exported.exitCode, 0) << exported.out;
                QFile file(back);
                ASSERT_TRUE(file.open(QIODevice::ReadOnly));
                vertices = std::to_string(file.readAll().count("\nv "));
                written.vertices = std::to_string(Positions(path));
            }
            EXPECT_EQ(vertices, written.vertices);
        }
    }
}

} // namespace
} // namespace arbolith
