// velmora-cli report: the "Export All Data" report of a Compute Costs run, written to a file.

#include "Cli.h"
#include "FileIo.h"
#include "report/Report.h"

#include <ostream>

namespace velmora::cli {

int Report(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    const std::string& path = arguments.output;
    const bool toStandardOutput = path == "-";
    if (NamesAnInput(path, {{arguments.file, "project file " + arguments.file}}, "report", err))
        return kUsageError;

    ComputedRun run;
    if (const int status = ComputeOnFile(arguments.file, arguments.sets, run, err); status != kOk)
        return status;

    const velmora::Report report =
        BuildReport(run.project, run.analysis.results, std::time(nullptr));
    if (!WriteOutput(path, report.bytes, report.unencodableField, "a report", &out, err))
        return kFileError;
    // On standard output the report stands alone, as a redirection or a pipe expects it.
    if (!toStandardOutput) out << "Your life cycle cost analysis has been successfully exported.\n";
    return kOk;
}

} // namespace velmora::cli
