#pragma once

// velmora-cli: a headless front end for scripts, batch runs and checks. The commands live here,
// as functions on parsed arguments and streams, so the tests run them without a process.

#include "engine/Analysis.h"
#include "model/ProjectData.h"
#include "risk/RiskDefinitions.h"

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::cli {

enum ExitCode : int { kOk = 0, kFileError = 1, kUsageError = 2, kRefused = 3 };

// args excludes the program name. Whatever a command does, a failure to write `out` ends the
// run with kFileError.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The command line once parsed. Each command declares the options and positionals it takes,
// bound to fields here; a new command adds the fields it needs.
struct Arguments {
    std::string file;
    std::vector<std::string> files; // commands that take several
    std::string output;             // "-" for standard output
    std::vector<std::string> sets;
    bool json = false;

    // risk
    std::string importFile;
    bool clear = false;
    // simulate: the definitions, and what overrides theirs
    std::string riskFile;
    std::optional<std::int64_t> iterations, maxIterations;
    // Read as given, so that a refusal can say what was wrong with it.
    std::optional<std::string> seed, threads;
    std::optional<std::string> precision, sampling;
    std::optional<std::string> samplesFile;
    // workbook: add the risk analysis of the project's definitions
    bool simulate = false;

    // workzone: which stages, and the planner settings over the file's. The numbers are read as
    // given, so that a refusal can say what was wrong with them.
    std::optional<std::string> option;
    std::optional<int> stage;
    std::optional<std::string> setupHours, maxQueue, maxDelay, maxDays, closureCost;
    std::vector<std::string> noClosure;
    int top = 5;
    bool hourly = false;
};

// Helpers shared by the commands. Each reports its failure on `err` as one line.
bool LoadProject(const std::string& path, ProjectData& project, std::ostream& err);
bool SaveProject(const std::string& path, const ProjectData& project, std::ostream& err);
// Writes `bytes` to `path` atomically, or to `out` when `path` is "-" and `out` is given,
// unless `unencodableField` names a field whose text `kind` ("a report") cannot hold: then
// nothing is written.
bool WriteOutput(const std::string& path, std::string_view bytes,
                 const std::string& unencodableField, std::string_view kind, std::ostream* out,
                 std::ostream& err);
// The same for content handed over piece by piece by `produce` (see FileIo.h).
bool WriteOutput(const std::string& path,
                 const std::function<void(const std::function<void(std::string_view)>&)>& produce,
                 std::ostream* out, std::ostream& err);
// A file a run reads, and how a message names it: "project file p.vlm".
struct RunInput {
    std::string path;
    std::string name;
};
// `output` is one of `inputs` under any name (a path, a hard or a symbolic link): then says so on
// `err`, naming what `kind` ("report") would have replaced. "-" names standard output.
bool NamesAnInput(const std::string& output, const std::vector<RunInput>& inputs,
                  std::string_view kind, std::ostream& err);
// The --risk definitions file, when given, added to `inputs`.
std::vector<RunInput> WithDefinitions(std::vector<RunInput> inputs, const Arguments& arguments);
// Applies "NAME=VALUE", NAME as `show` prints it and VALUE in `show`'s notation.
bool ApplySet(ProjectData& project, std::string_view assignment, std::ostream& err);

// Loads FILE, applies the --set assignments, and runs the hand-off and the analysis as Compute
// Costs does. A refusal is written to `err` (caption, then text) and gives kRefused; each
// gridlocked option writes the gridlock message to `err` and still gives kOk.
struct ComputedRun {
    ProjectData project; // after the hand-off, with the recomputed treatment counts
    AnalysisResult analysis;
    Refusal refusal; // what the hand-off refused, with kRefused
};
int ComputeOnFile(const std::string& file, const std::vector<std::string>& sets, ComputedRun& run,
                  std::ostream& err);
// The two halves of ComputeOnFile: FILE with the assignments applied, and the run on
// `run.project` as it stands.
int LoadProjectWithSets(const std::string& file, const std::vector<std::string>& sets,
                        ProjectData& project, std::ostream& err);
int ComputeOnProject(ComputedRun& run, std::ostream& err);

// Runs one(k, out, err) for each of `files` (k its index), up to `workers` at a time, and writes
// what each wrote to `out` and `err` in the order of `files`. The status is that of the first
// file that failed, or kOk.
int ForEachFile(const std::vector<std::string>& files, unsigned workers,
                const std::function<int(std::size_t k, std::ostream& out, std::ostream& err)>& one,
                std::ostream& out, std::ostream& err);

int Compute(const Arguments& arguments, std::ostream& out, std::ostream& err);
int Report(const Arguments& arguments, std::ostream& out, std::ostream& err);
int Risk(const Arguments& arguments, std::ostream& out, std::ostream& err);
int Simulate(const Arguments& arguments, std::ostream& out, std::ostream& err);
int Workbook(const Arguments& arguments, std::ostream& out, std::ostream& err);
int Workzone(const Arguments& arguments, std::ostream& out, std::ostream& err);

// The risk definitions `arguments` name for `project` (--risk, or those FILE keeps), with the
// command line's settings over theirs, checked; on a failure the status, the reason on `err`.
int DefinitionsFor(const Arguments& arguments, const std::string& file, const ProjectData& project,
                   risk::RiskDefinitions& definitions, std::ostream& err);

// The threads --threads asks for, 0 when not given (every core). A count below 1, or above four
// threads for each core of the machine, is refused with the reason on `err`.
bool ThreadsOf(const Arguments& arguments, unsigned& threads, std::ostream& err);
// A risk analysis of `definitions` on `file` fits in the memory available; if not, the reason
// and what to change are on `err`.
bool RiskFitsInMemory(const std::string& file, const risk::RiskDefinitions& definitions,
                      std::ostream& err);

// %.17g, independent of the C locale: reads back to the same double.
std::string FormatNumber(double value);

} // namespace velmora::cli
