#pragma once

// The work zone planner's settings: the setup time of a closure, the limits a closure schedule
// must keep, and the cost of placing and removing the traffic control. The project file keeps
// them as JSON text (ProjectData::workZonePlanner):
//
//   {"format": "velmora-workzone", "version": 1, "setupHours": 1, "maxQueueMiles": 2,
//    "maxDelayMinutes": 20, "maxDays": 30, "noClosure": [[6, 9], [15, 19]], "closureCost": 2500}
//
// Every key but format and version may be left out; a left-out limit does not apply.

#include "model/ProjectFile.h"

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::planner {

// Hours from `from` up to but not including `to`, wrapping past midnight: 6–9 is 6 to 9 AM.
struct HourRange {
    int from = 0;
    int to = 0;
    bool operator==(const HourRange&) const = default;
};

struct PlannerSettings {
    // Hours to place and remove the closure each time it stands; they do no work.
    double setupHours = 1.0;
    std::optional<double> maxQueueMiles;
    std::optional<double> maxDelayMinutes;
    std::optional<double> maxDays;
    std::vector<HourRange> noClosure;
    // Current dollars each time the closure is placed and removed.
    double closureCost = 0.0;
    bool operator==(const PlannerSettings&) const = default;
};

// The most setup time allowed: the night closure (10 hours) keeps an hour of work.
inline constexpr double kMostSetupHours = 9.0;

// The settings, or the first thing wrong with them, named as the JSON names it.
struct ParsedSettings {
    PlannerSettings settings;
    std::string error;
    bool ok() const { return error.empty(); }
};
ParsedSettings ParsePlannerSettings(std::string_view json);

// What is wrong with settings from any front end, or empty: a setup time outside 0 to 9 hours,
// a limit of 0 or below, an hour outside the day, a negative closure cost.
std::string CheckPlannerSettings(const PlannerSettings& settings);

nlohmann::ordered_json PlannerSettingsJson(const PlannerSettings& settings);
// The text a project keeps: parsing it gives the same settings back.
std::string PlannerSettingsText(const PlannerSettings& settings);

// After a project was read: settings that do not parse are reported in the warning and left out
// as a damaged block is, so that no save writes them back.
void DropUnreadableSettings(ProjectData& project, DecodeResult& result);

// "6-9", as the command line and the window write an hour range.
std::string HourRangeText(HourRange range);
std::optional<HourRange> ParseHourRange(std::string_view text);

} // namespace velmora::planner
