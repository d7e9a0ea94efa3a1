#include "mesh/ObjWriter.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <limits>
#include <vector>

#include "numbers/DecimalText.h"
#include "render/ByteSink.h"

namespace arbolith {

namespace {

// The longest shortest text of a float: a sign, nine digits, a point, and an exponent of three.
constexpr std::size_t kLongestFloat = 15;
std::size_t Digits(std::uint64_t n) {
    return std::to_string(n).size();
}

class ObjOutput final : public MeshOutput {
public:
    ObjOutput(ChunkedSink& out, std::uint64_t firstVertex) : out_(out), base_(firstVertex + 1) {}

    void Piece(std::span<const MeshVertex> newVertices,
               std::span<const MeshTriangle> triangles) override {
        for (const MeshVertex& v : newVertices) {
            Position(v);
        }
        for (const MeshVertex& v : newVertices) {
            Line("vt", v.texture);
        }
        for (const MeshVertex& v : newVertices) {
            Line("vn", v.normal);
        }
        for (const MeshTriangle& t : triangles) {
            Face(t);
        }
    }
    bool Failed() const override { return out_.Failed(); }

private:
    static constexpr std::size_t kLongestIndex = 20;
    static constexpr std::size_t kLongestFace = 3 * (1 + 3 * kLongestIndex + 2) + 2;

    // A float as the shortest text that reads back as the same float.
    void Number(float value) {
        const std::string text = ShortestText(value);
        out_.Put(' ');
        out_.Put(text.data(), text.size());
    }

    template <std::size_t N, std::size_t M>
    void Line(const char (&kind)[N], const std::array<float, M>& values) {
        out_.Put(kind);
        for (const float value : values) {
            Number(value);
        }
        out_.Put('\n');
    }

    // The position, and the growth as a grey vertex colour, as the readers of vertex colours in
    // OBJ take them: "v x y z r g b".
    void Position(const MeshVertex& v) {
        out_.Put("v");
        for (const float value : v.position) {
            Number(value);
        }
        const std::string growth = ' ' + ShortestText(v.growth);
        for (int channel = 0; channel < 3; ++channel) {
            out_.Put(growth.data(), growth.size());
        }
        out_.Put('\n');
    }

    // Each vertex has its own texture coordinates and normal, of the same number.
    void Face(const MeshTriangle& t) {
        std::array<char, kLongestFace> text;
        char* at = text.data();
        *at++ = 'f';
        for (const std::uint64_t index : {t.a + base_, t.b + base_, t.c + base_}) {
            *at++ = ' ';
            const char* const number = at;
            at = std::to_chars(at, at + kLongestIndex, index).ptr;
            const std::size_t digits = static_cast<std::size_t>(at - number);
            for (int copy = 0; copy < 2; ++copy) {
                *at++ = '/';
                at = std::copy_n(number, digits, at);
            }
        }
        *at++ = '\n';
        out_.Put(text.data(), static_cast<std::size_t>(at - text.data()));
    }

    ChunkedSink& out_;
    // OBJ counts every vertex of the file from 1.
    std::uint64_t base_;
};

void PutText(ChunkedSink& out, const std::string& text) {
    out.Put(text.data(), text.size());
}

std::string Head(std::uint32_t second, const std::string& materialLibrary) {
    return "# Arbolith tree of second " + std::to_string(second) +
           "\n# Metres, one canvas pixel to a centimetre; +Y up, the front toward +Z, the trunk's "
           "foot at the origin.\n# Each vertex's colour is its growth, from 0 at the trunk's foot "
           "to 1 at the farthest tip, in all three channels.\n" +
           (materialLibrary.empty() ? std::string() : "mtllib " + materialLibrary + '\n');
}

// An object: the tree, or its level of detail `level` when it is one of several.
std::string ObjectHead(int level, const std::string& materialLibrary) {
    return (level >= 0 ? "o tree_LOD" + std::to_string(level) + '\n' : std::string("o tree\n")) +
           (materialLibrary.empty() ? std::string() : std::string("usemtl bark\n"));
}

std::string Tail(const MeshCounts& counts) {
    return "# " + std::to_string(counts.vertices) + " vertices, " +
           std::to_string(counts.triangles) + " triangles\n";
}

} // namespace

WriteResult WriteObj(const TreeOrder& tree, const std::string& materialLibrary,
                     const ByteSink& sink, RunMonitor* monitor, int levelsOfDetail) {
    const int meshes = std::max(levelsOfDetail, 1);
    const PassShare surveyShare{0, 1 + meshes, 0};
    const SurveyRun survey = SurveyTree(tree, levelsOfDetail > 0, monitor, surveyShare);
    if (survey.stopped) {
        return {WriteOutcome::Stopped};
    }
    const std::vector<MeshPlan> plans =
        PlanMeshes(survey.survey, levelsOfDetail, std::numeric_limits<std::uint64_t>::max());
    ChunkedSink out(sink);
    PutText(out, Head(tree.second, materialLibrary));
    std::vector<MeshCounts> written;
    std::uint64_t vertices = 0;
    for (std::size_t m = 0; m < plans.size(); ++m) {
        PutText(out, ObjectHead(levelsOfDetail > 0 ? static_cast<int>(m) : -1, materialLibrary));
        ObjOutput output(out, vertices);
        const MeshRun run = MeshTree(tree, plans[m], output, monitor,
                                     {static_cast<int>(m) + 1, 1 + meshes, survey.branchesGrown});
        if (run.stopped) {
            return {WriteOutcome::Stopped, {}, run.counts};
        }
        PutText(out, Tail(run.counts));
        written.push_back(run.counts);
        vertices += run.counts.vertices;
    }
    if (!out.Flush()) {
        return {WriteOutcome::Failed, {}, written.front()};
    }
    WriteResult result{WriteOutcome::Written, {}, written.front()};
    result.lesserDetails.assign(written.begin() + 1, written.end());
    return result;
}

std::uint64_t ObjMostBytes(std::uint64_t branches, const std::string& materialLibrary,
                           int levelsOfDetail) {
    // No level holds more than the full mesh.
    const std::uint64_t meshes = static_cast<std::uint64_t>(std::max(levelsOfDetail, 1));
    MeshCounts most;
    most.vertices = branches * kMostBranchVertices;
    most.triangles = branches * kMostBranchTriangles;
    // A vertex's "v X Y Z G G G", "vt U V" and "vn X Y Z"; a triangle's "f A/A/A B/B/B C/C/C",
    // counting the vertices of every mesh.
    const std::uint64_t number = 1 + kLongestFloat;
    const std::uint64_t pointLines =
        (1 + 6 * number + 1) + (2 + 2 * number + 1) + (2 + 3 * number + 1);
    const std::uint64_t faceLine = 1 + 3 * (1 + 3 * Digits(meshes * most.vertices) + 2) + 1;
    const std::uint64_t mesh =
        ObjectHead(levelsOfDetail > 0 ? levelsOfDetail : -1, materialLibrary).size() +
        most.vertices * pointLines + most.triangles * faceLine + Tail(most).size();
    return Head(std::numeric_limits<std::uint32_t>::max(), materialLibrary).size() + meshes * mesh;
}

bool WriteMaterialLibrary(const ByteSink& sink) {
    const std::array<double, 3> colour = LinearBranchColour();
    const std::string text =
        "# The brown of Arbolith's pictures (sRGB " + std::to_string(kBranchFill.red) + ", " +
        std::to_string(kBranchFill.green) + ", " + std::to_string(kBranchFill.blue) +
        ") in linear RGB\nnewmtl bark\nKa 0 0 0\nKd " + ShortestText(colour[0]) + ' ' +
        ShortestText(colour[1]) + ' ' + ShortestText(colour[2]) + "\nKs 0 0 0\nd 1\nillum 1\n";
    return sink(text.data(), text.size());
}

std::string MaterialLibraryPath(const std::string& objPath) {
    const std::size_t slash = objPath.find_last_of('/');
    const std::size_t dot = objPath.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) {
        const std::string beside = objPath.substr(0, dot) + ".mtl";
        // Never the OBJ's own name, which the library would overwrite.
        if (beside != objPath) {
            return beside;
        }
    }
    return objPath + ".mtl";
}

} // namespace arbolith
