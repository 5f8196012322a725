// The work zone planner's whole search: every closure window (553) of the four stages of both
// options, on the heavily queued project of the tests (30000 vehicles a day on four lanes, the
// concrete stages in years of their own) and on two of the examples. The projects are read as
// velmora-cli reads them. Build with CMAKE_BUILD_TYPE=Release.

#include "Cli.h"
#include "planner/WorkZonePlanner.h"

#include <benchmark/benchmark.h>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

// tests/data/heavy-priced.set: NAME=VALUE lines, # for comments.
velmora::ProjectData HeavyPriced() {
    velmora::ProjectData project;
    std::ifstream in(VELMORA_SOURCE_DIR "/tests/data/heavy-priced.set");
    std::ostringstream err;
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#' && !velmora::cli::ApplySet(project, line, err))
            throw std::runtime_error(err.str());
    return project;
}

velmora::ProjectData Example(const char* name) {
    velmora::ProjectData project;
    std::ostringstream err;
    if (!velmora::cli::LoadProject(std::string(VELMORA_SOURCE_DIR "/examples/") + name, project,
                                   err))
        throw std::runtime_error(err.str());
    return project;
}

void Search(benchmark::State& state, const velmora::ProjectData& project) {
    const velmora::planner::PlannerSettings settings;
    for (auto _ : state) {
        const velmora::planner::PlannerRun run =
            velmora::planner::SearchClosures(project, settings);
        if (!run.ok()) state.SkipWithError(run.refusal.text.c_str());
        benchmark::DoNotOptimize(run);
    }
}

} // namespace

int main(int argc, char** argv) {
    const velmora::ProjectData heavy = HeavyPriced(), interstate = Example("interstate.vlm"),
                               arterial = Example("urban-arterial.vlm");
    benchmark::RegisterBenchmark("SearchClosures/heavy_priced", Search, heavy)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("SearchClosures/interstate", Search, interstate)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("SearchClosures/urban_arterial", Search, arterial)
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
