#include "Analysis.h"

// Placeholder until the cost engine lands: every cost is 0 and no run is refused.

namespace velmora {

std::optional<Refusal> PrepareAnalysis(ProjectData& project) {
    project.ApplyInclusionRule();
    return std::nullopt;
}

AnalysisResult RunAnalysis(const ProjectData&) {
    return {};
}

bool ApplyTreatmentCounts(const AnalysisResult& run, ProjectData& project) {
    bool changed = false;
    for (int k = 0; k < 4; ++k) {
        changed |= project.asphaltMaintenance[k].treatmentCount != run.asphaltTreatmentCount[k];
        changed |= project.concreteMaintenance[k].treatmentCount != run.concreteTreatmentCount[k];
        project.asphaltMaintenance[k].treatmentCount = run.asphaltTreatmentCount[k];
        project.concreteMaintenance[k].treatmentCount = run.concreteTreatmentCount[k];
    }
    return changed;
}

} // namespace velmora
