#include "Cli.h"

#include "model/EscapeText.h"
#include "model/SavedFields.h"
#include "planner/WorkZonePlanner.h"
#include "risk/RiskExport.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <atomic>
#include <charconv>
#include <new>
#include <optional>
#include <ostream>
#include <sstream>
#include <thread>
#include <tuple>

namespace velmora::cli {
namespace {

template <class T>
bool ParseWhole(std::string_view text, T& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

int New(const Arguments& arguments, std::ostream&, std::ostream& err) {
    ProjectData project;
    for (const std::string& assignment : arguments.sets)
        if (!ApplySet(project, assignment, err)) return kUsageError;
    return SaveProject(arguments.file, project, err) ? kOk : kFileError;
}

int Show(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    ProjectData project;
    if (!LoadProject(arguments.file, project, err)) return kFileError;
    ForEachSavedField(project, [&](const FieldName& name, const auto& field) {
        using T = std::decay_t<decltype(field)>;
        out << name.str() << '=';
        if constexpr (std::is_same_v<T, double>)
            out << FormatNumber(field);
        else if constexpr (std::is_same_v<T, std::int32_t>)
            out << field;
        else
            out << EscapeText(field);
        out << '\n';
    });
    return kOk;
}

void TakeFile(CLI::App& command, Arguments& arguments) {
    command.add_option("FILE", arguments.file, "The project file (.vlm)")
        ->required()
        ->type_name("");
}

void TakeSets(CLI::App& command, Arguments& arguments,
              const char* help = "Change a saved field for this run only (the file is never "
                                 "written); NAME and VALUE as show prints them") {
    command.add_option("--set", arguments.sets, help)
        ->type_name("NAME=VALUE")
        // One assignment each time, so that FILE may follow it.
        ->allow_extra_args(false);
}

void TakeFileAndSets(CLI::App& command, Arguments& arguments) {
    TakeFile(command, arguments);
    TakeSets(command, arguments);
}

// Several files, run in parallel; with --json one line of JSON each.
void TakeFilesSetsAndJson(CLI::App& command, Arguments& arguments, const char* json) {
    command.add_option("FILE", arguments.files, "The project files (.vlm), run in parallel")
        ->required()
        ->type_name("");
    TakeSets(command, arguments);
    command.add_flag("--json", arguments.json, json);
}

void DeclareRisk(CLI::App& command, Arguments& arguments) {
    TakeFile(command, arguments);
    CLI::Option* import =
        command
            .add_option("--import", arguments.importFile,
                        "Check the risk definitions in DEFS.json and store them in FILE")
            ->type_name("DEFS.json");
    command.add_flag("--clear", arguments.clear, "Remove the risk definitions from FILE")
        ->excludes(import);
}

// The settings of a risk analysis over those of its definitions.
std::vector<CLI::Option*> TakeRiskSettings(CLI::App& command, Arguments& arguments) {
    return {
        command
            .add_option("--risk", arguments.riskFile,
                        "Take the risk definitions from DEFS.json "
                        "instead of FILE's own")
            ->type_name("DEFS.json"),
        command.add_option("--iterations", arguments.iterations, "Run N iterations")
            ->type_name("N"),
        command
            .add_option("--precision", arguments.precision,
                        "Stop once the 95 % confidence half-width of the mean difference of the "
                        "totals is below D dollars per mile, checked every 1,000 iterations")
            ->type_name("D"),
        command
            .add_option("--max-iterations", arguments.maxIterations,
                        "Stop a precision run after N iterations at the latest")
            ->type_name("N"),
        command
            .add_option("--seed", arguments.seed,
                        "The seed of the random numbers, from 0 to 18446744073709551615")
            ->type_name("S"),
        command.add_option("--sampling", arguments.sampling, "Latin hypercube or Monte Carlo")
            ->type_name("lhs|mc")
            ->check(CLI::IsMember({"lhs", "mc"})),
        command
            .add_option("--threads", arguments.threads,
                        "Threads to use, at most four for each core (default: every core)")
            ->type_name("N"),
    };
}

void DeclareSimulate(CLI::App& command, Arguments& arguments) {
    TakeFilesSetsAndJson(command, arguments, "Print every figure of each file as one line of JSON");
    TakeRiskSettings(command, arguments);
    command
        .add_option("--samples", arguments.samplesFile,
                    "Write every iteration's inputs and results to OUT.csv (- for standard "
                    "output)")
        ->type_name("OUT.csv");
}

void DeclareWorkbook(CLI::App& command, Arguments& arguments) {
    TakeFileAndSets(command, arguments);
    command.add_option("OUT", arguments.output, "The workbook (.xlsx), or - for standard output")
        ->required()
        ->type_name("");
    CLI::Option* simulate =
        command.add_flag("--simulate", arguments.simulate,
                         "Run the risk analysis of FILE's risk definitions and add its sheets");
    for (CLI::Option* setting : TakeRiskSettings(command, arguments)) setting->needs(simulate);
}

void DeclareWorkzone(CLI::App& command, Arguments& arguments) {
    TakeFilesSetsAndJson(command, arguments,
                         "Print one line of JSON for each file, with every window of every stage");
    command.add_option("--option", arguments.option, "Only the asphalt or the concrete option")
        ->type_name("asphalt|concrete")
        ->check(CLI::IsMember({"asphalt", "concrete"}));
    command
        .add_option("--stage", arguments.stage,
                    "Only stage K: 0 the initial construction, 1 to 3 the overlays or "
                    "rehabilitations")
        ->type_name("K")
        ->check(CLI::Range(0, 3));
    using Text = std::optional<std::string> Arguments::*;
    const std::tuple<const char*, Text, const char*, const char*> numbers[] = {
        {"--setup-hours", &Arguments::setupHours,
         "Hours to place and remove the closure each time it stands; they do no work", "H"},
        {"--max-queue", &Arguments::maxQueue,
         "A window whose queue grows longer than MILES breaks the limit", "MILES"},
        {"--max-delay", &Arguments::maxDelay,
         "A window that holds a queued vehicle longer than MINUTES breaks the limit", "MINUTES"},
        {"--max-days", &Arguments::maxDays,
         "A window that takes more than D working days breaks the limit", "D"}};
    for (const auto& [name, member, help, unit] : numbers)
        command.add_option(name, arguments.*member, help)->type_name(unit);
    command
        .add_option("--no-closure", arguments.noClosure,
                    "A window that stands in the hours H1 up to H2 (6-9: 6 to 9 AM) breaks the "
                    "limit; may be given many times, and replaces the file's hours")
        ->type_name("H1-H2")
        ->allow_extra_args(false);
    command
        .add_option("--closure-cost", arguments.closureCost,
                    "Current dollars each time the closure is placed and removed")
        ->type_name("DOLLARS");
    command.add_option("--top", arguments.top, "Show the N cheapest windows of each stage")
        ->type_name("N")
        ->default_val(5)
        ->check(CLI::Range(1, planner::kWindowCount));
    command.add_flag("--hourly", arguments.hourly,
                     "Show the simulated day of the project's window instead");
}

// The commands of velmora-cli: name, one line of help, the options and positionals it takes,
// and what it does with them.
struct Command {
    const char* name;
    const char* description;
    void (*declare)(CLI::App& command, Arguments& arguments);
    int (*run)(const Arguments& arguments, std::ostream& out, std::ostream& err);
};

constexpr Command kCommands[] = {
    {"new", "Write the default project to FILE, with the --set changes",
     [](CLI::App& command, Arguments& arguments) {
         TakeFile(command, arguments);
         TakeSets(command, arguments,
                  "Change a saved field of the project written; NAME and VALUE as show prints "
                  "them");
     },
     New},
    {"show", "Print every saved field of FILE, one NAME=VALUE line each", TakeFile, Show},
    {"compute", "Run Compute Costs on each FILE and print the results",
     [](CLI::App& command, Arguments& arguments) {
         TakeFilesSetsAndJson(command, arguments,
                              "Print one line of JSON for each file, with the recomputed "
                              "treatment counts and the user cost components of every stage");
     },
     Compute},
    {"report", "Run Compute Costs on FILE and write the report of \"Export All Data\" to OUT",
     [](CLI::App& command, Arguments& arguments) {
         TakeFileAndSets(command, arguments);
         command.add_option("OUT", arguments.output, "The report file, or - for standard output")
             ->required()
             ->type_name("");
     },
     Report},
    {"risk", "Print the risk definitions of FILE as JSON, or store or remove them", DeclareRisk,
     Risk},
    {"simulate", "Run the risk analysis of each FILE and print its summary", DeclareSimulate,
     Simulate},
    {"workbook",
     "Run Compute Costs on FILE and write its inputs, results and cash flow as a workbook to OUT",
     DeclareWorkbook, Workbook},
    {"workzone",
     "Search every closure window of each FILE's stages for the one that costs road users least",
     DeclareWorkzone, Workzone},
};

int Dispatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CLI::App app("Pavement life-cycle cost analysis of Velmora project files", "velmora-cli");
    app.set_version_flag("--version", "velmora-cli " VELMORA_VERSION);
    app.require_subcommand(1);
    // On Windows too a name that starts with / is a file (the root of the current drive), and
    // options are written as the manual page writes them.
    app.allow_windows_style_options(false);
    constexpr const char* kExitStatus =
        "Exit status: 0 success, 1 a file that cannot be read or written, 2 a usage error, 3 a "
        "project that the analysis refuses.";
    app.footer(std::string("Run velmora-cli COMMAND --help for the arguments of a command.\n") +
               kExitStatus);
    app.failure_message([](const CLI::App* command, const CLI::Error& e) {
        return "velmora-cli: " + CLI::FailureMessage::simple(command, e);
    });
    Arguments arguments;
    std::vector<const CLI::App*> commands;
    for (const Command& command : kCommands) {
        CLI::App* subcommand = app.add_subcommand(command.name, command.description);
        command.declare(*subcommand, arguments);
        subcommand->footer(kExitStatus);
        commands.push_back(subcommand);
    }
    try {
        // CLI11 takes the arguments last first.
        app.parse(std::vector<std::string>(args.rbegin(), args.rend()));
    } catch (const CLI::ParseError& e) {
        // --help and --version end the parse this way too, with a success.
        return app.exit(e, out, err) == 0 ? kOk : kUsageError;
    }
    for (std::size_t k = 0; k < commands.size(); ++k)
        if (commands[k]->parsed()) return kCommands[k].run(arguments, out, err);
    return kUsageError;
}

} // namespace

std::string FormatNumber(double value) {
    return risk::ExactNumber(value);
}

int ForEachFile(const std::vector<std::string>& files, unsigned workers,
                const std::function<int(std::size_t, std::ostream&, std::ostream&)>& one,
                std::ostream& out, std::ostream& err) {
    if (files.size() == 1) return one(0, out, err);
    struct Outcome {
        std::ostringstream out, err;
        int status = kOk;
    };
    std::vector<Outcome> outcomes(files.size());
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t k; (k = next++) < files.size();) {
            Outcome& o = outcomes[k];
            try {
                o.status = one(k, o.out, o.err);
            } catch (const std::bad_alloc&) {
                o.err << "velmora-cli: " << files[k] << ": out of memory\n";
                o.status = kFileError;
            } catch (const std::exception& e) {
                o.err << "velmora-cli: " << files[k] << ": " << e.what() << '\n';
                o.status = kFileError;
            }
        }
    };
    {
        std::vector<std::jthread> pool;
        for (std::size_t w = 0; w < std::min<std::size_t>(std::max(workers, 1u), files.size()); ++w)
            pool.emplace_back(work);
    }
    int status = kOk;
    for (Outcome& o : outcomes) {
        out << o.out.str();
        err << o.err.str();
        if (status == kOk) status = o.status;
    }
    return status;
}

bool ApplySet(ProjectData& project, std::string_view assignment, std::ostream& err) {
    const auto eq = assignment.find('=');
    if (eq == std::string_view::npos) {
        err << "velmora-cli: --set needs NAME=VALUE, not " << assignment << '\n';
        return false;
    }
    const std::string_view name = assignment.substr(0, eq);
    const std::string_view value = assignment.substr(eq + 1);
    bool found = false;
    bool parsed = false;
    ForEachSavedField(project, [&](const FieldName& field, auto& member) {
        if (found || field.str() != name) return;
        found = true;
        using T = std::decay_t<decltype(member)>;
        if constexpr (std::is_same_v<T, std::string>) {
            auto text = UnescapeText(value);
            if ((parsed = text.has_value())) member = std::move(*text);
        } else {
            T number{};
            if ((parsed = ParseWhole(value, number))) member = number;
        }
    });
    if (!found)
        err << "velmora-cli: no saved field is named " << name << '\n';
    else if (!parsed)
        err << "velmora-cli: " << value << " is not a value for " << name << '\n';
    return found && parsed;
}

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        int status = Dispatch(args, out, err);
        // Results that never arrived (a full disk, a closed pipe) are no success.
        if (!out.flush()) {
            err << "velmora-cli: cannot write standard output\n";
            if (status == kOk) status = kFileError;
        }
        return status;
    } catch (const std::bad_alloc&) {
        err << "velmora-cli: out of memory\n";
    } catch (const std::exception& e) {
        err << "velmora-cli: " << e.what() << '\n';
    }
    return kFileError;
}

} // namespace velmora::cli
