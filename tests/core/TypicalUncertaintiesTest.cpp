#include "risk/TypicalUncertainties.h"
#include "CoreTestSupport.h"
#include "model/ProjectFile.h"
#include "risk/RiskDefinitionsCheck.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::risk;

namespace {

const UncertainInput* Find(const RiskDefinitions& d, std::string_view field) {
    const auto it = std::ranges::find(d.inputs, field, &UncertainInput::field);
    return it == d.inputs.end() ? nullptr : &*it;
}

} // namespace

TEST(TypicalUncertainties, GiveTheRangesTheHelpPromisesAndPassTheChecks) {
    ProjectData project;
    ASSERT_TRUE(DecodeProject(test::ReadFile(std::filesystem::path(VELMORA_TEST_DATA) /
                                             "../../examples/route-9.vlm"),
                              project)
                    .ok());
    // A negative price keeps its range in order, no stage year moves before the project starts,
    // and what cannot vary (no growth, a stage with nothing to build) is left out.
    project.concreteAggBasePrice = -8.0;
    project.asphaltStage[1].year = 2.0;
    project.trafficGrowth = 0.0;
    project.concreteStage[3] = {.year = project.concreteStage[3].year};
    RiskDefinitions settings;
    settings.iterations = 2500;
    settings.seed = 9;
    const RiskDefinitions d = TypicalUncertainties(project, settings);
    EXPECT_EQ(CheckRiskDefinitions(d, project).error, "");
    EXPECT_EQ(d.iterations + d.seed, 2509u);

    using K = DistributionKind;
    using N = std::optional<double>;
    const std::tuple<std::string_view, K, N, N, N, N, N> cases[] = {
        {"hmaWearingPrice", K::Triangular, 55.8, 62, 77.5, {}, {}},
        {"concretePrice", K::Triangular, 51.3, 57, 71.25, {}, {}},
        {"concreteAggBasePrice", K::Triangular, -10, -8, -7.2, {}, {}},
        {"asphaltMaintenance[0].unitPrice", K::Triangular, 5400, 6000, 7500, {}, {}},
        {"discountRate", K::Uniform, 3, {}, 5, {}, {}},
        {"aadt", K::Normal, 0, {}, 1e9, 24000, 2400},
        {"asphaltStage[1].year", K::Triangular, 0, 2, 7, {}, {}},
        {"concreteStage[2].year", K::Triangular, 27, 30, 35, {}, {}},
    };
    // To a millionth: 0.9 x 62 is 55.800000000000004.
    const auto r = [](N v) { return v ? N(std::round(*v * 1e6) / 1e6) : v; };
    for (const auto& expected : cases) {
        const UncertainInput* in = Find(d, std::get<0>(expected));
        ASSERT_NE(in, nullptr) << std::get<0>(expected);
        EXPECT_EQ(std::tuple(std::string_view(in->field), in->distribution, r(in->min), r(in->mode),
                             r(in->max), r(in->mean), r(in->sd)),
                  expected);
        EXPECT_FALSE(in->relative);
    }
    // A price of 0 buys nothing, and the initial construction has no year worth moving.
    for (const char* absent : {"asphaltMisc.unitPrice", "asphaltStage[0].year",
                               "asphaltMobilizationPct", "trafficGrowth", "concreteStage[3].year"})
        EXPECT_EQ(Find(d, absent), nullptr) << absent;
}
