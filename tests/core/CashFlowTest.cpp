#include "engine/CashFlow.h"
#include "CoreTestSupport.h"
#include "engine/Arithmetic.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

// The charts and the workbook must tell the same story as the results form: each stage's
// present worth rounds to its result, and the treatments of an option add up, in the engine's
// order, to its maintenance cost. The projects are those of tests/data/*.set.
TEST(CashFlow, PresentWorthsAddUpToTheResultsOfEveryGoldenProject) {
    for (const auto& entry : std::filesystem::directory_iterator(VELMORA_TEST_DATA)) {
        if (entry.path().extension() != ".set") continue;
        SCOPED_TRACE(entry.path().filename());
        ProjectData p = ProjectWith(DataLines(entry.path().filename().string()));
        ASSERT_TRUE(PrepareAnalysis(p).ok());
        const AnalysisResult run = RunAnalysisOnCopy(p);
        std::array<OptionCosts, 2> fromFlows{};
        std::array<std::array<double, 4>, 2> rowCost{};
        for (const CashFlow& f : CashFlows(p, run)) {
            EXPECT_TRUE(std::isfinite(f.undiscounted) && std::isfinite(f.discounted));
            EXPECT_NEAR(f.discounted,
                        f.undiscounted / std::pow(1.0 + p.discountRate / 100.0, f.year),
                        1e-6 * std::abs(f.undiscounted));
            OptionCosts& c = fromFlows[f.option];
            if (f.kind == CashFlowKind::Agency) c.agency[f.item] += f.discounted;
            if (f.kind == CashFlowKind::User) c.user[f.item] += f.discounted;
            if (f.kind == CashFlowKind::Maintenance) rowCost[f.option][f.item] += f.discounted;
        }
        for (int option : {PavementOption::Asphalt, PavementOption::Concrete}) {
            const OptionCosts& r = run.results[option];
            for (int k = 0; k < 4; ++k) {
                EXPECT_EQ(RoundWhole(fromFlows[option].agency[k]), r.agency[k]) << k;
                EXPECT_EQ(RoundWhole(fromFlows[option].user[k]), r.user[k]) << k;
            }
            const auto& rows = rowCost[option];
            EXPECT_EQ(RoundWhole(rows[3] + rows[2] + rows[1] + rows[0]), r.maintenanceCost);
        }
    }
}

TEST(CashFlow, EquivalentUniformAnnualCost) {
    // 1,000,000 over 40 years at 4 %: the capital recovery factor is 0.0505235.
    EXPECT_NEAR(EquivalentUniformAnnualCost(1e6, 4.0, 40.0), 50523.5, 0.05);
    EXPECT_DOUBLE_EQ(EquivalentUniformAnnualCost(1e6, 0.0, 40.0), 25000.0);
    EXPECT_EQ(EquivalentUniformAnnualCost(1e6, 4.0, 0.0), 0.0);
}
