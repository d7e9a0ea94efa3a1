#pragma once

// Reading exported 3-D files back as an importer does, and checking their solids.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <functional>
#include <numeric>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "mesh/Mesher.h"
#include "render/ByteSink.h"

namespace arbolith::testing {

using Triangle = std::array<std::uint32_t, 3>;

// A small tree that turns in every plane, of 364 branches on the literal path, and a second to
// grow it in.
inline const TreeParameters kSmallTree{.maxAngleXY = 50,
                                       .maxAngleYZ = 35,
                                       .maxAngleXZ = 25,
                                       .scaleFactor = 0.7,
                                       .limbsDegree = 3,
                                       .referencePoint = {250, 600, -40},
                                       .firstVector = {10, -160, 5},
                                       .levels = 4};
inline constexpr std::uint32_t kSecond = 1796000077;

struct ReadMesh {
    std::vector<MeshVertex> vertices;
    std::vector<Triangle> triangles;
    QJsonObject json;
};

// The bytes a writer hands its sink; it must say it wrote them all.
inline std::string Written(const std::function<WriteResult(const ByteSink&)>& write) {
    std::string bytes;
    const WriteResult result = write([&bytes](const void* data, std::size_t size) {
        bytes.append(static_cast<const char*>(data), size);
        return true;
    });
    EXPECT_EQ(result.outcome, WriteOutcome::Written) << result.reason;
    return bytes;
}

inline std::uint32_t Word(const std::string& bytes, std::size_t at) {
    std::uint32_t word = 0;
    std::memcpy(&word, bytes.data() + at, sizeof word);
    return word;
}

// Reads each mesh of a .glb back through its JSON, as an importer does: each accessor where its
// buffer view and its own offset put it, a stride apart, in its component type; a mesh's
// primitives one after the other, each counting its vertices from its first.
inline std::vector<ReadMesh> ReadGlbMeshes(const std::string& bytes) {
    EXPECT_EQ(bytes.substr(0, 4), "glTF");
    EXPECT_EQ(Word(bytes, 8), bytes.size());
    const std::uint32_t jsonBytes = Word(bytes, 12);
    const QJsonObject json =
        QJsonDocument::fromJson(QByteArray::fromStdString(bytes.substr(20, jsonBytes))).object();
    if (!json.contains("meshes")) {
        return {ReadMesh{{}, {}, json}};
    }
    const std::size_t bin = 20 + jsonBytes + 8;
    const QJsonArray accessors = json["accessors"].toArray();
    const QJsonArray views = json["bufferViews"].toArray();
    // Each element of the accessor as doubles, normalized integers as shares of their largest.
    const auto elements = [&](int index) {
        const QJsonObject accessor = accessors[index].toObject();
        const QJsonObject view = views[accessor["bufferView"].toInt()].toObject();
        const int type = accessor["componentType"].toInt();
        const std::size_t componentBytes = type == 5126 || type == 5125   ? 4
                                           : type == 5122 || type == 5123 ? 2
                                                                          : 1;
        const QString shape = accessor["type"].toString();
        const std::size_t components = shape == "VEC3" ? 3 : shape == "VEC2" ? 2 : 1;
        const std::size_t start = bin + static_cast<std::size_t>(view["byteOffset"].toDouble() +
                                                                 accessor["byteOffset"].toDouble());
        const std::size_t stride = static_cast<std::size_t>(
            view["byteStride"].toInt(static_cast<int>(components * componentBytes)));
        const bool normalized = accessor["normalized"].toBool();
        std::vector<std::array<double, 3>> values(
            static_cast<std::size_t>(accessor["count"].toDouble()));
        for (std::size_t i = 0; i < values.size(); ++i) {
            for (std::size_t c = 0; c < components; ++c) {
                const char* at = bytes.data() + start + i * stride + c * componentBytes;
                double value = 0;
                if (type == 5126) {
                    float f = 0;
                    std::memcpy(&f, at, 4);
                    value = f;
                } else if (type == 5120) {
                    value = static_cast<std::int8_t>(*at);
                    value = normalized ? std::max(value / 127, -1.0) : value;
                } else if (type == 5121) {
                    value = static_cast<std::uint8_t>(*at);
                } else if (type == 5123) {
                    std::uint16_t word = 0;
                    std::memcpy(&word, at, 2);
                    value = word;
                } else {
                    ADD_FAILURE() << "unexpected component type " << type;
                }
                values[i][c] = value;
            }
        }
        return values;
    };
    const auto floats = [](const std::array<double, 3>& v) {
        return MeshPoint{static_cast<float>(v[0]), static_cast<float>(v[1]),
                         static_cast<float>(v[2])};
    };
    std::vector<ReadMesh> meshes;
    for (const QJsonValue meshValue : json["meshes"].toArray()) {
        ReadMesh mesh;
        mesh.json = json;
        for (const QJsonValue primitiveValue : meshValue["primitives"].toArray()) {
            const QJsonObject primitive = primitiveValue.toObject();
            const QJsonObject attributes = primitive["attributes"].toObject();
            const auto positions = elements(attributes["POSITION"].toInt());
            const auto normals = elements(attributes["NORMAL"].toInt());
            const auto textures = elements(attributes["TEXCOORD_0"].toInt());
            const auto growths = elements(attributes["_GROWTH"].toInt());
            EXPECT_EQ(positions.size(), normals.size());
            EXPECT_EQ(positions.size(), textures.size());
            EXPECT_EQ(positions.size(), growths.size());
            const std::size_t first = mesh.vertices.size();
            for (std::size_t i = 0; i < positions.size(); ++i) {
                mesh.vertices.push_back(
                    {floats(positions[i]),
                     floats(normals.at(i)),
                     {static_cast<float>(textures.at(i)[0]), static_cast<float>(textures.at(i)[1])},
                     static_cast<float>(growths.at(i)[0])});
            }
            const auto indices = elements(primitive["indices"].toInt());
            for (std::size_t i = 0; i + 2 < indices.size(); i += 3) {
                Triangle t{};
                for (std::size_t k = 0; k < 3; ++k) {
                    EXPECT_LT(indices[i + k][0], static_cast<double>(positions.size()));
                    t[k] = static_cast<std::uint32_t>(first + indices[i + k][0]);
                }
                mesh.triangles.push_back(t);
            }
        }
        meshes.push_back(std::move(mesh));
    }
    return meshes;
}

// The first mesh of a .glb: the whole tree, or its first level of detail.
inline ReadMesh ReadGlb(const std::string& bytes) {
    return ReadGlbMeshes(bytes).front();
}

// Up to three numbers; those not there read as 0.
inline MeshPoint ReadTriple(std::istringstream& words) {
    MeshPoint point{};
    for (float& component : point) {
        std::string number;
        if (words >> number) {
            std::from_chars(number.data(), number.data() + number.size(), component);
        }
    }
    return point;
}

// Reads an OBJ's vertices (with their colours' first channel as the growth), texture coordinates,
// normals and triangles back, and the material library it names. Every corner of a face names
// its vertex's texture coordinates and normal by the vertex's own number.
inline ReadMesh ReadObj(const std::string& text, std::string& library) {
    ReadMesh mesh;
    std::vector<MeshPoint> normals;
    std::vector<std::array<float, 2>> textures;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string kind;
        words >> kind;
        if (kind == "v") {
            const MeshPoint position = ReadTriple(words);
            const MeshPoint colour = ReadTriple(words);
            EXPECT_TRUE(colour[0] == colour[1] && colour[1] == colour[2]) << line;
            mesh.vertices.push_back({position, {}, {}, colour[0]});
        } else if (kind == "vt") {
            const MeshPoint texture = ReadTriple(words);
            textures.push_back({texture[0], texture[1]});
        } else if (kind == "vn") {
            normals.push_back(ReadTriple(words));
        } else if (kind == "f") {
            Triangle t{};
            for (std::uint32_t& index : t) {
                std::string corner;
                words >> corner;
                const std::size_t slash = corner.find('/');
                const std::size_t second = corner.find('/', slash + 1);
                index = static_cast<std::uint32_t>(std::stoul(corner.substr(0, slash))) - 1;
                EXPECT_EQ(std::stoul(corner.substr(slash + 1, second - slash - 1)) - 1, index)
                    << line;
                EXPECT_EQ(std::stoul(corner.substr(second + 1)) - 1, index) << line;
                mesh.vertices.at(index).normal = normals.at(index);
                mesh.vertices.at(index).texture = textures.at(index);
            }
            mesh.triangles.push_back(t);
        } else if (kind == "mtllib") {
            words >> library;
        }
    }
    return mesh;
}

// The solids, each as its triangles: triangles joined by a vertex belong to one solid.
inline std::vector<std::vector<Triangle>> Solids(const ReadMesh& mesh) {
    std::vector<std::size_t> root(mesh.vertices.size());
    std::iota(root.begin(), root.end(), 0);
    const auto find = [&](std::size_t v) {
        while (root[v] != v) {
            v = root[v] = root[root[v]];
        }
        return v;
    };
    for (const Triangle& t : mesh.triangles) {
        root[find(t[1])] = find(t[0]);
        root[find(t[2])] = find(t[0]);
    }
    std::vector<std::size_t> solidOfRoot(mesh.vertices.size(), mesh.vertices.size());
    std::vector<std::vector<Triangle>> solids;
    for (const Triangle& t : mesh.triangles) {
        std::size_t& solid = solidOfRoot[find(t[0])];
        if (solid == mesh.vertices.size()) {
            solid = solids.size();
            solids.emplace_back();
        }
        solids[solid].push_back(t);
    }
    return solids;
}

// Each edge of the solid joins exactly two of its triangles, which pass along it in opposite
// directions, and the solid encloses a positive volume: a closed 2-manifold facing outward.
inline void ExpectClosedAndOutward(const ReadMesh& mesh, const std::vector<Triangle>& solid) {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> edges;
    double volume = 0;
    for (const Triangle& t : solid) {
        for (int k = 0; k < 3; ++k) {
            edges.emplace_back(t[k], t[(k + 1) % 3]);
        }
        const MeshPoint& a = mesh.vertices[t[0]].position;
        const MeshPoint& b = mesh.vertices[t[1]].position;
        const MeshPoint& c = mesh.vertices[t[2]].position;
        volume += double{a[0]} * (double{b[1]} * c[2] - double{b[2]} * c[1]) -
                  double{a[1]} * (double{b[0]} * c[2] - double{b[2]} * c[0]) +
                  double{a[2]} * (double{b[0]} * c[1] - double{b[1]} * c[0]);
    }
    std::sort(edges.begin(), edges.end());
    for (std::size_t i = 0; i < edges.size(); ++i) {
        const auto [from, to] = edges[i];
        ASSERT_TRUE(i + 1 == edges.size() || edges[i + 1] != edges[i])
            << "edge " << from << "-" << to << " passed twice the same way";
        ASSERT_TRUE(std::binary_search(edges.begin(), edges.end(), std::pair(to, from)))
            << "edge " << from << "-" << to << " has one triangle";
    }
    EXPECT_GT(volume, 0);
}

} // namespace arbolith::testing
