// velmora-cli compute: the Compute Costs run on a project file, printed for scripts.

#include "Cli.h"

#include <ostream>

namespace velmora::cli {
namespace {

void WriteNumbers(std::ostream& out, const double* values, int count) {
    out << '[';
    for (int k = 0; k < count; ++k) out << (k ? ", " : "") << FormatNumber(values[k]);
    out << ']';
}

void WriteJson(std::ostream& out, const AnalysisResult& run) {
    out << "{\n";
    ForEachCostResult(run.results, [&](const std::string& name, double value) {
        out << "  \"" << name << "\": " << FormatNumber(value) << ",\n";
    });
    out << "  \"asphaltGridlock\": " << (run.asphaltGridlock ? "true" : "false") << ",\n";
    out << "  \"concreteGridlock\": " << (run.concreteGridlock ? "true" : "false") << ",\n";
    const auto option = [&](const char* name, const std::array<double, 4>& counts,
                            const std::array<StageBreakdown, 4>& stages, bool last) {
        out << "  \"" << name << "TreatmentCount\": ";
        WriteNumbers(out, counts.data(), 4);
        out << ",\n  \"" << name << "UserComponents\": [";
        for (int k = 0; k < 4; ++k) {
            out << (k ? ", " : "");
            WriteNumbers(out, stages[k].components.data(), kUserCostComponentCount);
        }
        out << ']' << (last ? "\n" : ",\n");
    };
    option("asphalt", run.asphaltTreatmentCount, run.asphaltStages, false);
    option("concrete", run.concreteTreatmentCount, run.concreteStages, true);
    out << "}\n";
}

} // namespace

int ComputeOnFile(const Arguments& arguments, ComputedRun& run, std::ostream& err) {
    if (!LoadProject(arguments.file, run.project, err)) return kFileError;
    for (const std::string& assignment : arguments.sets)
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
    ComputedRun run;
    if (const int status = ComputeOnFile(arguments, run, err); status != kOk) return status;

    if (arguments.json) {
        WriteJson(out, run.analysis);
        return kOk;
    }
    ForEachCostResult(run.analysis.results, [&](const std::string& name, double value) {
        out << name << '\t' << FormatNumber(value) << '\n';
    });
    out << "asphaltGridlock\t" << run.analysis.asphaltGridlock << '\n';
    out << "concreteGridlock\t" << run.analysis.concreteGridlock << '\n';
    return kOk;
}

} // namespace velmora::cli
