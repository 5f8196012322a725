#pragma once

// The hand-off of Compute Costs: the checks a project passes before the analysis runs, and the
// rule that decides which stages count their work zone user costs.

#include "model/ProjectData.h"

#include <string>

namespace velmora {

// A run the program will not start: the message box the user sees.
struct Refusal {
    std::string text;
    std::string caption;
};

// What the hand-off decided: the run may start, or the refusal to show.
struct HandOff {
    Refusal refusal;
    bool ok() const { return refusal.text.empty(); }
};

// Work zone user costs count when either switch says Include; a switch holding anything else
// (only a damaged file can) counts as Exclude.
bool UserCostsIncluded(const ProjectData& project);

// Rewrites the per-stage inclusion flags of both options in `project` itself (they stay
// rewritten whatever follows), then decides. After the two work zone checks it refuses every
// value the analysis cannot compute with (a project length of 0, a speed of 0, a terrain outside
// the list, a number too large or not a number at all), so a run it lets through gives finite
// results. Fields that only the user costs read are checked only when user costs count; without
// them they must still be finite numbers, since the report prints them.
HandOff PrepareAnalysis(ProjectData& project);

} // namespace velmora
