#include "mesh/GlbHead.h"

#include <algorithm>
#include <array>
#include <bit>

#include "numbers/DecimalText.h"

namespace arbolith {

namespace {

static_assert(std::endian::native == std::endian::little, "glTF's binary data is little-endian");

constexpr std::uint32_t kMagic = 0x46546C67;     // "glTF"
constexpr std::uint32_t kJsonChunk = 0x4E4F534A; // "JSON"
constexpr std::uint32_t kBinChunk = 0x004E4942;  // "BIN"

// A float as the exact double it is, so that reading it back gives the same float.
std::string Number(double value) {
    return ShortestText(value);
}

std::string Triple(const MeshPoint& v) {
    return '[' + Number(v[0]) + ',' + Number(v[1]) + ',' + Number(v[2]) + ']';
}

std::string Json(std::uint32_t second, const GlbMeshSize& size) {
    std::string json = R"({"asset":{"version":"2.0","generator":"Arbolith"},"scene":0,)"
                       R"("scenes":[{"name":"Arbolith tree of second )" +
                       std::to_string(second) +
                       R"(","extras":{"units":"metres, one canvas pixel to a centimetre"})";
    if (size.vertices == 0) {
        return json + "}]}";
    }
    const std::array<double, 3> colour = LinearBranchColour();
    const std::string vertices = std::to_string(size.vertices);
    const std::string vertexBytes = std::to_string(size.vertices * kGlbVertexBytes);
    json += R"(,"nodes":[0]}],"nodes":[{"name":"tree","mesh":0}],)"
            R"("meshes":[{"name":"tree","primitives":[{"attributes":{"POSITION":0,"NORMAL":1},)"
            R"("indices":2,"material":0,"mode":4}]}],)"
            R"("materials":[{"name":"bark","pbrMetallicRoughness":{"baseColorFactor":[)" +
            Number(colour[0]) + ',' + Number(colour[1]) + ',' + Number(colour[2]) +
            R"(,1],"metallicFactor":0,"roughnessFactor":0.9}}],)"
            R"("buffers":[{"byteLength":)" +
            std::to_string(size.BinaryBytes()) + "}]," +
            R"("bufferViews":[{"buffer":0,"byteOffset":0,"byteLength":)" + vertexBytes +
            R"(,"byteStride":)" + std::to_string(kGlbVertexBytes) +
            R"(,"target":34962},{"buffer":0,"byteOffset":)" + vertexBytes + R"(,"byteLength":)" +
            std::to_string(size.triangles * kGlbTriangleBytes) +
            R"(,"target":34963}],)"
            R"("accessors":[{"bufferView":0,"componentType":5126,"count":)" +
            vertices + R"(,"type":"VEC3","min":)" + Triple(size.min) + R"(,"max":)" +
            Triple(size.max) +
            R"(},{"bufferView":0,"byteOffset":12,"componentType":5126,"count":)" + vertices +
            R"(,"type":"VEC3"},{"bufferView":1,"componentType":5125,"count":)" +
            std::to_string(3 * size.triangles) + R"(,"type":"SCALAR"}]})";
    return json;
}

void PutWord(std::string& bytes, std::uint32_t word) {
    bytes.append(reinterpret_cast<const char*>(&word), sizeof(word));
}

} // namespace

void GlbMeshSize::Add(std::span<const MeshVertex> piece, std::uint64_t pieceTriangles) {
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
    vertices += piece.size();
    triangles += pieceTriangles;
}

std::string GlbHead(std::uint32_t second, const GlbMeshSize& size) {
    std::string json = Json(second, size);
    if (json.size() > kGlbJsonBytes) {
        return {};
    }
    json.resize(kGlbJsonBytes, ' ');
    std::string head;
    PutWord(head, kMagic);
    PutWord(head, 2);
    PutWord(head, static_cast<std::uint32_t>(size.FileBytes()));
    PutWord(head, static_cast<std::uint32_t>(kGlbJsonBytes));
    PutWord(head, kJsonChunk);
    head += json;
    if (size.vertices > 0) {
        PutWord(head, static_cast<std::uint32_t>(size.BinaryBytes()));
        PutWord(head, kBinChunk);
    }
    return head;
}

} // namespace arbolith
