// One Compute Costs run, on the default project and on one whose work zones queue heavily in
// their closure hours (30000 vehicles a day on four lanes). Build with CMAKE_BUILD_TYPE=Release.

#include "engine/Analysis.h"

#include <benchmark/benchmark.h>

namespace {

velmora::ProjectData DefaultProject() {
    return {};
}

velmora::ProjectData HeavyProject() {
    velmora::ProjectData p;
    p.aadt = 30000.0;
    p.laneCount = 4.0;
    return p;
}

// The heavy project with every stage in a year of its own, so that no stage can take over the
// simulated day of another.
velmora::ProjectData HeavyDistinctYears() {
    velmora::ProjectData p = HeavyProject();
    for (int k = 0; k < 4; ++k) p.concreteStage[k].year = 5.0 + 10.0 * k;
    return p;
}

template <velmora::ProjectData (*Make)()>
void Analysis(benchmark::State& state) {
    const velmora::ProjectData project = Make();
    for (auto _ : state) benchmark::DoNotOptimize(velmora::RunAnalysis(project));
}

// The hand-off's checks and the analysis, as the Compute Costs button runs them.
template <velmora::ProjectData (*Make)()>
void HandOffAndAnalysis(benchmark::State& state) {
    velmora::ProjectData project = Make();
    for (auto _ : state) {
        benchmark::DoNotOptimize(velmora::PrepareAnalysis(project));
        benchmark::DoNotOptimize(velmora::RunAnalysis(project));
    }
}

BENCHMARK(Analysis<DefaultProject>)->Name("Analysis/default");
BENCHMARK(Analysis<HeavyProject>)->Name("Analysis/heavy");
BENCHMARK(Analysis<HeavyDistinctYears>)->Name("Analysis/heavy_distinct_years");
BENCHMARK(HandOffAndAnalysis<DefaultProject>)->Name("HandOffAndAnalysis/default");
BENCHMARK(HandOffAndAnalysis<HeavyProject>)->Name("HandOffAndAnalysis/heavy");

} // namespace

BENCHMARK_MAIN();
