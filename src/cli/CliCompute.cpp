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
    out["asphaltGridlock"] = run.asphaltGridlock;
    out["concreteGridlock"] = run.concreteGridlock;
    const auto option = [&](const std::string& name, const std::array<double, 4>& counts,
                            const std::array<StageBreakdown, 4>& stages) {
        out[name + "TreatmentCount"] = counts;
        nlohmann::ordered_json& components = out[name + "UserComponents"];
        for (const StageBreakdown& stage : stages) components.push_back(stage.components);
    };
    option("asphalt", run.asphaltTreatmentCount, run.asphaltStages);
    option("concrete", run.concreteTreatmentCount, run.concreteStages);
    return out;
}

} // namespace

int ComputeOnFile(const std::string& file, const std::vector<std::string>& sets, ComputedRun& run,
                  std::ostream& err) {
    if (!LoadProject(file, run.project, err)) return kFileError;
    for (const std::string& assignment : sets)
        if (!ApplySet(run.project, assignment, err)) return kUsageError;

    if (const std::optional<Refusal> refusal = PrepareAnalysis(run.project)) {
        err << refusal->caption << '\n' << refusal->text << '\n';
        return kRefused;
    }
    run.analysis = RunAnalysisOnCopy(run.project);
    if (run.analysis.asphaltGridlock)
        err << kGridlockCaption << " (asphalt option)\n" << kGridlockText << '\n';
    if (run.analysis.concreteGridlock)
        err << kGridlockCaption << " (concrete option)\n" << kGridlockText << '\n';
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
        out << "asphaltGridlock\t" << run.analysis.asphaltGridlock << '\n';
        out << "concreteGridlock\t" << run.analysis.concreteGridlock << '\n';
        return int{kOk};
    };
    return ForEachFile(arguments.files, std::thread::hardware_concurrency(), one, out, err);
}

} // namespace velmora::cli
