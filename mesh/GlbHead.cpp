#include "mesh/GlbHead.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <functional>
#include <string_view>

#include "numbers/DecimalText.h"

namespace arbolith {

namespace {

static_assert(std::endian::native == std::endian::little, "glTF's binary data is little-endian");

constexpr std::uint32_t kMagic = 0x46546C67;     // "glTF"
constexpr std::uint32_t kJsonChunk = 0x4E4F534A; // "JSON"
constexpr std::uint32_t kBinChunk = 0x004E4942;  // "BIN"

// The accessors of a primitive, in this order.
constexpr std::uint64_t kAccessorsPerPrimitive = 5;

// A float as the exact double it is, so that reading it back gives the same float.
std::string Number(double value) {
    return ShortestText(value);
}

std::string Whole(std::uint64_t value) {
    return std::to_string(value);
}

std::string Triple(const MeshPoint& v) {
    return '[' + Number(v[0]) + ',' + Number(v[1]) + ',' + Number(v[2]) + ']';
}

std::string MeshName(const GlbLayout& layout, std::size_t mesh) {
    return layout.levelsOfDetail ? "tree_LOD" + Whole(mesh) : "tree";
}

using JsonPut = std::function<void(std::string_view)>;

// The five accessors of a primitive, whose first is `accessor`.
std::string Accessors(const GlbPrimitive& p, std::uint64_t indexOffset) {
    const std::string count = Whole(p.vertices);
    const std::string offset = Whole(p.firstVertex * kGlbVertexBytes);
    const auto at = [&](std::uint64_t field) {
        return Whole(p.firstVertex * kGlbVertexBytes + field);
    };
    return R"({"bufferView":0,"byteOffset":)" + offset + R"(,"componentType":5126,"count":)" +
           count + R"(,"type":"VEC3","min":)" + Triple(p.min) + R"(,"max":)" + Triple(p.max) +
           R"(},{"bufferView":0,"byteOffset":)" + at(offsetof(GlbVertex, normal)) +
           R"(,"componentType":5120,"normalized":true,"count":)" + count +
           R"(,"type":"VEC3"},{"bufferView":0,"byteOffset":)" + at(offsetof(GlbVertex, texture)) +
           R"(,"componentType":5126,"count":)" + count +
           R"(,"type":"VEC2"},{"bufferView":0,"byteOffset":)" + at(offsetof(GlbVertex, growth)) +
           R"(,"componentType":5126,"count":)" + count +
           R"(,"type":"SCALAR"},{"bufferView":1,"byteOffset":)" + Whole(indexOffset) +
           R"(,"componentType":)" + (p.IndexBytes() == 1 ? "5121" : "5123") + R"(,"count":)" +
           Whole(3 * p.triangles) + R"(,"type":"SCALAR"})";
}

std::string Primitive(std::uint64_t first) {
    return R"({"attributes":{"POSITION":)" + Whole(first) + R"(,"NORMAL":)" + Whole(first + 1) +
           R"(,"TEXCOORD_0":)" + Whole(first + 2) + R"(,"_GROWTH":)" + Whole(first + 3) +
           R"(},"indices":)" + Whole(first + 4) + R"(,"material":0,"mode":4})";
}

// Hands the JSON on in pieces, none longer than what one primitive states, so that a head of
// thousands of primitives is never held whole.
void PutJson(std::uint32_t second, const GlbLayout& layout, const JsonPut& put) {
    put(R"({"asset":{"version":"2.0","generator":"Arbolith"},)");
    if (layout.Vertices() > 0) {
        put(R"("extensionsUsed":["KHR_mesh_quantization"],)"
            R"("extensionsRequired":["KHR_mesh_quantization"],)");
    }
    put(R"("scene":0,"scenes":[{"name":"Arbolith tree of second )" + Whole(second) +
        R"(","extras":{"units":"metres, one canvas pixel to a centimetre"})");
    if (layout.Vertices() == 0) {
        put("}]}");
        return;
    }
    // The nodes: the tree, or a node named tree with a node under it for each level of detail.
    const std::size_t count = layout.meshes.size();
    put(R"(,"nodes":[0]}],"nodes":[)");
    if (layout.levelsOfDetail) {
        std::string children;
        for (std::size_t i = 0; i < count; ++i) {
            children += (i > 0 ? "," : "") + Whole(i + 1);
        }
        put(R"({"name":"tree","children":[)" + children + "]},");
    }
    std::uint64_t mesh = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const bool empty = layout.meshes[i].empty();
        put(std::string(i > 0 ? "," : "") + R"({"name":")" + MeshName(layout, i) + '"' +
            (empty ? std::string() : R"(,"mesh":)" + Whole(mesh++)) + '}');
    }
    put(R"(],"meshes":[)");
    std::uint64_t accessor = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const auto& primitives = layout.meshes[i];
        if (primitives.empty()) {
            continue;
        }
        put(std::string(accessor > 0 ? "," : "") + R"({"name":")" + MeshName(layout, i) +
            R"(","primitives":[)");
        for (std::size_t p = 0; p < primitives.size(); ++p) {
            put((p > 0 ? "," : "") + Primitive(accessor));
            accessor += kAccessorsPerPrimitive;
        }
        put("]}");
    }
    const std::array<double, 3> colour = LinearBranchColour();
    const std::string vertexBytes = Whole(layout.Vertices() * kGlbVertexBytes);
    put(R"(],"materials":[{"name":"bark","pbrMetallicRoughness":{"baseColorFactor":[)" +
        Number(colour[0]) + ',' + Number(colour[1]) + ',' + Number(colour[2]) +
        R"(,1],"metallicFactor":0,"roughnessFactor":0.9}}],)"
        R"("buffers":[{"byteLength":)" +
        Whole(layout.BinaryBytes()) + "}]," +
        R"("bufferViews":[{"buffer":0,"byteOffset":0,"byteLength":)" + vertexBytes +
        R"(,"byteStride":)" + Whole(kGlbVertexBytes) +
        R"(,"target":34962},{"buffer":0,"byteOffset":)" + vertexBytes + R"(,"byteLength":)" +
        Whole(layout.IndexBytes()) + R"(,"target":34963}],"accessors":[)");
    std::uint64_t indexOffset = 0;
    bool first = true;
    for (const auto& primitives : layout.meshes) {
        for (const GlbPrimitive& primitive : primitives) {
            put((first ? "" : ",") + Accessors(primitive, indexOffset));
            first = false;
            indexOffset += primitive.IndexBlockBytes();
        }
    }
    put("]}");
}

void PutWord(ChunkedSink& out, std::uint32_t word) {
    out.Put(&word, sizeof(word));
}

} // namespace

std::uint64_t GlbJsonBytes(std::uint32_t second, const GlbLayout& layout) {
    std::uint64_t bytes = 0;
    PutJson(second, layout, [&bytes](std::string_view piece) { bytes += piece.size(); });
    return bytes;
}

void GlbPrimitive::Bound(std::span<const MeshVertex> piece) {
    // In registers of their own: the members could alias the vertices.
    float minX = min[0], minY = min[1], minZ = min[2];
    float maxX = max[0], maxY = max[1], maxZ = max[2];
    for (const MeshVertex& v : piece) {
        minX = std::min(minX, v.position[0]);
        minY = std::min(minY, v.position[1]);
        minZ = std::min(minZ, v.position[2]);
        maxX = std::max(maxX, v.position[0]);
        maxY = std::max(maxY, v.position[1]);
        maxZ = std::max(maxZ, v.position[2]);
    }
    min = {minX, minY, minZ};
    max = {maxX, maxY, maxZ};
}

void GlbLayout::StartMesh() {
    meshes.emplace_back();
    meshOpen_ = true;
    StartPrimitive();
}

std::uint64_t GlbLayout::IndexBytes() const {
    return indexBytes_ + (meshOpen_ ? meshes.back().back().IndexBlockBytes() : 0);
}

void GlbLayout::StartPrimitive() {
    auto& primitives = meshes.back();
    if (!primitives.empty()) {
        indexBytes_ += primitives.back().IndexBlockBytes();
    }
    if (primitives.empty() || primitives.back().vertices > 0) {
        primitives.emplace_back();
    }
    primitives.back() = GlbPrimitive{};
    primitives.back().firstVertex = vertices_;
}

void GlbLayout::Add(std::span<const MeshVertex> piece, std::uint64_t triangles) {
    meshes.back().back().Bound(piece);
    AddCounts(piece.size(), triangles);
}

void GlbLayout::AddCounts(std::uint64_t vertices, std::uint64_t triangles) {
    GlbPrimitive& primitive = meshes.back().back();
    primitive.vertices += vertices;
    primitive.triangles += triangles;
    vertices_ += vertices;
}

void GlbLayout::EndMesh() {
    meshOpen_ = false;
    auto& primitives = meshes.back();
    if (primitives.back().vertices == 0) {
        primitives.pop_back();
    } else {
        indexBytes_ += primitives.back().IndexBlockBytes();
    }
}

std::uint64_t GlbMostPrimitives(std::uint64_t branches) {
    // A solid takes at most twice six vertices, and a primitive is closed only when the next
    // solid would not fit.
    constexpr std::uint64_t kMostPerSolid = 2 * TreeMesher::kMostSides;
    return 1 + kMostPerSolid * branches / (kGlbPrimitiveVertices - kMostPerSolid + 1);
}

std::uint64_t GlbJsonRoom(std::size_t meshes, std::uint64_t primitives, bool levelsOfDetail) {
    // Numbers at least as long as any a .glb of that many primitives can state: every offset
    // but the first of ten digits or more (each primitive's vertices take 4,294,967,292 bytes),
    // counts of as many digits as can fit in 4 GiB, and bounds whose exact doubles take the most
    // characters a float's can, 23.
    // -2.1019476964872256e-44; the browser's library has no std::bit_cast.
    const std::uint32_t bits = 0x8000000Fu;
    float longest = 0;
    std::memcpy(&longest, &bits, sizeof longest);
    GlbLayout layout;
    layout.levelsOfDetail = levelsOfDetail;
    for (std::size_t mesh = 0; mesh < meshes; ++mesh) {
        layout.StartMesh();
        for (std::uint64_t p = 0; p < primitives; ++p) {
            if (p > 0) {
                layout.StartPrimitive();
            }
            layout.AddCounts(153391689, 1431655765);
            layout.meshes.back().back().min = {longest, longest, longest};
            layout.meshes.back().back().max = layout.meshes.back().back().min;
        }
        layout.EndMesh();
    }
    return (GlbJsonBytes(4294967295u, layout) + 3) / 4 * 4;
}

bool PutGlbHead(std::uint32_t second, const GlbLayout& layout, const ByteSink& sink) {
    const std::uint64_t json = GlbJsonBytes(second, layout);
    if (json > layout.jsonRoom) {
        return false;
    }
    ChunkedSink out(sink);
    PutWord(out, kMagic);
    PutWord(out, 2);
    PutWord(out, static_cast<std::uint32_t>(layout.FileBytes()));
    PutWord(out, static_cast<std::uint32_t>(layout.jsonRoom));
    PutWord(out, kJsonChunk);
    PutJson(second, layout,
            [&out](std::string_view piece) { out.Put(piece.data(), piece.size()); });
    for (std::uint64_t space = json; space < layout.jsonRoom; ++space) {
        out.Put(' ');
    }
    if (layout.Vertices() > 0) {
        PutWord(out, static_cast<std::uint32_t>(layout.BinaryBytes()));
        PutWord(out, kBinChunk);
    }
    return out.Flush();
}

} // namespace arbolith
