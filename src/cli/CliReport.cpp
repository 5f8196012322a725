// velmora-cli report: the "Export All Data" report of a Compute Costs run, written to a file.

#include "Cli.h"
#include "report/Report.h"

#include <ostream>

namespace velmora::cli {

int Report(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::optional<RunArguments> arguments = ParseRunArguments(args, {});
    if (!arguments || arguments->positional.size() != 1) return UsageError(err);
    const std::string& path = arguments->positional[0];

    ComputedRun run;
    if (const int status = ComputeOnFile(*arguments, run, err); status != kOk) return status;

    const velmora::Report report =
        BuildReport(run.project, run.analysis.results, std::time(nullptr));
    if (!WriteOutput(path, report.bytes, report.unencodableField, "a report", err))
        return kFileError;
    out << "Your life cycle cost analysis has been successfully exported.\n";
    return kOk;
}

} // namespace velmora::cli
