// Writing a tree of 1,048,575 branches in 3-D: branches per second and bytes per branch of
// each format, and what one growth costs on its own and with the solids made.
#include <benchmark/benchmark.h>

#include "render/GltfWriter.h"
#include "render/ObjWriter.h"

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

void BM_ExportGlb(benchmark::State& state) {
    Export(state, [](const ByteSink& sink) { return WriteGlb(MillionBranches(), sink); });
}
BENCHMARK(BM_ExportGlb)->Unit(benchmark::kMillisecond);

void BM_ExportObj(benchmark::State& state) {
    Export(state,
           [](const ByteSink& sink) { return WriteObj(MillionBranches(), "tree.mtl", sink); });
}
BENCHMARK(BM_ExportObj)->Unit(benchmark::kMillisecond);

// One growth with the solids made and dropped: a .glb takes three of these.
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
        last.mesh = MeshTree(MillionBranches(), dropped, nullptr).counts;
    }
    Report(state, last, 0);
}
BENCHMARK(BM_MeshOnly)->Unit(benchmark::kMillisecond);

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
BENCHMARK(BM_GrowthOnly)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace arbolith

BENCHMARK_MAIN();
