// The risk analysis against the analyses it runs: 100,000 iterations of the heavily queued
// project (30000 vehicles a day on four lanes) with 20 uncertain inputs and one correlated pair,
// Latin hypercube, on 1 and 2 threads, beside 100,000 bare analyses split over the same threads:
// of the project as it stands, and of the very projects the simulation samples (traffic and
// growth move the cost of the queue model itself). Build with CMAKE_BUILD_TYPE=Release.
//
// Peak memory of a million iterations: /usr/bin/time -v build/bench/velmora_risk_bench
// --benchmark_filter=Million

#include "engine/Analysis.h"
#include "risk/RiskAnalysis.h"
#include "risk/UncertainFields.h"

#include <benchmark/benchmark.h>
#include <thread>

namespace {

constexpr std::int64_t kIterations = 100000;

velmora::ProjectData HeavyProject() {
    velmora::ProjectData p;
    p.aadt = 30000.0;
    p.laneCount = 4.0;
    return p;
}

velmora::risk::RiskDefinitions TwentyInputs(std::int64_t iterations) {
    const std::string json = R"({"format": "velmora-risk", "version": 1, "seed": 3, "inputs": [
      {"field": "hmaWearingPrice", "distribution": "triangular", "min": 45, "mode": 55, "max": 70},
      {"field": "hmaBinderPrice", "distribution": "lognormal", "mean": 50, "sd": 10},
      {"field": "hmaBasePrice", "distribution": "pert", "min": 35, "mode": 40, "max": 50},
      {"field": "asphaltAggBasePrice", "distribution": "uniform", "min": 15, "max": 25},
      {"field": "asphaltMillingPrice", "distribution": "normal", "mean": 3, "sd": 0.5, "min": 0},
      {"field": "asphaltPatchingPrice", "distribution": "triangular", "min": 20, "mode": 25, "max": 40},
      {"field": "concretePrice", "distribution": "pert", "min": 30, "mode": 35, "max": 45},
      {"field": "concreteAggBasePrice", "distribution": "uniform", "min": 15, "max": 25},
      {"field": "jointSealingPrice", "distribution": "lognormal", "mean": 1.5, "sd": 0.3},
      {"field": "concretePatchingPrice", "distribution": "triangular", "min": 60, "mode": 75, "max": 110},
      {"field": "asphaltMobilizationPct", "distribution": "uniform", "min": 3, "max": 8},
      {"field": "concreteMobilizationPct", "distribution": "uniform", "min": 3, "max": 8},
      {"field": "asphaltTrafficControlPct", "distribution": "pert", "min": 2, "mode": 5, "max": 10},
      {"field": "concreteTrafficControlPct", "distribution": "pert", "min": 2, "mode": 5, "max": 10},
      {"field": "discountRate", "distribution": "uniform", "min": 3, "max": 5},
      {"field": "aadt", "distribution": "normal", "mean": 30000, "sd": 1500},
      {"field": "truckPercent", "distribution": "triangular", "min": 8, "mode": 10, "max": 14},
      {"field": "trafficGrowth", "distribution": "uniform", "min": 0.5, "max": 2},
      {"field": "currentCpi", "distribution": "normal", "mean": 173.644, "sd": 5},
      {"field": "terrain", "distribution": "discrete", "values": [0, 1], "probabilities": [0.8, 0.2]}],
     "correlations": [{"fields": ["hmaWearingPrice", "hmaBinderPrice"], "rank": 0.8}]})";
    velmora::risk::RiskDefinitions d = velmora::risk::ParseRiskDefinitions(json).definitions;
    d.iterations = iterations;
    return d;
}

void RiskAnalysis(benchmark::State& state, std::int64_t iterations) {
    const velmora::ProjectData project = HeavyProject();
    const velmora::risk::RiskDefinitions d = TwentyInputs(iterations);
    const unsigned threads = static_cast<unsigned>(state.range(0));
    for (auto _ : state) {
        const velmora::risk::RiskAnalysis a = velmora::risk::RunRiskAnalysis(project, d, {threads});
        if (!a.error.empty()) state.SkipWithError(a.error.c_str());
        benchmark::DoNotOptimize(a.difference.mean);
    }
}

// The hand-off and the analysis of `iterations` projects, split over the threads.
template <class Prepare>
void Analyses(benchmark::State& state, Prepare&& prepare) {
    const unsigned threads = static_cast<unsigned>(state.range(0));
    for (auto _ : state) {
        std::vector<std::jthread> pool;
        for (unsigned t = 0; t < threads; ++t)
            pool.emplace_back([&, t] {
                velmora::ProjectData project = HeavyProject();
                auto set = prepare(project);
                for (std::int64_t i = t; i < kIterations; i += threads) {
                    set(i);
                    benchmark::DoNotOptimize(velmora::PrepareAnalysis(project));
                    benchmark::DoNotOptimize(velmora::RunAnalysis(project));
                }
            });
    }
}

void BareAnalyses(benchmark::State& state) {
    Analyses(state, [](velmora::ProjectData&) { return [](std::int64_t) {}; });
}

// The projects of the simulation's iterations, drawn beforehand.
void SampledAnalyses(benchmark::State& state) {
    const velmora::risk::RiskAnalysis sampled =
        velmora::risk::RunRiskAnalysis(HeavyProject(), TwentyInputs(kIterations), {2});
    std::vector<int> items;
    for (const std::string& field : sampled.fields)
        items.push_back(velmora::risk::LookUpField(field)->item);
    Analyses(state, [&](velmora::ProjectData& project) {
        return [&, slots = velmora::risk::FindSlots(project, items)](std::int64_t i) {
            for (std::size_t j = 0; j < slots.size(); ++j) slots[j].Set(sampled.inputs[j][i]);
        };
    });
}

BENCHMARK(BareAnalyses)
    ->Name("BareAnalyses/100k")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(SampledAnalyses)
    ->Name("SampledAnalyses/100k")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(RiskAnalysis, 100k, kIterations)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(RiskAnalysis, Million, 1000000)
    ->Arg(2)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
