// velmora-cli risk and simulate: the risk definitions a project keeps, and its risk analysis.

#include "Cli.h"
#include "FileIo.h"
#include "report/NumberText.h"
#include "risk/RiskAnalysis.h"
#include "risk/RiskDefinitionsCheck.h"
#include "risk/RiskExport.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <iomanip>
#include <iostream>
#include <limits>
#include <memory>
#include <thread>
#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace velmora::cli {
namespace {

using risk::RiskAnalysis;
using risk::RiskDefinitions;

int ReadDefinitions(const std::string& path, RiskDefinitions& definitions, std::ostream& err) {
    const FileRead file = ReadFileBytes(path, kRiskDefinitionsFileLimit);
    if (!file.ok()) {
        err << "velmora-cli: cannot read " << path << ": " << file.error << '\n';
        return kFileError;
    }
    risk::ParsedDefinitions parsed = risk::ParseRiskDefinitions(file.bytes);
    if (!parsed.ok()) {
        err << "velmora-cli: " << path << ": " << parsed.error << '\n';
        return kUsageError;
    }
    definitions = std::move(parsed.definitions);
    return kOk;
}

std::string Fixed(double value, int decimals = 0) {
    return std::isfinite(value) ? velmora::Fixed(value, decimals) : "-";
}

std::string Percent(double share) {
    return Fixed(100.0 * share, 1) + " %";
}

void WriteSummary(std::ostream& out, const std::string& file, const RiskAnalysis& a) {
    const RiskDefinitions& d = a.definitions;
    out << "Risk analysis of " << file << ": " << a.iterations << " iterations ("
        << (d.sampling == risk::Sampling::LatinHypercube ? "Latin hypercube" : "Monte Carlo")
        << ", seed " << d.seed << ")\n";
    if (d.precision)
        out << (a.precisionReached ? "Precision reached" : "Precision not reached")
            << ": the mean difference is known to within " << Fixed(a.halfWidth)
            << " dollars per mile (95 %); " << Fixed(*d.precision) << " asked for\n";

    const auto& names = risk::ResultNames();
    const auto at = [&](std::string_view name) {
        return static_cast<std::size_t>(std::ranges::find(names, name) - names.begin());
    };
    out << "\nDollars per mile  " << std::right;
    for (const char* heading : {"project", "mean", "EUAC", "5 %", "50 %", "95 %", "iterations"})
        out << std::setw(12) << heading;
    out << '\n';
    const auto deterministic = risk::ResultValues(a.deterministic);
    const auto row = [&](const char* label, const risk::Statistics& s, double project) {
        out << std::left << std::setw(18) << label << std::right << std::setw(12)
            << (a.deterministicRefusal ? "refused" : Fixed(project)) << std::setw(12)
            << Fixed(s.mean) << std::setw(12) << Fixed(s.mean * a.capitalRecoveryFactor);
        for (std::size_t p : {0, 3, 6}) out << std::setw(12) << Fixed(s.percentiles[p].value);
        out << std::setw(12) << s.count << '\n';
    };
    const std::size_t asphalt = at("asphaltTotal"), concrete = at("concreteTotal");
    row("asphaltTotal", a.statistics[asphalt], deterministic[asphalt]);
    row("concreteTotal", a.statistics[concrete], deterministic[concrete]);
    row("totalDifference", a.difference, deterministic[asphalt] - deterministic[concrete]);
    out << "EUAC: the mean as an equivalent uniform annual cost over the analysis period.\n\n";

    const risk::Proportion& cheaper = a.asphaltCheaper;
    out << "Asphalt is the cheaper option in " << Percent(cheaper.value) << " of " << cheaper.count
        << " iterations (95 % interval " << Percent(cheaper.lower) << " to "
        << Percent(cheaper.upper) << ").\n";
    out << "Gridlock: asphalt option in " << Percent(a.asphaltGridlock.value)
        << ", concrete option in " << Percent(a.concreteGridlock.value) << " of "
        << a.asphaltGridlock.count << " iterations.\n";
    if (a.refusedIterations > 0) {
        out << "Refused by Compute Costs: " << a.refusedIterations << " iterations.\n";
        for (const risk::RefusalTally& t : a.refusals)
            out << "  " << t.count << " (first in iteration " << t.firstIteration
                << "): " << t.refusal.text << '\n';
    }

    std::vector<const risk::InputSensitivity*> inputs;
    for (const risk::InputSensitivity& s : a.rankCorrelations) inputs.push_back(&s);
    const auto strength = [](const risk::InputSensitivity* s) {
        return std::isnan(s->totalDifference) ? -1.0 : std::fabs(s->totalDifference);
    };
    std::ranges::stable_sort(inputs, std::ranges::greater{}, strength);
    if (inputs.size() > 5) inputs.resize(5);
    if (inputs.empty()) return;
    out << '\n'
        << std::left << std::setw(42) << "Inputs that drive the difference" << std::right
        << std::setw(10) << "rank corr." << std::setw(12) << "at P10" << std::setw(12) << "at P90"
        << '\n';
    for (const risk::InputSensitivity* s : inputs) {
        const auto swing = std::ranges::find(a.swings, s->field, &risk::Swing::field);
        out << "  " << std::left << std::setw(40) << s->field << std::right << std::setw(10)
            << (std::isnan(s->totalDifference) ? "-" : Fixed(s->totalDifference, 2))
            << std::setw(12) << Fixed(swing->differenceAtLow) << std::setw(12)
            << Fixed(swing->differenceAtHigh) << '\n';
    }
    out << "rank corr.: Spearman's, of the input with the difference. at P10, at P90: the "
           "difference with\nthe input at its 10th, 90th percentile and the rest as the project "
           "has them; - where that run\ngridlocks or is refused.\n";
}

// Shows on a terminal how many iterations the runs have done, ten times a second.
class Progress {
public:
    explicit Progress(const std::vector<risk::SimulationControl>& controls)
        : thread_([&controls](std::stop_token stop) {
              while (!stop.stop_requested()) {
                  std::this_thread::sleep_for(std::chrono::milliseconds(100));
                  std::int64_t done = 0, planned = 0;
                  for (const risk::SimulationControl& c : controls) {
                      done += c.iterationsDone;
                      planned += c.iterationsPlanned;
                  }
                  std::cerr << "\rSimulating: " << done << " of " << planned << " iterations"
                            << std::flush;
              }
              std::cerr << "\r\033[K" << std::flush;
          }) {}

private:
    std::jthread thread_;
};

} // namespace

int DefinitionsFor(const Arguments& arguments, const std::string& file, const ProjectData& project,
                   RiskDefinitions& d, std::ostream& err) {
    std::string source = arguments.riskFile;
    if (!source.empty()) {
        if (const int status = ReadDefinitions(source, d, err); status != kOk) return status;
    } else if (project.riskDefinitions.empty()) {
        err << "velmora-cli: " << file << " holds no risk definitions: store some with "
            << "velmora-cli risk " << file << " --import DEFS.json, or give --risk DEFS.json\n";
        return kUsageError;
    } else {
        source = "the risk definitions of " + file;
        risk::ParsedDefinitions parsed = risk::ParseRiskDefinitions(project.riskDefinitions);
        if (!parsed.ok()) {
            err << "velmora-cli: " << source << ": " << parsed.error << '\n';
            return kUsageError;
        }
        d = std::move(parsed.definitions);
    }
    if (arguments.iterations) d.iterations = *arguments.iterations;
    if (arguments.maxIterations) d.maxIterations = *arguments.maxIterations;
    if (const auto& text = arguments.seed) {
        // Read as text: a number type would take -1 as the largest seed, and clamp a larger one.
        const auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), d.seed);
        if (ec != std::errc() || end != text->data() + text->size()) {
            err << "velmora-cli: --seed must be a whole number from 0 to "
                << std::numeric_limits<std::uint64_t>::max() << ", not " << *text << '\n';
            return kUsageError;
        }
    }
    if (arguments.sampling)
        d.sampling = *arguments.sampling == "mc" ? risk::Sampling::MonteCarlo
                                                 : risk::Sampling::LatinHypercube;
    if (const auto& text = arguments.precision) {
        double precision = 0.0;
        const auto [end, ec] =
            std::from_chars(text->data(), text->data() + text->size(), precision);
        if (ec != std::errc() || end != text->data() + text->size()) {
            err << "velmora-cli: --precision needs a number of dollars per mile, not " << *text
                << '\n';
            return kUsageError;
        }
        d.precision = precision;
    }
    // Without a precision stop the run takes its iterations and a maximum would pass unnoticed.
    if (arguments.maxIterations && !d.precision) {
        err << "velmora-cli: --max-iterations needs a precision stop (--precision D)\n";
        return kUsageError;
    }
    if (const risk::DefinitionsCheck check = risk::CheckRiskDefinitions(d, project); !check.ok()) {
        err << "velmora-cli: " << source << ": " << check.error << '\n';
        return kUsageError;
    }
    return kOk;
}

int Risk(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    ProjectData project;
    if (!LoadProject(arguments.file, project, err)) return kFileError;
    if (!arguments.importFile.empty()) {
        RiskDefinitions d;
        if (const int status = ReadDefinitions(arguments.importFile, d, err); status != kOk)
            return status;
        if (const risk::DefinitionsCheck check = risk::CheckRiskDefinitions(d, project);
            !check.ok()) {
            err << "velmora-cli: " << arguments.importFile << ": " << check.error << '\n';
            return kUsageError;
        }
        project.riskDefinitions = risk::RiskDefinitionsText(d);
    } else if (arguments.clear) {
        project.riskDefinitions.clear();
    } else {
        // Written anew rather than as stored: JSON escapes every control character, and ASCII
        // alone leaves no byte that a terminal could take for the start of one.
        const risk::ParsedDefinitions parsed = risk::ParseRiskDefinitions(project.riskDefinitions);
        out << (project.riskDefinitions.empty()
                    ? "{}"
                    : risk::RiskDefinitionsJson(parsed.definitions)
                          .dump(2, ' ', true, nlohmann::json::error_handler_t::replace))
            << '\n';
        return kOk;
    }
    return SaveProject(arguments.file, project, err) ? kOk : kFileError;
}

int Simulate(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    const std::vector<std::string>& files = arguments.files;
    const std::string samples = arguments.samplesFile.value_or("");
    if (arguments.samplesFile && samples.empty()) {
        err << "velmora-cli: --samples needs a file name, or - for standard output\n";
        return kUsageError;
    }
    if (!samples.empty() && files.size() > 1) {
        err << "velmora-cli: --samples takes the iterations of one FILE\n";
        return kUsageError;
    }
    if (samples == "-" && arguments.json) {
        err << "velmora-cli: --samples - and --json both want standard output\n";
        return kUsageError;
    }
    if (!samples.empty() &&
        NamesAnInput(samples, WithDefinitions({{files.front(), "project file"}}, arguments),
                     "samples", err))
        return kUsageError;
    unsigned threads = 0;
    if (!ThreadsOf(arguments, threads, err)) return kUsageError;

    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const unsigned workers = std::min<unsigned>(cores, static_cast<unsigned>(files.size()));
    if (threads == 0) threads = std::max(1u, cores / workers);
    std::vector<risk::SimulationControl> controls(files.size());
    std::unique_ptr<Progress> progress;
#if defined(_WIN32)
    const bool terminal = ::_isatty(::_fileno(stderr));
#else
    const bool terminal = ::isatty(STDERR_FILENO);
#endif
    if (&err == &std::cerr && terminal) progress = std::make_unique<Progress>(controls);

    const auto one = [&](std::size_t k, std::ostream& out, std::ostream& err) {
        const std::string& file = files[k];
        ProjectData project;
        if (!LoadProject(file, project, err)) return int{kFileError};
        for (const std::string& assignment : arguments.sets)
            if (!ApplySet(project, assignment, err)) return int{kUsageError};
        RiskDefinitions d;
        if (const int status = DefinitionsFor(arguments, file, project, d, err); status != kOk)
            return status;
        if (!RiskFitsInMemory(file, d, err)) return int{kFileError};

        const RiskAnalysis a = risk::RunRiskAnalysis(project, d, {threads, &controls[k]});
        if (a.iterations == a.refusedIterations) {
            const Refusal& refusal = a.refusals.front().refusal;
            err << refusal.caption << '\n' << refusal.text << '\n';
            return int{kRefused};
        }
        if (!samples.empty() &&
            !WriteOutput(
                samples, [&](const auto& write) { risk::WriteSamplesCsv(a, write); }, &out, err))
            return int{kFileError};
        if (samples == "-") return int{kOk};
        if (arguments.json)
            out << risk::RiskAnalysisJson(a).dump() << '\n';
        else
            WriteSummary(out, file, a);
        return int{kOk};
    };
    const int status = ForEachFile(files, workers, one, out, err);
    progress.reset();
    return status;
}

} // namespace velmora::cli
