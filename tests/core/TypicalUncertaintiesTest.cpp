#include "risk/TypicalUncertainties.h"
#include "CoreTestSupport.h"
#include "model/ProjectFile.h"
#include "risk/RiskDefinitionsCheck.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::risk;

namespace {

ProjectData Route9() {
    ProjectData project;
    const std::string bytes =
        test::ReadFile(std::filesystem::path(VELMORA_TEST_DATA) / "../../examples/route-9.vlm");
    EXPECT_TRUE(DecodeProject(bytes, project).ok());
    return project;
}

const UncertainInput* Find(const RiskDefinitions& d, std::string_view field) {
    const auto it = std::ranges::find(d.inputs, field, &UncertainInput::field);
    return it == d.inputs.end() ? nullptr : &*it;
}

} // namespace

TEST(TypicalUncertainties, GiveTheRangesTheHelpPromisesAndPassTheChecks) {
    const ProjectData project = Route9();
    RiskDefinitions settings;
    settings.iterations = 2500;
    settings.seed = 9;
    const RiskDefinitions d = TypicalUncertainties(project, settings);
    EXPECT_EQ(CheckRiskDefinitions(d, project).error, "");
    EXPECT_EQ(d.iterations + d.seed, 2509u);

    using K = DistributionKind;
    struct Expected {
        const char* field;
        K kind;
        std::optional<double> min, mode, max, mean, sd;
    };
    const Expected cases[] = {
        {"hmaWearingPrice", K::Triangular, 55.8, 62, 77.5, {}, {}},
        {"concretePrice", K::Triangular, 51.3, 57, 71.25, {}, {}},
        {"asphaltMaintenance[0].unitPrice", K::Triangular, 5400, 6000, 7500, {}, {}},
        {"discountRate", K::Uniform, 3, {}, 5, {}, {}},
        {"aadt", K::Normal, 0, {}, 1e9, 24000, 2400},
        {"trafficGrowth", K::Normal, 0, {}, 10, 1.5, 0.15},
        {"asphaltStage[1].year", K::Triangular, 12, 15, 20, {}, {}},
        {"concreteStage[2].year", K::Triangular, 27, 30, 35, {}, {}},
    };
    for (const Expected& e : cases) {
        SCOPED_TRACE(e.field);
        const UncertainInput* in = Find(d, e.field);
        ASSERT_NE(in, nullptr);
        EXPECT_EQ(in->distribution, e.kind);
        EXPECT_FALSE(in->relative);
        const std::optional<double> got[] = {in->min, in->mode, in->max, in->mean, in->sd},
                                    want[] = {e.min, e.mode, e.max, e.mean, e.sd};
        for (int k = 0; k < 5; ++k) {
            EXPECT_EQ(got[k].has_value(), want[k].has_value()) << k;
            const double value = want[k].value_or(0.0);
            EXPECT_NEAR(got[k].value_or(0.0), value, 1e-9 * std::fabs(value)) << k;
        }
    }
    // A price of 0 buys nothing, and the initial construction has no year worth moving.
    for (const char* absent :
         {"asphaltMisc.unitPrice", "asphaltStage[0].year", "asphaltMobilizationPct"})
        EXPECT_EQ(Find(d, absent), nullptr) << absent;
}

TEST(TypicalUncertainties, KeepANegativePriceInOrderAndLeaveOutWhatCannotVary) {
    ProjectData project = test::HeavyPricedProject();
    project.concreteAggBasePrice = -8.0;
    project.trafficGrowth = 0.0;
    project.asphaltStage[1].year = 2.0;
    const RiskDefinitions d = TypicalUncertainties(project);
    EXPECT_EQ(CheckRiskDefinitions(d, project).error, "");

    const UncertainInput* base = Find(d, "concreteAggBasePrice");
    ASSERT_NE(base, nullptr);
    EXPECT_DOUBLE_EQ(*base->min, -10.0);
    EXPECT_DOUBLE_EQ(*base->max, -7.2);
    // Three years before year 2 would be before the project starts.
    ASSERT_NE(Find(d, "asphaltStage[1].year"), nullptr);
    EXPECT_EQ(*Find(d, "asphaltStage[1].year")->min, 0.0);
    EXPECT_EQ(Find(d, "trafficGrowth"), nullptr);
    // Its later concrete stages have years but nothing to build.
    EXPECT_EQ(Find(d, "concreteStage[2].year"), nullptr);
}
