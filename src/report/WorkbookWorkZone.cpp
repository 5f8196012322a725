#include "WorkbookWorkZone.h"

#include "engine/CostResults.h"

#include <limits>

namespace velmora::workbook {
namespace {

using planner::Candidate;
using planner::StageSearch;

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
constexpr int kHeadingRow = 4;
// The hourly table stands beside the candidates, one empty column between.
constexpr int kHourCol = 20;

void Headings(Sheet& s, int col, std::initializer_list<const char*> headings, const Formats& f) {
    for (const char* heading : headings) s.Text(kHeadingRow, col++, heading, f.bold);
}

// The settings as numbers, a limit left out as an empty cell.
void WriteSettings(Sheet& s, const Formats& f, const planner::PlannerSettings& settings) {
    s.Text(0, 0, "Work zone planner: " + SettingsLine(settings), f.bold, false);
    const std::initializer_list<const char*> headings{
        "Setup Time (hours)", "Max Queue (miles)",  "Max Delay (minutes)",
        "Max Days",           "No Closure (hours)", "Closure Cost ($ each time)"};
    int col = 0;
    for (const char* heading : headings) s.Text(1, col++, heading, f.bold);
    s.Plain(2, 0, settings.setupHours);
    s.Plain(2, 1, settings.maxQueueMiles.value_or(kNone));
    s.Plain(2, 2, settings.maxDelayMinutes.value_or(kNone));
    s.Plain(2, 3, settings.maxDays.value_or(kNone));
    std::string hours;
    for (const planner::HourRange& range : settings.noClosure)
        hours += (hours.empty() ? "" : ", ") + planner::HourRangeText(range);
    s.Text(2, 4, hours);
    s.Dollars(2, 5, settings.closureCost, f.dollars);
}

int WriteCandidates(Sheet& s, const Formats& f, int row, int option, const StageSearch& search) {
    int rank = 0;
    for (const Candidate& c : search.candidates) {
        // A gridlocked or unworkable window has no cost: its cells stay empty, never 0.
        const auto priced = [&](double value) { return c.priced() ? value : kNone; };
        s.Text(row, 0, OptionName(option));
        s.Text(row, 1, StageName(option, search.stage));
        s.Plain(row, 2, search.year);
        s.Plain(row, 3, ++rank);
        s.Plain(row, 4, c.window.start);
        s.Plain(row, 5, c.window.end);
        s.Text(row, 6, planner::WindowText(c.window));
        s.Plain(row, 7, c.hours);
        s.Plain(row, 8, priced(c.days));
        s.Plain(row, 9, priced(c.closures));
        s.Dollars(row, 10, priced(c.userCost), f.dollars);
        s.Dollars(row, 11, priced(c.closureCost), f.dollars);
        s.Dollars(row, 12, priced(c.total), f.dollars);
        s.Number(row, 13, c.maxQueueMiles, f.decimals[2], 6);
        s.Number(row, 14, c.maxDelayMinutes, f.decimals[1], 6);
        s.Text(row, 15, c.gridlock() ? "Yes" : "No");
        s.Text(row, 16, c.feasible() ? "Yes" : "No");
        s.Text(row, 17, planner::BrokenText(c.broken));
        if (planner::SameWindow(c.window, search.projectWindow.window))
            s.Text(row, 18, "Project's window", f.bold);
        ++row;
    }
    return row;
}

// The day of a stage hour by hour, both directions, as the planner's hourly table shows it.
int WriteHours(Sheet& s, const Formats& f, int row, int option, int stage,
               const planner::StageDay& day) {
    const std::string window = planner::WindowText(day.window);
    for (int d = 0; d < 2; ++d)
        for (int h = 0; h < 24; ++h, ++row) {
            const planner::HourRow& r = day.hours[d][h];
            s.Text(row, kHourCol, OptionName(option));
            s.Text(row, kHourCol + 1, StageName(option, stage));
            s.Text(row, kHourCol + 2, window);
            s.Plain(row, kHourCol + 3, h);
            s.Plain(row, kHourCol + 4, d + 1);
            int col = kHourCol + 5;
            for (double vehicles : {r.demand, r.capacity, r.queue})
                s.Number(row, col++, vehicles, f.decimals[0], NumberWidth(vehicles, 0, false));
            s.Number(row, col++, r.queueMiles, f.decimals[2], 6);
            s.Number(row, col++, r.delayMinutes, f.decimals[1], 6);
            s.Number(row, col++, r.served, f.decimals[0], NumberWidth(r.served, 0, false));
            s.Text(row, col, r.closed ? "Yes" : "No");
        }
    return row;
}

} // namespace

std::string WriteWorkZone(lxw_workbook* book, const Formats& f, const WorkZoneReport& report) {
    Sheet s(book, "Work Zone");
    WriteSettings(s, f, report.settings);
    Headings(s, 0,
             {"Option", "Stage", "Year", "Rank", "Start Hour", "End Hour", "Window", "Hours",
              "Days", "Closures", "User Cost ($/mile)", "Closure Cost ($/mile)", "Total ($/mile)",
              "Max Queue (miles)", "Max Delay (minutes)", "Gridlock", "Feasible", "Limits Broken",
              "Project's Window"},
             f);
    Headings(s, kHourCol,
             {"Option", "Stage", "Window", "Hour", "Direction", "Demand (vehicles)",
              "Capacity (vehicles)", "Queue (vehicles)", "Queue (miles)", "Delay (minutes)",
              "Served (vehicles)", "Closed"},
             f);
    int row = kHeadingRow + 1, hourRow = kHeadingRow + 1;
    for (int option : {PavementOption::Asphalt, PavementOption::Concrete})
        for (const StageSearch& search : report.run.options[option].stages) {
            row = WriteCandidates(s, f, row, option, search);
            hourRow = WriteHours(s, f, hourRow, option, search.stage,
                                 ProjectWindowDay(report, option, search.stage));
        }
    worksheet_freeze_panes(s.get(), kHeadingRow + 1, 0);
    return s.Finish();
}

} // namespace velmora::workbook
