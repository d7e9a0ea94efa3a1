#include "render/ObjWriter.h"

#include <array>
#include <cstdint>

#include "numbers/DecimalText.h"
#include "render/ByteSink.h"

namespace arbolith {

namespace {

class ObjOutput final : public MeshOutput {
public:
    explicit ObjOutput(ChunkedSink& out) : out_(out) {}

    void Solid(std::span<const MeshVertex> newVertices,
               std::span<const MeshTriangle> triangles) override {
        for (const MeshVertex& v : newVertices) {
            Line('v', v);
        }
        for (const MeshTriangle& t : triangles) {
            // OBJ counts vertices from 1.
            Line('f', std::array<std::uint64_t, 3>{t.a + 1, t.b + 1, t.c + 1});
        }
    }
    bool Failed() const override { return out_.Failed(); }

private:
    // A float as the shortest text that reads back as the same float.
    void Line(char kind, const MeshVertex& v) {
        out_.Put(kind);
        for (const float value : v) {
            const std::string text = ShortestText(value);
            out_.Put(' ');
            out_.Put(text.data(), text.size());
        }
        out_.Put('\n');
    }
    void Line(char kind, const std::array<std::uint64_t, 3>& values) {
        out_.Put(kind);
        for (const std::uint64_t value : values) {
            out_.Put(' ');
            out_.PutNumber(static_cast<std::int64_t>(value));
        }
        out_.Put('\n');
    }

    ChunkedSink& out_;
};

void PutText(ChunkedSink& out, const std::string& text) {
    out.Put(text.data(), text.size());
}

} // namespace

WriteResult WriteObj(const TreeOrder& tree, const std::string& materialLibrary,
                     const ByteSink& sink, RunMonitor* monitor) {
    ChunkedSink out(sink);
    PutText(out, "# Arbolith tree of second " + std::to_string(tree.second) +
                     "\n# Metres, one canvas pixel to a centimetre; +Y up, the front toward +Z, "
                     "the trunk's foot at the origin.\n");
    PutText(out, materialLibrary.empty() ? std::string("o tree\n")
                                         : "mtllib " + materialLibrary + "\no tree\nusemtl bark\n");
    ObjOutput output(out);
    WriteResult result;
    if (!MeshTree(tree, output, monitor, result.mesh)) {
        return {WriteOutcome::Stopped, {}, result.mesh};
    }
    PutText(out, "# " + std::to_string(result.mesh.vertices) + " vertices, " +
                     std::to_string(result.mesh.triangles) + " triangles\n");
    if (!out.Flush()) {
        return {WriteOutcome::Failed, {}, result.mesh};
    }
    return result;
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
