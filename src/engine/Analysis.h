#pragma once

// The Compute Costs run: the hand-off that checks a project, and the analysis proper, which
// works on a copy and reports what happened as plain values. Showing messages is the front
// end's business.

#include "CostResults.h"
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

// The hand-off of Compute Costs. Rewrites the per-stage inclusion flags of both options in
// `project` itself (they stay rewritten whatever follows), then returns the refusal to show, or
// nothing when the analysis may run.
std::optional<Refusal> PrepareAnalysis(ProjectData& project);

struct AnalysisResult {
    CostResults results;
    bool asphaltGridlock = false;
    bool concreteGridlock = false;
    // The maintenance treatment counts the run recomputed; OK on the results form carries them
    // back into the project.
    std::array<double, 4> asphaltTreatmentCount{};
    std::array<double, 4> concreteTreatmentCount{};
};

// The analysis proper, on a project that PrepareAnalysis let through.
AnalysisResult RunAnalysis(const ProjectData& project);

// Copies the recomputed treatment counts into `project`; true when any count changed.
bool ApplyTreatmentCounts(const AnalysisResult& run, ProjectData& project);

} // namespace velmora
