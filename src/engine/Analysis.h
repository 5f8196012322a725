#pragma once

// The Compute Costs run: the hand-off that checks a project, and the analysis proper, which
// works on a copy and reports what happened as plain values. Showing messages is the front
// end's business.

#include "CostResults.h"
#include "UserCost.h"
#include "model/ProjectData.h"

#include <array>
#include <optional>
#include <string>

namespace velmora {

// A run the program will not start: the message box the user sees.
struct Refusal {
    std::string text;
    std::string caption;
};

inline constexpr const char* kGridlockText =
    "The traffic demand and work zone\ntiming are creating a gridlock problem.\n\n"
    "Under current conditions,a 24-hour queue\nwill form and never clear.\n\n"
    "Only agency costs have been computed.";
inline constexpr const char* kGridlockCaption = "Gridlock";

// Work zone user costs count when either switch says Include; a switch holding anything else
// (only a damaged file can) counts as Exclude.
bool UserCostsIncluded(const ProjectData& project);

// The hand-off of Compute Costs. Rewrites the per-stage inclusion flags of both options in
// `project` itself (they stay rewritten whatever follows), then returns the refusal to show, or
// nothing when the analysis may run. After the two work zone checks it refuses every value the
// analysis cannot compute with (a project length of 0, a speed of 0, a terrain outside the list,
// a number too large or not a number at all), so a run it lets through gives finite results.
// Fields that only the user costs read are checked only when user costs count; without them
// they must still be finite numbers, since the report prints them.
std::optional<Refusal> PrepareAnalysis(ProjectData& project);

// One stage of one option as the run saw it, for the results form and for checks.
struct StageBreakdown {
    // The simulated day of both directions and the hourly quantities derived from it; all zero
    // when no user costs are counted, and only the simulated day when the option gridlocked.
    StageTraffic traffic;
    // The seven user cost components over the stage's days, before the division by the project
    // length; computed whatever the inclusion switches, zero for a gridlocked option.
    UserCostComponents components{};
    // This stage's day never settled; any such stage puts its whole option in gridlock.
    bool gridlock = false;
};

struct AnalysisResult {
    CostResults results;
    bool asphaltGridlock = false;
    bool concreteGridlock = false;
    // The maintenance treatment counts the run recomputed; OK on the results form carries them
    // back into the project.
    std::array<double, 4> asphaltTreatmentCount{};
    std::array<double, 4> concreteTreatmentCount{};
    std::array<StageBreakdown, 4> asphaltStages{};
    std::array<StageBreakdown, 4> concreteStages{};
};

// The analysis proper, on a project that PrepareAnalysis let through.
AnalysisResult RunAnalysis(const ProjectData& project);

// Copies the recomputed treatment counts into `project`; true when any count changed.
bool ApplyTreatmentCounts(const AnalysisResult& run, ProjectData& project);

// The run on the analysis copy of a project, which then holds the run's treatment counts, as
// the results form, the report and the printout read it.
AnalysisResult RunAnalysisOnCopy(ProjectData& copy);

} // namespace velmora
