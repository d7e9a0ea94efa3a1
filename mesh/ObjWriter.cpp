#include "mesh/ObjWriter.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <limits>

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
    explicit ObjOutput(ChunkedSink& out) : out_(out) {}

    void Piece(std::span<const MeshVertex> newVertices,
               std::span<const MeshTriangle> triangles) override {
        for (const MeshVertex& v : newVertices) {
            Line("v", v.position);
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
    static constexpr std::size_t kLongestFace = 3 * (1 + 2 * 20 + 2) + 2;
    static constexpr std::size_t kLongestIndex = 20;

    // A float as the shortest text that reads back as the same float.
    template <std::size_t N> void Line(const char (&kind)[N], const MeshPoint& values) {
        out_.Put(kind);
        for (const float value : values) {
            const std::string text = ShortestText(value);
            out_.Put(' ');
            out_.Put(text.data(), text.size());
        }
        out_.Put('\n');
    }

    // Each vertex has its own normal, of the same number; OBJ counts both from 1.
    void Face(const MeshTriangle& t) {
        std::array<char, kLongestFace> text;
        char* at = text.data();
        *at++ = 'f';
        for (const std::uint64_t index : {t.a + 1, t.b + 1, t.c + 1}) {
            *at++ = ' ';
            const char* const number = at;
            at = std::to_chars(at, at + kLongestIndex, index).ptr;
            const std::size_t digits = static_cast<std::size_t>(at - number);
            at = std::copy_n("//", 2, at);
            at = std::copy_n(number, digits, at);
        }
        *at++ = '\n';
        out_.Put(text.data(), static_cast<std::size_t>(at - text.data()));
    }

    ChunkedSink& out_;
};

void PutText(ChunkedSink& out, const std::string& text) {
    out.Put(text.data(), text.size());
}

std::string Head(std::uint32_t second, const std::string& materialLibrary) {
    return "# Arbolith tree of second " + std::to_string(second) +
           "\n# Metres, one canvas pixel to a centimetre; +Y up, the front toward +Z, the trunk's "
           "foot at the origin.\n" +
           (materialLibrary.empty() ? std::string("o tree\n")
                                    : "mtllib " + materialLibrary + "\no tree\nusemtl bark\n");
}

std::string Tail(const MeshCounts& counts) {
    return "# " + std::to_string(counts.vertices) + " vertices, " +
           std::to_string(counts.triangles) + " triangles\n";
}

} // namespace

WriteResult WriteObj(const TreeOrder& tree, const std::string& materialLibrary,
                     const ByteSink& sink, RunMonitor* monitor) {
    ChunkedSink out(sink);
    PutText(out, Head(tree.second, materialLibrary));
    ObjOutput output(out);
    WriteResult result;
    const MeshRun run = MeshTree(tree, output, monitor);
    result.mesh = run.counts;
    if (run.stopped) {
        return {WriteOutcome::Stopped, {}, result.mesh};
    }
    PutText(out, Tail(result.mesh));
    if (!out.Flush()) {
        return {WriteOutcome::Failed, {}, result.mesh};
    }
    return result;
}

std::uint64_t ObjMostBytes(std::uint64_t branches, const std::string& materialLibrary) {
    MeshCounts most;
    most.vertices = branches * kMostBranchVertices;
    most.triangles = branches * kMostBranchTriangles;
    // A vertex's "v X Y Z" and "vn X Y Z"; a triangle's "f A//A B//B C//C".
    const std::uint64_t numbers = 3 * (1 + kLongestFloat);
    const std::uint64_t pointLines = (1 + numbers + 1) + (2 + numbers + 1);
    const std::uint64_t faceLine = 1 + 3 * (1 + 2 * Digits(most.vertices) + 2) + 1;
    return Head(std::numeric_limits<std::uint32_t>::max(), materialLibrary).size() +
           most.vertices * pointLines + most.triangles * faceLine + Tail(most).size();
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
