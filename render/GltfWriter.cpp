#include "render/GltfWriter.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <limits>
#include <string>

#include "numbers/DecimalText.h"
#include "render/ByteSink.h"

namespace arbolith {

namespace {

static_assert(std::endian::native == std::endian::little, "glTF's binary data is little-endian");

constexpr std::uint32_t kMagic = 0x46546C67;     // "glTF"
constexpr std::uint32_t kJsonChunk = 0x4E4F534A; // "JSON"
constexpr std::uint32_t kBinChunk = 0x004E4942;  // "BIN"
constexpr std::uint64_t kHeaderBytes = 12;
constexpr std::uint64_t kChunkHeaderBytes = 8;
constexpr std::uint64_t kVertexBytes = 12;
constexpr std::uint64_t kTriangleBytes = 12;
constexpr int kPasses = 3;

// Counts the mesh and finds its bounds, as the accessors must state them.
class Measure final : public MeshOutput {
public:
    void Solid(std::span<const MeshVertex> newVertices, std::span<const MeshTriangle>) override {
        for (const MeshVertex& v : newVertices) {
            for (int i = 0; i < 3; ++i) {
                min[i] = std::min(min[i], v[i]);
                max[i] = std::max(max[i], v[i]);
            }
        }
    }
    MeshVertex min{std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
                   std::numeric_limits<float>::max()};
    MeshVertex max{std::numeric_limits<float>::lowest(), std::numeric_limits<float>::lowest(),
                   std::numeric_limits<float>::lowest()};
};

class VertexWriter final : public MeshOutput {
public:
    explicit VertexWriter(ChunkedSink& out) : out_(out) {}
    void Solid(std::span<const MeshVertex> newVertices, std::span<const MeshTriangle>) override {
        out_.Put(newVertices.data(), newVertices.size_bytes());
    }
    bool Failed() const override { return out_.Failed(); }

private:
    ChunkedSink& out_;
};

class TriangleWriter final : public MeshOutput {
public:
    explicit TriangleWriter(ChunkedSink& out) : out_(out) {}
    void Solid(std::span<const MeshVertex>, std::span<const MeshTriangle> triangles) override {
        for (const MeshTriangle& t : triangles) {
            const std::array<std::uint32_t, 3> indices{static_cast<std::uint32_t>(t.a),
                                                       static_cast<std::uint32_t>(t.b),
                                                       static_cast<std::uint32_t>(t.c)};
            out_.Put(indices.data(), sizeof(indices));
        }
    }
    bool Failed() const override { return out_.Failed(); }

private:
    ChunkedSink& out_;
};

// A float bound as the exact double it is, so that reading it back gives the same float.
std::string Number(double value) {
    return ShortestText(value);
}

std::string Triple(const MeshVertex& v) {
    return '[' + Number(v[0]) + ',' + Number(v[1]) + ',' + Number(v[2]) + ']';
}

std::string Json(const TreeOrder& tree, const MeshCounts& counts, const Measure& bounds) {
    const std::uint64_t vertexBytes = counts.vertices * kVertexBytes;
    const std::uint64_t triangleBytes = counts.triangles * kTriangleBytes;
    std::string json = R"({"asset":{"version":"2.0","generator":"Arbolith"},"scene":0,)"
                       R"("scenes":[{"name":"Arbolith tree of second )" +
                       std::to_string(tree.second) +
                       R"(","extras":{"units":"metres, one canvas pixel to a centimetre"})";
    if (counts.vertices == 0) {
        return json + "}]}";
    }
    const std::array<double, 3> colour = LinearBranchColour();
    json += R"(,"nodes":[0]}],"nodes":[{"name":"tree","mesh":0}],)"
            R"("meshes":[{"name":"tree","primitives":[{"attributes":{"POSITION":0},)"
            R"("indices":1,"material":0,"mode":4}]}],)"
            R"("materials":[{"name":"bark","pbrMetallicRoughness":{"baseColorFactor":[)" +
            Number(colour[0]) + ',' + Number(colour[1]) + ',' + Number(colour[2]) +
            R"(,1],"metallicFactor":0,"roughnessFactor":0.9}}],)"
            R"("buffers":[{"byteLength":)" +
            std::to_string(vertexBytes + triangleBytes) + "}]," +
            R"("bufferViews":[{"buffer":0,"byteOffset":0,"byteLength":)" +
            std::to_string(vertexBytes) + R"(,"target":34962},{"buffer":0,"byteOffset":)" +
            std::to_string(vertexBytes) + R"(,"byteLength":)" + std::to_string(triangleBytes) +
            R"(,"target":34963}],)"
            R"("accessors":[{"bufferView":0,"componentType":5126,"count":)" +
            std::to_string(counts.vertices) + R"(,"type":"VEC3","min":)" + Triple(bounds.min) +
            R"(,"max":)" + Triple(bounds.max) +
            R"(},{"bufferView":1,"componentType":5125,"count":)" +
            std::to_string(3 * counts.triangles) + R"(,"type":"SCALAR"}]})";
    return json;
}

void PutWord(ChunkedSink& out, std::uint32_t word) {
    out.Put(&word, sizeof(word));
}

bool SameMesh(const MeshCounts& a, const MeshCounts& b) {
    return a.vertices == b.vertices && a.triangles == b.triangles;
}

} // namespace

WriteResult WriteGlb(const TreeOrder& tree, const ByteSink& sink, RunMonitor* monitor) {
    WriteResult result;
    Measure bounds;
    if (!MeshTree(tree, bounds, monitor, result.mesh, {0, kPasses, 0})) {
        return {WriteOutcome::Stopped, {}, result.mesh};
    }
    const MeshCounts measured = result.mesh;
    const std::uint64_t perPass = measured.branches + measured.leftOut;

    std::string json = Json(tree, measured, bounds);
    json.append((4 - json.size() % 4) % 4, ' ');
    const std::uint64_t binBytes =
        measured.vertices * kVertexBytes + measured.triangles * kTriangleBytes;
    const std::uint64_t total = kHeaderBytes + kChunkHeaderBytes + json.size() +
                                (binBytes > 0 ? kChunkHeaderBytes + binBytes : 0);
    if (total > std::numeric_limits<std::uint32_t>::max()) {
        return {WriteOutcome::Failed,
                "the tree's .glb would take " + std::to_string(total) +
                    " bytes, more than the 4294967295 a .glb can hold; write .obj instead",
                measured};
    }

    ChunkedSink out(sink);
    PutWord(out, kMagic);
    PutWord(out, 2);
    PutWord(out, static_cast<std::uint32_t>(total));
    PutWord(out, static_cast<std::uint32_t>(json.size()));
    PutWord(out, kJsonChunk);
    out.Put(json.data(), json.size());
    if (binBytes > 0) {
        PutWord(out, static_cast<std::uint32_t>(binBytes));
        PutWord(out, kBinChunk);
        VertexWriter vertices(out);
        TriangleWriter triangles(out);
        MeshOutput* const passes[] = {&vertices, &triangles};
        for (int pass = 1; pass < kPasses; ++pass) {
            if (!MeshTree(tree, *passes[pass - 1], monitor, result.mesh,
                          {pass, kPasses, perPass})) {
                return {WriteOutcome::Stopped, {}, result.mesh};
            }
            if (out.Failed()) {
                return {WriteOutcome::Failed, {}, result.mesh};
            }
            if (!SameMesh(result.mesh, measured)) {
                // The clock is fixed for every pass, so this is a fault of ours, not the user's.
                return {WriteOutcome::Failed, "the tree came out differently on a second growth",
                        result.mesh};
            }
        }
    }
    if (!out.Flush()) {
        return {WriteOutcome::Failed, {}, result.mesh};
    }
    return result;
}

} // namespace arbolith
