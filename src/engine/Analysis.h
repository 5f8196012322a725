#pragma once

// The Compute Costs run proper, on a project the hand-off let through. It works on a copy and
// reports what happened as plain values; showing messages is the front end's business.

#include "CostResults.h"
#include "HandOff.h"
#include "UserCost.h"
#include "model/ProjectData.h"

#include <array>

namespace velmora {

inline constexpr const char* kGridlockText =
    "The traffic demand and work zone\ntiming are creating a gridlock problem.\n\n"
    "Under current conditions,a 24-hour queue\nwill form and never clear.\n\n"
    "Only agency costs have been computed.";
inline constexpr const char* kGridlockCaption = "Gridlock";

// What the run found for one option besides its costs.
struct OptionRun {
    // A stage's day never settled: the option's user costs stay 0.
    bool gridlock = false;
    // The maintenance treatment counts the run recomputed; OK on the results form carries them
    // back into the project.
    std::array<double, 4> treatmentCount{};
    // The user cost components of each stage over its days, before the division by the project
    // length; computed whatever the inclusion switches, zero for a gridlocked option.
    std::array<UserCostComponents, 4> userComponents{};
};

struct AnalysisResult {
    CostResults results;
    std::array<OptionRun, 2> option; // indexed by PavementOption
};

// The analysis proper, on a project that PrepareAnalysis let through.
AnalysisResult RunAnalysis(const ProjectData& project);

// Copies the recomputed treatment counts into `project`; true when any count changed.
bool ApplyTreatmentCounts(const AnalysisResult& run, ProjectData& project);

// The run on the analysis copy of a project, which then holds the run's treatment counts, as
// the results form, the report and the printout read it.
AnalysisResult RunAnalysisOnCopy(ProjectData& copy);

} // namespace velmora
