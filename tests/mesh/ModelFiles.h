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

// Reads a .glb back through its JSON, as an importer does: each accessor where its buffer view
// and its own offset put it, a stride apart.
inline ReadMesh ReadGlb(const std::string& bytes) {
    ReadMesh mesh;
    EXPECT_EQ(bytes.substr(0, 4), "glTF");
    EXPECT_EQ(Word(bytes, 8), bytes.size());
    const std::uint32_t jsonBytes = Word(bytes, 12);
    mesh.json =
        QJsonDocument::fromJson(QByteArray::fromStdString(bytes.substr(20, jsonBytes))).object();
    if (!mesh.json.contains("meshes")) {
        return mesh;
    }
    const std::size_t bin = 20 + jsonBytes + 8;
    const QJsonArray accessors = mesh.json["accessors"].toArray();
    const QJsonArray views = mesh.json["bufferViews"].toArray();
    // Where each element of the accessor starts.
    const auto elements = [&](int index, std::size_t size) {
        const QJsonObject accessor = accessors[index].toObject();
        const QJsonObject view = views[accessor["bufferView"].toInt()].toObject();
        const std::size_t start = bin + static_cast<std::size_t>(view["byteOffset"].toInt() +
                                                                 accessor["byteOffset"].toInt());
        const std::size_t stride =
            static_cast<std::size_t>(view["byteStride"].toInt(static_cast<int>(size)));
        std::vector<const char*> at(static_cast<std::size_t>(accessor["count"].toInt()));
        for (std::size_t i = 0; i < at.size(); ++i) {
            at[i] = bytes.data() + start + i * stride;
        }
        return at;
    };
    const QJsonObject primitive = mesh.json["meshes"][0]["primitives"][0].toObject();
    const auto positions = elements(primitive["attributes"]["POSITION"].toInt(), 12);
    const auto normals = elements(primitive["attributes"]["NORMAL"].toInt(), 12);
    EXPECT_EQ(positions.size(), normals.size());
    mesh.vertices.resize(positions.size());
    for (std::size_t i = 0; i < positions.size() && i < normals.size(); ++i) {
        std::memcpy(mesh.vertices[i].position.data(), positions[i], 12);
        std::memcpy(mesh.vertices[i].normal.data(), normals[i], 12);
    }
    const auto indices = elements(primitive["indices"].toInt(), 4);
    mesh.triangles.resize(indices.size() / 3);
    for (std::size_t i = 0; i < indices.size(); ++i) {
        std::memcpy(&mesh.triangles[i / 3][i % 3], indices[i], 4);
    }
    return mesh;
}

inline MeshPoint ReadTriple(std::istringstream& words) {
    MeshPoint point{};
    for (float& component : point) {
        std::string number;
        words >> number;
        std::from_chars(number.data(), number.data() + number.size(), component);
    }
    return point;
}

// Reads an OBJ's vertices, normals and triangles back, and the material library it names. A
// corner that names another normal than its vertex's has none.
inline ReadMesh ReadObj(const std::string& text, std::string& library) {
    ReadMesh mesh;
    std::vector<MeshPoint> normals;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string kind;
        words >> kind;
        if (kind == "v") {
            mesh.vertices.push_back({ReadTriple(words), {}});
        } else if (kind == "vn") {
            normals.push_back(ReadTriple(words));
        } else if (kind == "f") {
            Triangle t{};
            for (std::uint32_t& index : t) {
                std::string corner;
                words >> corner;
                const std::size_t slashes = corner.find("//");
                index = static_cast<std::uint32_t>(std::stoul(corner.substr(0, slashes))) - 1;
                const std::size_t normal = std::stoul(corner.substr(slashes + 2)) - 1;
                EXPECT_EQ(normal, index) << line;
                mesh.vertices.at(index).normal = normals.at(normal);
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
