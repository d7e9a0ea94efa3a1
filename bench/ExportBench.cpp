// Writing a tree of 1,048,575 branches in 3-D: branches per second and bytes per branch of
// each format, against the floors they are measured by: one growth with its solids made, and
// for OBJ the printing of its numbers. A large mesh is written on a second thread, so CPU time is
// the whole process's.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "mesh/GltfWriter.h"
#include "mesh/ObjWriter.h"
#include "numbers/DecimalText.h"
#include "output/WholeFile.h"
#include "render/OutputFile.h"

namespace arbolith {
namespace {

constexpr std::uint32_t kSecond = 1796000000;

// 2 limbs and 18 levels: every branch is drawn on either path.
TreeOrder MillionBranches() {
    TreeParameters p;
    p.maxAngleXY = 40;
    p.maxAngleYZ = 20;
    p.maxAngleXZ = 30;
    p.scaleFactor = 0.75;
    p.limbsDegree = 2;
    p.referencePoint = {280, 640, 0};
    p.firstVector = {0, -150, 0};
    p.levels = 18;
    return {p, kSecond};
}

void Report(benchmark::State& state, const WriteResult& last, std::uint64_t bytes) {
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(last.mesh.branches));
    state.counters["branches"] = static_cast<double>(last.mesh.branches);
    if (bytes > 0) {
        state.counters["bytes_per_branch"] =
            static_cast<double>(bytes) / static_cast<double>(last.mesh.branches);
    }
}

template <typename Write> void Export(benchmark::State& state, Write write) {
    WriteResult last;
    std::uint64_t bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        last = write([&bytes](const void*, std::size_t size) {
            bytes += size;
            return true;
        });
        benchmark::DoNotOptimize(bytes);
    }
    Report(state, last, bytes);
}

// Through a plain sink: three growths.
void BM_ExportGlb(benchmark::State& state) {
    Export(state, [](const ByteSink& sink) { return WriteGlb(MillionBranches(), sink); });
}
BENCHMARK(BM_ExportGlb)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// One growth, as into a file being prepared, its bytes counted: the indices wait in a real
// scratch file; the head written over at the end is dropped.
void BM_ExportGlbOnePass(benchmark::State& state) {
    const PreparedFile file{[](std::uint64_t, const void*, std::size_t) { return true; },
                            [] {
                                return std::tmpfile();
                            }};
    Export(state, [&file](const ByteSink& sink) {
        return WriteGlb(MillionBranches(), sink, nullptr, &file);
    });
}
BENCHMARK(BM_ExportGlbOnePass)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// A folder of its own under the system's temporary one, removed with what it holds.
class TemporaryFolder {
public:
    TemporaryFolder()
        : path_(std::filesystem::temp_directory_path() /
                ("arbolith-bench-" + std::to_string(::getpid()))) {
        std::filesystem::create_directory(path_);
    }
    ~TemporaryFolder() { std::filesystem::remove_all(path_); }
    std::string File(const char* name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// Four levels of detail, one growth each as into a file being prepared, the bytes counted.
void BM_ExportGlbLevels(benchmark::State& state) {
    const PreparedFile file{[](std::uint64_t, const void*, std::size_t) { return true; },
                            [] {
                                return std::tmpfile();
                            }};
    Export(state, [&file](const ByteSink& sink) {
        return WriteGlb(MillionBranches(), sink, nullptr, &file, 4);
    });
}
BENCHMARK(BM_ExportGlbLevels)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// A real file in a temporary folder, whole: written, synced and put in place.
void BM_ExportGlbFile(benchmark::State& state) {
    const TemporaryFolder folder;
    const std::string path = folder.File("tree.glb");
    WriteResult last;
    for (auto _ : state) {
        last = WriteTreeFile(path, Format::Glb, MillionBranches());
    }
    Report(state, last, std::filesystem::file_size(path));
}
BENCHMARK(BM_ExportGlbFile)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// The floor of a real file: as many bytes as the tree's .glb, written whole into the same kind
// of folder in the same chunks, with nothing to make them.
void BM_FileBytesOnly(benchmark::State& state) {
    std::uint64_t bytes = 0;
    const PreparedFile counted{[](std::uint64_t, const void*, std::size_t) { return true; },
                               [] {
                                   return std::tmpfile();
                               }};
    const WriteResult tree = WriteGlb(
        MillionBranches(),
        [&bytes](const void*, std::size_t size) {
            bytes += size;
            return true;
        },
        nullptr, &counted);
    const TemporaryFolder folder;
    const std::string path = folder.File("bytes");
    const std::vector<char> chunk(ChunkedSink::kChunk);
    for (auto _ : state) {
        WriteWhole(path, [&](const ByteSink& sink, const PreparedFile&) {
            for (std::uint64_t left = bytes; left > 0;) {
                const std::size_t size = std::min<std::uint64_t>(left, chunk.size());
                sink(chunk.data(), size);
                left -= size;
            }
            return WriteResult{};
        });
    }
    Report(state, tree, bytes);
}
BENCHMARK(BM_FileBytesOnly)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

void BM_ExportObj(benchmark::State& state) {
    Export(state,
           [](const ByteSink& sink) { return WriteObj(MillionBranches(), "tree.mtl", sink); });
}
BENCHMARK(BM_ExportObj)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// One growth with the solids made and dropped: the floor of every format.
class Dropped final : public MeshOutput {
public:
    void Piece(std::span<const MeshVertex> vertices, std::span<const MeshTriangle>) override {
        benchmark::DoNotOptimize(vertices.data());
    }
};

void BM_MeshOnly(benchmark::State& state) {
    WriteResult last;
    for (auto _ : state) {
        Dropped dropped;
        last.mesh = MeshTree(MillionBranches(), MeshPlan{}, dropped, nullptr).counts;
    }
    Report(state, last, 0);
}
BENCHMARK(BM_MeshOnly)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// The floor of OBJ: one growth with its solids made, and every number an OBJ holds printed as the
// shortest text that reads back, as many times as the OBJ holds it (a vertex's position, its
// growth three times as a colour, texture coordinates and normal; each index of a face three
// times, for its vertex, texture coordinates and normal), with nothing else.
class NumbersPrinted final : public MeshOutput {
public:
    void Piece(std::span<const MeshVertex> vertices,
               std::span<const MeshTriangle> triangles) override {
        for (const MeshVertex& v : vertices) {
            for (const float value :
                 {v.position[0], v.position[1], v.position[2], v.growth, v.growth, v.growth,
                  v.texture[0], v.texture[1], v.normal[0], v.normal[1], v.normal[2]}) {
                Print(value);
            }
        }
        for (const MeshTriangle& t : triangles) {
            for (const std::uint64_t index : {t.a, t.a, t.a, t.b, t.b, t.b, t.c, t.c, t.c}) {
                Print(index + 1);
            }
        }
    }
    std::uint64_t bytes = 0;

private:
    // As the OBJ prints them: floats through the one place that prints them alike everywhere.
    void Print(float value) {
        const std::string text = ShortestText(value);
        benchmark::DoNotOptimize(text.data());
        bytes += text.size();
    }
    void Print(std::uint64_t value) {
        const char* end = std::to_chars(text_.data(), text_.data() + text_.size(), value).ptr;
        benchmark::DoNotOptimize(text_.data());
        bytes += static_cast<std::uint64_t>(end - text_.data());
    }
    std::array<char, 32> text_{};
};

void BM_ObjNumbersOnly(benchmark::State& state) {
    WriteResult last;
    std::uint64_t bytes = 0;
    for (auto _ : state) {
        NumbersPrinted printed;
        last.mesh = MeshTree(MillionBranches(), MeshPlan{}, printed, nullptr).counts;
        bytes = printed.bytes;
    }
    Report(state, last, bytes);
}
BENCHMARK(BM_ObjNumbersOnly)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// Growth alone, handing the branches to nothing.
class Ignored final : public BranchSink {
public:
    void Branch(const CVector& base, const CVector&, const BranchPlace&) override {
        benchmark::DoNotOptimize(&base);
    }
};

void BM_GrowthOnly(benchmark::State& state) {
    const TreeOrder tree = MillionBranches();
    for (auto _ : state) {
        Ignored ignored;
        GrowTreeBranches(ignored, tree);
    }
    state.SetItemsProcessed(state.iterations() * 1048575);
}
BENCHMARK(BM_GrowthOnly)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

} // namespace
} // namespace arbolith

BENCHMARK_MAIN();
