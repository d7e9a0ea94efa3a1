// Growth alone: the core's run into a surface that only counts, in branches per second, on
// both drawing paths, and the memory a run holds at its peak.
#include <benchmark/benchmark.h>

#include <limits>

#include "bench/CountingSurface.h"
#include "bench/PlainGrowth.h"
#include "tests/support/AllocationCount.h"
#include "tree/DrawingRun.h"

namespace arbolith {
namespace {

constexpr std::uint32_t kSecond = 1796000000;

TreeParameters Tree(int limbs, int levels) {
    TreeParameters p;
    p.maxAngleXY = 40;
    p.maxAngleYZ = 20;
    p.maxAngleXZ = 30;
    p.scaleFactor = 0.75;
    p.limbsDegree = limbs;
    p.referencePoint = {280, 640, 0};
    p.firstVector = {0, -150, 0};
    p.levels = levels;
    return p;
}

void Generate(benchmark::State& state, int limbs, GrowthPath path) {
    const TreeOrder tree{Tree(limbs, static_cast<int>(state.range(0))), kSecond, {}, path};
    std::uint64_t branches = 0;
    for (auto _ : state) {
        CountingSurface surface;
        DrawTree(surface, tree);
        branches += surface.polygons;
        benchmark::DoNotOptimize(surface.checksum);
    }
    state.counters["branches/s"] =
        benchmark::Counter(static_cast<double>(branches), benchmark::Counter::kIsRate);
    state.counters["branches"] = static_cast<double>(branches / state.iterations());
}

void BM_GenerateLiteral(benchmark::State& state) {
    Generate(state, 3, GrowthPath::Literal);
}
void BM_GenerateRepeatsOnce(benchmark::State& state) {
    Generate(state, 3, GrowthPath::RepeatsOnce);
}
BENCHMARK(BM_GenerateLiteral)->DenseRange(6, 12, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GenerateRepeatsOnce)->DenseRange(6, 12, 3)->Unit(benchmark::kMillisecond);

// The tree of about 1.2e14 literal branches that the repeated-subtree path draws in a blink.
void BM_GenerateNineteenLimbsTenLevels(benchmark::State& state) {
    const TreeOrder tree{Tree(19, 10), kSecond};
    for (auto _ : state) {
        CountingSurface surface;
        DrawTree(surface, tree);
        benchmark::DoNotOptimize(surface.checksum);
    }
}
BENCHMARK(BM_GenerateNineteenLimbsTenLevels)->Unit(benchmark::kMillisecond);

// Growth against its floor, on the two trees every branch of which is drawn: 3 limbs and 12
// levels literally (2,391,484 branches), 2 limbs and 18 levels (1,048,575). The plain version
// grows the same polygons, checked by their checksum.
TreeOrder FloorTree(std::int64_t which) {
    return {Tree(which == 0 ? 3 : 2, which == 0 ? 12 : 18), kSecond, {}, GrowthPath::Literal};
}

void BM_GrowthPainter(benchmark::State& state) {
    const TreeOrder tree = FloorTree(state.range(0));
    CountingSurface surface;
    for (auto _ : state) {
        surface = CountingSurface();
        DrawTree(surface, tree);
        benchmark::DoNotOptimize(surface.checksum);
    }
    state.counters["checksum"] = surface.checksum;
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(surface.polygons));
}

void BM_GrowthPlainFloor(benchmark::State& state) {
    const TreeOrder tree = FloorTree(state.range(0));
    std::uint64_t polygons = 0;
    std::uint32_t checksum = 0;
    const auto sink = [&](const SurfacePoint* corners) {
        ++polygons;
        checksum +=
            static_cast<std::uint32_t>(corners[2].x) ^ static_cast<std::uint32_t>(corners[3].y);
    };
    for (auto _ : state) {
        polygons = 0;
        checksum = 0;
        PlainGrowth<decltype(sink) const>(tree.parameters, tree.second, sink).Draw();
        benchmark::DoNotOptimize(checksum);
    }
    state.counters["checksum"] = checksum;
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(polygons));
}
BENCHMARK(BM_GrowthPainter)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GrowthPlainFloor)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Peak bytes held by one run against the tree's size: bushy trees of growing size at a fixed
// depth, then chains of growing depth.
void PeakMemory(benchmark::State& state, int limbs, int levels) {
    const TreeOrder tree{Tree(limbs, levels), kSecond, {}, GrowthPath::Literal};
    std::uint64_t branches = 0;
    std::size_t peak = 0;
    for (auto _ : state) {
        CountingSurface surface;
        const std::size_t before = testing::LiveBytes();
        testing::ResetPeakBytes();
        DrawTree(surface, tree);
        peak = testing::PeakBytes() - before;
        branches = surface.polygons;
    }
    state.counters["branches"] = static_cast<double>(branches);
    state.counters["peak_bytes"] = static_cast<double>(peak);
}

void BM_PeakMemoryBushy(benchmark::State& state) {
    PeakMemory(state, static_cast<int>(state.range(0)), 6);
}
void BM_PeakMemoryChain(benchmark::State& state) {
    PeakMemory(state, 1, static_cast<int>(state.range(0)));
}
// Bushy trees without an end of levels, which stop at the fork limit: the peak is the limit's
// fork records.
void BM_PeakMemoryBottomless(benchmark::State& state) {
    PeakMemory(state, static_cast<int>(state.range(0)), std::numeric_limits<std::int32_t>::max());
}
BENCHMARK(BM_PeakMemoryBushy)->DenseRange(2, 8, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeakMemoryBottomless)->Arg(2)->Arg(19)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeakMemoryChain)
    ->RangeMultiplier(10)
    ->Range(1000, 1000000)
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace arbolith

BENCHMARK_MAIN();
