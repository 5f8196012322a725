// velmora-cli compute: the Compute Costs run on a project file, printed for scripts.

#include "Cli.h"

#include <algorithm>
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

std::optional<RunArguments> ParseRunArguments(const std::vector<std::string>& args,
                                              const std::vector<std::string_view>& allowedFlags) {
    RunArguments parsed;
    for (std::size_t k = 0; k < args.size(); ++k) {
        const std::string& arg = args[k];
        if (arg == "--set") {
            if (++k == args.size()) return std::nullopt;
            parsed.sets.push_back(args[k]);
        } else if (arg.starts_with("--")) {
            if (std::find(allowedFlags.begin(), allowedFlags.end(), arg) == allowedFlags.end())
                return std::nullopt;
            parsed.flags.push_back(arg);
        } else if (parsed.file.empty()) {
            parsed.file = arg;
        } else {
            parsed.positional.push_back(arg);
        }
    }
    if (parsed.file.empty()) return std::nullopt;
    return parsed;
}

int ComputeOnFile(const RunArguments& arguments, ComputedRun& run, std::ostream& err) {
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

int Compute(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::optional<RunArguments> arguments = ParseRunArguments(args, {"--json"});
    if (!arguments || !arguments->positional.empty()) return UsageError(err);

    ComputedRun run;
    if (const int status = ComputeOnFile(*arguments, run, err); status != kOk) return status;

    if (!arguments->flags.empty()) {
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
