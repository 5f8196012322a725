#include "WorkZoneReport.h"

#include "NumberText.h"
#include "engine/CostResults.h"
#include "risk/RiskDefinitions.h"

#include <array>

namespace velmora {

std::optional<WorkZoneReport> PlanWorkZones(const ProjectData& project) {
    if (project.workZonePlanner.empty()) return std::nullopt;
    const planner::ParsedSettings parsed = planner::ParsePlannerSettings(project.workZonePlanner);
    if (!parsed.ok()) return std::nullopt;
    WorkZoneReport report{parsed.settings, planner::PrepareProject(project), {}};
    report.run = planner::SearchClosures(report.prepared, parsed.settings);
    if (!report.prepared.ok() || !report.run.ok()) return std::nullopt;
    double most = -1.0;
    for (int option : {PavementOption::Asphalt, PavementOption::Concrete})
        for (int stage = 0; stage < 4; ++stage)
            if (const double cost = report.run.options[option].stages[stage].projectWindow.userCost;
                cost > most) {
                most = cost;
                report.option = option;
                report.stage = stage;
            }
    return report;
}

planner::StageDay ProjectWindowDay(const WorkZoneReport& report, int option, int stage) {
    return planner::SimulateStage(report.prepared, option, stage,
                                  report.run.options[option].stages[stage].projectWindow.window,
                                  report.settings.setupHours);
}

std::string SettingsLine(const planner::PlannerSettings& s) {
    const auto amount = [](double value, const char* unit) {
        return risk::ShortNumber(value) + " " + unit + (value == 1.0 ? "" : "s");
    };
    std::string limits;
    const auto add = [&](const std::string& limit) {
        limits += (limits.empty() ? "" : ", ") + limit;
    };
    if (s.maxQueueMiles) add("queue " + amount(*s.maxQueueMiles, "mile"));
    if (s.maxDelayMinutes) add("delay " + amount(*s.maxDelayMinutes, "minute"));
    if (s.maxDays) add(amount(*s.maxDays, "day"));
    if (!s.noClosure.empty()) {
        std::string hours;
        for (std::size_t k = 0; k < s.noClosure.size(); ++k)
            hours += (k == 0                        ? ""
                      : k + 1 == s.noClosure.size() ? " and "
                                                    : ", ") +
                     planner::HourRangeText(s.noClosure[k]);
        add("no closure " + hours);
    }
    return "Setup time " + amount(s.setupHours, "hour") +
           "; limits: " + (limits.empty() ? "none" : limits) + "; closure cost " +
           Dollars(s.closureCost) + " each time.";
}

} // namespace velmora
