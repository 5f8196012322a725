#pragma once

// What the printed report and the workbook say of the work zone planner: the search over every
// closure window of a project that has planner settings, the settings in a line, and the stage
// whose simulated day the report draws.

#include "model/ProjectData.h"
#include "planner/WorkZonePlanner.h"

#include <optional>
#include <string>

namespace velmora {

struct WorkZoneReport {
    planner::PlannerSettings settings;
    planner::PreparedProject prepared; // always ok()
    planner::PlannerRun run;           // always ok()
    // The stage that costs road users most at its project window, over both options.
    int option = 0;
    int stage = 0;
};

// The planner's search of `project`, or nothing when the project has no planner settings, they
// do not read, or the planner refuses the project: the reports then stay as they were before
// the planner existed.
std::optional<WorkZoneReport> PlanWorkZones(const ProjectData& project);

// The simulated day of a stage closed in the project's own window.
planner::StageDay ProjectWindowDay(const WorkZoneReport& report, int option, int stage);

using planner::OptionName;
using planner::StageName;

// The settings in force in one sentence: "Setup time 1 hour; limits: queue 2 miles, delay 20
// minutes, 30 days, no closure 6-9 and 15-19; closure cost $2,500 each time."
std::string SettingsLine(const planner::PlannerSettings& settings);

} // namespace velmora
