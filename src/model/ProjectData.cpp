#include "ProjectData.h"

namespace velmora {

void ProjectData::PrepareConcreteMiscLabels() {
    for (int i = 0; i < 3; ++i) {
        auto word = ListText(UnitCode::kWords, concreteMisc[i].unit);
        if (!word) continue;
        for (auto& stage : concreteStage) stage.miscUnitLabel[i] = *word;
    }
}

std::int32_t ProjectData::StageInclusion(int stage) const {
    const std::int32_t sw = stage == 0 ? initialWzInclusion : rehabWzInclusion;
    return sw == WzInclusion::Include ? WzInclusion::Include : WzInclusion::Exclude;
}

void ProjectData::ApplyInclusionRule() {
    for (int k = 0; k < 4; ++k) {
        asphaltStage[k].wzInclusion = StageInclusion(k);
        concreteStage[k].wzInclusion = StageInclusion(k);
    }
}

bool ProjectData::TrafficFormAvailable() const {
    return !(initialWzInclusion == WzInclusion::Exclude &&
             rehabWzInclusion == WzInclusion::Exclude);
}

} // namespace velmora
