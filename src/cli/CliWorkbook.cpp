// velmora-cli workbook: the inputs, results and cash flow of a Compute Costs run, and its risk
// analysis on request, as a spreadsheet workbook.

#include "Cli.h"
#include "FileIo.h"
#include "report/Workbook.h"

#include <ctime>
#include <optional>
#include <ostream>

namespace velmora::cli {

int Workbook(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    const std::string& path = arguments.output;
    const bool toStandardOutput = path == "-";
    if (NamesAnInput(
            path, WithDefinitions({{arguments.file, "project file " + arguments.file}}, arguments),
            "workbook", err))
        return kUsageError;

    unsigned threads = 0;
    if (!ThreadsOf(arguments, threads, err)) return kUsageError;

    ComputedRun run;
    if (const int status = LoadProjectWithSets(arguments.file, arguments.sets, run.project, err);
        status != kOk)
        return status;
    // The risk analysis takes the project as the file holds it, as simulate does.
    const ProjectData asLoaded = run.project;
    risk::RiskDefinitions definitions;
    if (arguments.simulate) {
        if (const int status =
                DefinitionsFor(arguments, arguments.file, asLoaded, definitions, err);
            status != kOk)
            return status;
        if (!RiskFitsInMemory(arguments.file, definitions, err)) return kFileError;
    }

    // A refused project still gets its inputs, with the refusal in place of the results.
    const int status = ComputeOnProject(run, err);
    WorkbookContent content;
    content.project = &run.project;
    content.time = std::time(nullptr);
    if (status == kOk)
        content.run = &run.analysis;
    else
        content.refusal = &run.refusal;
    std::optional<risk::RiskAnalysis> analysis;
    if (arguments.simulate && status == kOk) {
        analysis = risk::RunRiskAnalysis(asLoaded, definitions, {threads, nullptr});
        content.risk = &*analysis;
    }

    const velmora::Workbook workbook = BuildWorkbook(content);
    if (!workbook.ok()) {
        err << "velmora-cli: cannot write " << path << ": " << workbook.error << '\n';
        return kFileError;
    }
    if (!WriteOutput(path, workbook.bytes, {}, "a workbook", &out, err)) return kFileError;
    if (status == kOk && !toStandardOutput)
        out << "Your life cycle cost analysis has been successfully exported.\n";
    return status;
}

} // namespace velmora::cli
