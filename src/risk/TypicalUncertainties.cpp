#include "TypicalUncertainties.h"

#include "UncertainFields.h"
#include "engine/Analysis.h"
#include "model/SavedFields.h"

#include <algorithm>

namespace velmora::risk {
namespace {

bool IsUnitPrice(std::string_view name) {
    return name.ends_with("Price");
}

UncertainInput Triangular(std::string field, double low, double mode, double high) {
    UncertainInput in;
    in.field = std::move(field);
    in.distribution = DistributionKind::Triangular;
    in.min = low, in.mode = mode, in.max = high;
    return in;
}

UncertainInput NormalTenPercent(std::string field, double value) {
    const FieldInfo info = *LookUpField(field);
    UncertainInput in;
    in.field = std::move(field);
    in.distribution = DistributionKind::Normal;
    in.mean = value, in.sd = 0.1 * value;
    // Four standard deviations out would pass below 0 or above 10 % growth only for values
    // already near a limit; the cut keeps every sample one Compute Costs accepts.
    in.min = info.low, in.max = info.high;
    return in;
}

} // namespace

RiskDefinitions TypicalUncertainties(const ProjectData& project, RiskDefinitions base) {
    base.inputs.clear();
    base.correlations.clear();
    ForEachSavedField(project, [&](const FieldName& name, const auto& value) {
        if constexpr (std::is_same_v<std::decay_t<decltype(value)>, double>) {
            // A negative price (aggregate base the contractor pays for) widens the same way.
            if (const std::string field = name.str(); IsUnitPrice(field) && value != 0.0)
                base.inputs.push_back(Triangular(field, std::min(0.9 * value, 1.25 * value), value,
                                                 std::max(0.9 * value, 1.25 * value)));
        }
    });

    UncertainInput rate;
    rate.field = "discountRate";
    rate.distribution = DistributionKind::Uniform;
    rate.min = 3.0, rate.max = 5.0;
    base.inputs.push_back(rate);
    if (project.aadt > 0.0) base.inputs.push_back(NormalTenPercent("aadt", project.aadt));
    if (project.trafficGrowth > 0.0)
        base.inputs.push_back(NormalTenPercent("trafficGrowth", project.trafficGrowth));

    // Only a stage with an agency cost has a year that matters; a project Compute Costs refuses
    // gets no stage years.
    ProjectData copy = project;
    if (!PrepareAnalysis(copy).ok()) return base;
    const CostResults results = RunAnalysis(copy).results;
    const auto stages = [&](const auto& stage, int option) {
        for (int k = 1; k < 4; ++k) {
            const double year = stage[k].year;
            if (year > 0.0 && results[option].agency[k] != 0.0)
                base.inputs.push_back(Triangular(std::string(PavementOption::kNames[option]) +
                                                     "Stage[" + std::to_string(k) + "].year",
                                                 std::max(0.0, year - 3.0), year, year + 5.0));
        }
    };
    stages(project.asphaltStage, PavementOption::Asphalt);
    stages(project.concreteStage, PavementOption::Concrete);
    return base;
}

} // namespace velmora::risk
