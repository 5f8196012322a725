// velmora-cli compute: the Compute Costs run on project files, printed for scripts.

#include "Cli.h"

#include <nlohmann/json.hpp>
#include <ostream>
#include <thread>

namespace velmora::cli {
namespace {

nlohmann::ordered_json ComputeJson(const AnalysisResult& run) {
    nlohmann::ordered_json out;
    ForEachCostResult(run.results,
                      [&](const std::string& name, double value) { out[name] = value; });
    for (int option : {PavementOption::Asphalt, PavementOption::Concrete})
        out[std::string(PavementOption::kNames[option]) + "Gridlock"] = run.option[option].gridlock;
    for (int option : {PavementOption::Asphalt, PavementOption::Concrete}) {
        const std::string name = PavementOption::kNames[option];
        out[name + "TreatmentCount"] = run.option[option].treatmentCount;
        out[name + "UserComponents"] = run.option[option].userComponents;
    }
    return out;
}

} // namespace

int ComputeOnFile(const std::string& file, const std::vector<std::string>& sets, ComputedRun& run,
                  std::ostream& err) {
    if (const int status = LoadProjectWithSets(file, sets, run.project, err); status != kOk)
        return status;
    return ComputeOnProject(run, err);
}

int LoadProjectWithSets(const std::string& file, const std::vector<std::string>& sets,
                        ProjectData& project, std::ostream& err) {
    if (!LoadProject(file, project, err)) return kFileError;
    for (const std::string& assignment : sets)
        if (!ApplySet(project, assignment, err)) return kUsageError;
    return kOk;
}

int ComputeOnProject(ComputedRun& run, std::ostream& err) {
    if (const HandOff handOff = PrepareAnalysis(run.project); !handOff.ok()) {
        err << handOff.refusal.caption << '\n' << handOff.refusal.text << '\n';
        run.refusal = handOff.refusal;
        return kRefused;
    }
    run.analysis = RunAnalysisOnCopy(run.project);
    for (int option : {PavementOption::Asphalt, PavementOption::Concrete})
        if (run.analysis.option[option].gridlock)
            err << kGridlockCaption << " (" << PavementOption::kNames[option] << " option)\n"
                << kGridlockText << '\n';
    return kOk;
}

int Compute(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    const bool several = arguments.files.size() > 1;
    const auto one = [&](std::size_t k, std::ostream& out, std::ostream& err) {
        const std::string& file = arguments.files[k];
        ComputedRun run;
        if (const int status = ComputeOnFile(file, arguments.sets, run, err); status != kOk)
            return status;
        if (arguments.json) {
            out << ComputeJson(run.analysis).dump() << '\n';
            return int{kOk};
        }
        if (several) out << file << ":\n";
        ForEachCostResult(run.analysis.results, [&](const std::string& name, double value) {
            out << name << '\t' << FormatNumber(value) << '\n';
        });
        for (int option : {PavementOption::Asphalt, PavementOption::Concrete})
            out << PavementOption::kNames[option] << "Gridlock\t"
                << run.analysis.option[option].gridlock << '\n';
        return int{kOk};
    };
    return ForEachFile(arguments.files, std::thread::hardware_concurrency(), one, out, err);
}

} // namespace velmora::cli
