// Frame cost in a headless 1024 x 768 Mesa context, with the three floors on the same settled field.
#include "bench/bench_cases.h"
#include "engine/seed.h"
#include "support/gl_test_context.h"

#include <benchmark/benchmark.h>

namespace {

GlTestContext& Surface()
{
    static GlTestContext context(BenchWidth, BenchHeight);
    return context;
}

void SeedCounter(benchmark::State& state)
{
    state.counters["seeds"] = static_cast<double>(seedField.size());
}

void BM_FrameStep(benchmark::State& state)
{
    const auto density = static_cast<uint32_t>(state.range(0));
    Surface();
    PrepareSteadyState(density);
    for (auto _ : state)
        DrawSteadyFrame(density);
    SeedCounter(state);
}

void BM_CpuFloor(benchmark::State& state)
{
    const auto density = static_cast<uint32_t>(state.range(0));
    PrepareSteadyState(density);
    for (auto _ : state)
        benchmark::DoNotOptimize(CpuFloor(density));
    SeedCounter(state);
}

// The field's points as they stand, drawn by one of the floor's two ways.
void DrawFloor(benchmark::State& state, void (GlFloor::*draw)() const)
{
    const auto density = static_cast<uint32_t>(state.range(0));
    Surface();
    PrepareSteadyState(density);
    GlFloor floor;
    floor.capture();
    for (auto _ : state)
        (floor.*draw)();
    SeedCounter(state);
}

void BM_GlFloor(benchmark::State& state)
{
    DrawFloor(state, &GlFloor::draw);
}

void BM_CallFloor(benchmark::State& state)
{
    DrawFloor(state, &GlFloor::drawEachPoint);
}

}  // namespace

BENCHMARK(BM_FrameStep)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_CpuFloor)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_GlFloor)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_CallFloor)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

BENCHMARK_MAIN();
