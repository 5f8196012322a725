#include "TypicalUncertainties.h"

#include "UncertainFields.h"
#include "engine/Analysis.h"
#include "model/SavedFields.h"

#include <algorithm>
#include <cmath>

namespace velmora::risk {
namespace {

// Decimals of the unit each kind of field is written in.
constexpr int kCents = 2;
constexpr int kWhole = 0;
constexpr int kHundredthsOfAPercent = 2;

bool IsUnitPrice(std::string_view name) {
    return name.ends_with("Price");
}

// A bound of a range around `value`, rounded, that rounding does not move onto or past `value`
// (a price of 0.01 would otherwise leave a range of no width), within what Compute Costs
// accepts.
double Bound(double bound, double value, int decimals, const FieldInfo& info) {
    double rounded = Rounded(bound, decimals);
    const double step = std::pow(10.0, -decimals);
    if (bound < value && rounded >= value) rounded = Rounded(rounded - step, decimals);
    if (bound > value && rounded <= value) rounded = Rounded(rounded + step, decimals);
    return std::clamp(rounded, info.low, info.high);
}

// The mode is the project's own value as it stands: the run centres on what Compute Costs
// computes with.
UncertainInput Triangular(std::string field, double low, double mode, double high, int decimals) {
    const FieldInfo info = *LookUpField(field);
    UncertainInput in;
    in.field = std::move(field);
    in.distribution = DistributionKind::Triangular;
    in.min = Bound(low, mode, decimals, info);
    in.mode = mode;
    in.max = Bound(high, mode, decimals, info);
    return in;
}

// Normal about the project's value with a standard deviation of 10 % of it, at least one unit,
// cut four standard deviations out, or sooner where Compute Costs refuses the value: the whole
// accepted range (up to a billion vehicles a day) would tell the engineer nothing of the spread.
UncertainInput NormalTenPercent(std::string field, double value, int decimals) {
    const FieldInfo info = *LookUpField(field);
    const double sd = std::max(Rounded(0.1 * value, decimals), std::pow(10.0, -decimals));
    UncertainInput in;
    in.field = std::move(field);
    in.distribution = DistributionKind::Normal;
    in.mean = value, in.sd = sd;
    in.min = std::clamp(Rounded(value - 4.0 * sd, decimals), info.low, info.high);
    in.max = std::clamp(Rounded(value + 4.0 * sd, decimals), info.low, info.high);
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
                                                 std::max(0.9 * value, 1.25 * value), kCents));
        }
    });

    UncertainInput rate;
    rate.field = "discountRate";
    rate.distribution = DistributionKind::Uniform;
    rate.min = 3.0, rate.max = 5.0;
    base.inputs.push_back(rate);
    if (project.aadt > 0.0) base.inputs.push_back(NormalTenPercent("aadt", project.aadt, kWhole));
    if (project.trafficGrowth > 0.0)
        base.inputs.push_back(
            NormalTenPercent("trafficGrowth", project.trafficGrowth, kHundredthsOfAPercent));

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
                                                 year - 3.0, year, year + 5.0, kWhole));
        }
    };
    stages(project.asphaltStage, PavementOption::Asphalt);
    stages(project.concreteStage, PavementOption::Concrete);
    return base;
}

} // namespace velmora::risk
