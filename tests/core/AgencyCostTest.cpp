#include "engine/AgencyCost.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {

// Two 12-ft lanes and two 4-ft shoulders: 32 ft; a 2-inch wearing course at 50 $/ton with 5 %
// mobilization and 3 % traffic control.
ProjectData WearingCourseProject() {
    ProjectData p;
    p.hmaWearingPrice = 50.0;
    p.asphaltMobilizationPct = 5.0;
    p.asphaltTrafficControlPct = 3.0;
    for (AsphaltStage& s : p.asphaltStage) s.wearingThickness = 2.0;
    return p;
}

} // namespace

// 32 ft × 2 in × 145 lb/ft³ over a mile is 2041.6 tons, 102080 $ at 50 $/ton, 110246.4 $ with the
// 8 % for mobilization and traffic control.
TEST(AgencyCost, WearingCourseOfTheWorkedExample) {
    const AgencyCosts costs = ComputeAgencyCosts(WearingCourseProject());
    EXPECT_EQ(costs.asphalt[0], 110246.0); // year 0
    EXPECT_EQ(costs.asphalt[1], 61216.0);  // year 15 at 4 %: 61215.91
}

TEST(AgencyCost, TonnageGrowsWithLengthAreasAndMiscItemsDoNot) {
    ProjectData p = WearingCourseProject();
    p.asphaltMobilizationPct = p.asphaltTrafficControlPct = 0.0;
    p.asphaltMillingPrice = 2.0;
    p.asphaltStage[0].millingArea = 10000.0;
    p.asphaltMisc = {"Guard rail", 1000.0, UnitCode::Mile}; // priced per item whatever its unit
    p.asphaltStage[0].miscQuantity = 2.0;
    EXPECT_EQ(ComputeAgencyCosts(p).asphalt[0], 102080.0 + 20000.0 + 2000.0);
    p.projectLength = 2.0;
    EXPECT_EQ(ComputeAgencyCosts(p).asphalt[0], 102080.0 + 10000.0 + 1000.0);
}

TEST(AgencyCost, ConcreteOverlayIsPricedAsWearingCourse) {
    ProjectData p;
    p.concretePrice = 40.0;
    p.concreteStage[1].hmaOverlayThickness = 2.0;
    EXPECT_EQ(ConcreteStageCost(p, 1), 0.0); // no wearing course price, no overlay cost

    p.hmaWearingPrice = 50.0;
    p.concreteStage[1].concreteArea = 100.0;
    p.concreteStage[1].jointSealingLength = 10.0;
    p.jointSealingPrice = 3.0;
    p.concreteMisc[2] = {"Signs", 500.0, UnitCode::Other};
    p.concreteStage[1].miscQuantity[2] = 3.0;
    EXPECT_NEAR(ConcreteStageCost(p, 1), 102080.0 + 4000.0 + 30.0 + 1500.0, 1e-6);
}
