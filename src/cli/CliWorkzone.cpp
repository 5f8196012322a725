// velmora-cli workzone: the work zone planner on project files. For each stage, every closure
// window ranked by what it costs road users and the agency, beside the project's own window; or
// the simulated day of the project's window, hour by hour.

#include "Cli.h"
#include "planner/WorkZonePlanner.h"
#include "report/NumberText.h"

#include <algorithm>
#include <charconv>
#include <iomanip>
#include <nlohmann/json.hpp>
#include <ostream>
#include <thread>

namespace velmora::cli {
namespace {

using Json = nlohmann::ordered_json;
using namespace planner;

// What the command line sets over a file's planner settings, read once for all the files.
struct Overrides {
    std::optional<double> setupHours, maxQueueMiles, maxDelayMinutes, maxDays, closureCost;
    std::optional<std::vector<HourRange>> noClosure;

    void ApplyTo(PlannerSettings& s) const {
        if (setupHours) s.setupHours = *setupHours;
        if (maxQueueMiles) s.maxQueueMiles = maxQueueMiles;
        if (maxDelayMinutes) s.maxDelayMinutes = maxDelayMinutes;
        if (maxDays) s.maxDays = maxDays;
        if (closureCost) s.closureCost = *closureCost;
        if (noClosure) s.noClosure = *noClosure;
    }
};

// Read with from_chars, as the file reads its numbers: a decimal point whatever the locale.
bool ReadNumber(const std::optional<std::string>& text, const char* option, const char* unit,
                std::optional<double>& value, std::ostream& err) {
    if (!text) return true;
    double number = 0.0;
    const char* end = text->data() + text->size();
    const auto [last, ec] = std::from_chars(text->data(), end, number);
    if (ec != std::errc() || last != end) {
        err << "velmora-cli: " << option << " needs a number of " << unit << ", not " << *text
            << '\n';
        return false;
    }
    value = number;
    return true;
}

bool ReadOverrides(const Arguments& a, Overrides& o, std::ostream& err) {
    if (!ReadNumber(a.setupHours, "--setup-hours", "hours", o.setupHours, err) ||
        !ReadNumber(a.maxQueue, "--max-queue", "miles", o.maxQueueMiles, err) ||
        !ReadNumber(a.maxDelay, "--max-delay", "minutes", o.maxDelayMinutes, err) ||
        !ReadNumber(a.maxDays, "--max-days", "days", o.maxDays, err) ||
        !ReadNumber(a.closureCost, "--closure-cost", "dollars", o.closureCost, err))
        return false;
    if (a.noClosure.empty()) return true;
    o.noClosure.emplace();
    for (const std::string& text : a.noClosure) {
        const std::optional<HourRange> range = ParseHourRange(text);
        if (!range) {
            err << "velmora-cli: --no-closure needs hours H1-H2, such as 6-9, not " << text << '\n';
            return false;
        }
        o.noClosure->push_back(*range);
    }
    return true;
}

std::string Days(double days) {
    return WholeNumber(days) + (days == 1.0 ? " day" : " days");
}

std::string Money(const Candidate& c, double value) {
    return c.priced() ? WholeNumber(value) : "-";
}

std::string Difference(const Candidate& c, const Candidate& project) {
    if (!c.priced() || !project.priced()) return "-";
    const double d = c.total - project.total;
    return (d > 0 ? "+" : "") + WholeNumber(d);
}

Json Nullable(const Candidate& c, double value) {
    return c.priced() ? Json(value) : Json(nullptr);
}

Json CandidateJson(const Candidate& c) {
    return {{"start", c.window.start},
            {"end", c.window.end},
            {"hours", c.hours},
            {"days", c.days},
            {"closures", c.closures},
            {"userCost", Nullable(c, c.userCost)},
            {"closureCost", Nullable(c, c.closureCost)},
            {"total", Nullable(c, c.total)},
            {"maxQueueMiles", c.maxQueueMiles},
            {"maxDelayMinutes", c.maxDelayMinutes},
            {"gridlock", c.gridlock()},
            {"feasible", c.feasible()},
            {"broken", BrokenText(c.broken)}};
}

Json HourlyJson(const StageDay& day) {
    Json hours = Json::array();
    for (int h = 0; h < 24; ++h)
        for (int d = 0; d < 2; ++d) {
            const HourRow& r = day.hours[d][h];
            hours.push_back({{"hour", h},
                             {"direction", d + 1},
                             {"demand", r.demand},
                             {"capacity", r.capacity},
                             {"queue", r.queue},
                             {"queueMiles", r.queueMiles},
                             {"delayMinutes", r.delayMinutes},
                             {"served", r.served},
                             {"closed", r.closed}});
        }
    return hours;
}

std::string Cell(const std::string& text, int width) {
    return std::string(static_cast<std::size_t>(std::max(0, width - int(text.size()))), ' ') + text;
}

std::string Left(const std::string& text, int width) {
    return text + std::string(static_cast<std::size_t>(std::max(0, width - int(text.size()))), ' ');
}

void WriteHeading(std::ostream& out, int option, const StageSearch& s) {
    const Candidate& p = s.projectWindow;
    out << OptionName(option) << " option, " << planner::StageName(option, s.stage) << ", year "
        << WholeNumber(s.year) << ": the project's window " << WindowText(p.window) << ", "
        << (p.priced() ? Days(p.days) + ", user cost " + WholeNumber(p.userCost)
                       : std::string("no cost"))
        << ", rank " << std::to_string(s.RankOf(p.window) + 1) << " of "
        << std::to_string(s.candidates.size());
    if (!p.feasible()) out << " (" << BrokenText(p.broken) << ')';
    out << '\n';
}

void WriteRow(std::ostream& out, const std::string& rank, const Candidate& c,
              const Candidate& project) {
    out << Cell(rank, 7) << "  " << Left(WindowText(c.window), 11)
        << Cell(std::to_string(c.hours), 5) << Cell(c.priced() ? WholeNumber(c.days) : "-", 6)
        << Cell(c.priced() ? WholeNumber(c.closures) : "-", 9) << Cell(Money(c, c.userCost), 12)
        << Cell(Money(c, c.closureCost), 13) << Cell(Money(c, c.total), 12)
        << Cell(Difference(c, project), 12)
        << Cell(c.gridlock() ? "-" : Fixed(c.maxQueueMiles, 2), 9)
        << Cell(c.gridlock() ? "-" : Fixed(c.maxDelayMinutes, 1), 10);
    if (!c.feasible()) out << "  " << BrokenText(c.broken);
    out << '\n';
}

void WriteCandidates(std::ostream& out, const StageSearch& s, int top) {
    out << "   Rank  Window     Hours  Days Closures   User cost Closure cost       Total  "
           "Difference Queue mi Delay min  Broken limits\n";
    const std::size_t rows =
        std::min<std::size_t>(static_cast<std::size_t>(top), s.candidates.size());
    for (std::size_t k = 0; k < rows; ++k)
        WriteRow(out, std::to_string(k + 1), s.candidates[k], s.projectWindow);
    WriteRow(out, "project", s.projectWindow, s.projectWindow);
}

void WriteDay(std::ostream& out, const StageDay& day) {
    out << "   Hour  Direction  Demand Capacity   Queue Queue mi Delay min  Served  Closed\n";
    for (int h = 0; h < 24; ++h)
        for (int d = 0; d < 2; ++d) {
            const HourRow& r = day.hours[d][h];
            out << Cell(std::to_string(h), 7) << Cell(std::to_string(d + 1), 11)
                << Cell(WholeNumber(r.demand), 8) << Cell(WholeNumber(r.capacity), 9)
                << Cell(WholeNumber(r.queue), 8) << Cell(Fixed(r.queueMiles, 2), 9)
                << Cell(Fixed(r.delayMinutes, 1), 10) << Cell(WholeNumber(r.served), 8)
                << (r.closed ? "  closed" : "") << '\n';
        }
    if (day.gridlock) {
        out << "Gridlock: the queue never clears, so the stage has no user cost.\n";
        return;
    }
    out << "User costs over " << Days(day.days) << ", current dollars:\n";
    for (int k = 0; k < UserCostComponent::Count; ++k)
        out << "  " << Left(planner::ComponentName(k), 20)
            << Cell(WholeNumber(day.components[k]), 14) << '\n';
    out << "User cost of the stage, present worth per mile: " << WholeNumber(day.userCost) << '\n';
}

int OneFile(const Arguments& a, const Overrides& overrides, const std::string& file, bool several,
            std::ostream& out, std::ostream& err) {
    ProjectData project;
    if (const int status = LoadProjectWithSets(file, a.sets, project, err); status != kOk)
        return status;
    // The file's own settings, or the defaults when it keeps none: LoadProject has left out, with
    // a warning, any that do not parse.
    PlannerSettings settings = ParsePlannerSettings(project.workZonePlanner).settings;
    overrides.ApplyTo(settings);
    if (const std::string error = CheckPlannerSettings(settings); !error.empty()) {
        err << "velmora-cli: " << error << '\n';
        return kUsageError;
    }
    const PreparedProject prepared = PrepareProject(project);
    const PlannerRun run = SearchClosures(prepared, settings);
    if (!run.ok()) {
        err << run.refusal.caption << '\n' << run.refusal.text << '\n';
        return kRefused;
    }
    const auto dayOf = [&](int option, const StageSearch& s) {
        return SimulateStage(prepared, option, s.stage, s.projectWindow.window,
                             settings.setupHours);
    };

    std::vector<int> options{PavementOption::Asphalt, PavementOption::Concrete};
    if (a.option)
        std::erase_if(options, [&](int o) { return PavementOption::kNames[o] != *a.option; });
    Json json{
        {"file", file}, {"settings", PlannerSettingsJson(settings)}, {"options", Json::array()}};
    if (several && !a.json) out << file << ":\n";
    bool first = true;
    for (int option : options) {
        Json stages = Json::array();
        for (const StageSearch& s : run.options[option].stages) {
            if (a.stage && *a.stage != s.stage) continue;
            if (a.json) {
                Json stage{{"stage", s.stage},
                           {"year", s.year},
                           {"projectWindow",
                            {{"start", s.projectWindow.window.start},
                             {"end", s.projectWindow.window.end},
                             {"days", s.projectWindow.days},
                             {"userCost", Nullable(s.projectWindow, s.projectWindow.userCost)}}},
                           {"candidates", Json::array()}};
                for (const Candidate& c : s.candidates)
                    stage["candidates"].push_back(CandidateJson(c));
                if (a.hourly) stage["hourly"] = HourlyJson(dayOf(option, s));
                stages.push_back(std::move(stage));
                continue;
            }
            if (!first) out << '\n';
            first = false;
            WriteHeading(out, option, s);
            if (a.hourly)
                WriteDay(out, dayOf(option, s));
            else
                WriteCandidates(out, s, a.top);
        }
        json["options"].push_back({{"option", PavementOption::kNames[option]}, {"stages", stages}});
    }
    if (a.json) out << json.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
    return int{kOk};
}

} // namespace

int Workzone(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    Overrides overrides;
    if (!ReadOverrides(arguments, overrides, err)) return kUsageError;
    const bool several = arguments.files.size() > 1;
    const auto one = [&](std::size_t k, std::ostream& out, std::ostream& err) {
        return OneFile(arguments, overrides, arguments.files[k], several, out, err);
    };
    return ForEachFile(arguments.files, std::thread::hardware_concurrency(), one, out, err);
}

} // namespace velmora::cli
