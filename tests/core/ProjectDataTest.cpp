#include "model/ProjectData.h"
#include "model/SavedFields.h"

#include <gtest/gtest.h>

using namespace velmora;

// The concrete unit words are saved items: the file carries what the last opening of the form
// wrote.
TEST(ProjectData, ConcreteUnitWordsFollowTheUnitCodesAndUnknownCodesKeepTheOldOnes) {
    ProjectData p;
    p.concreteMisc[0] = {"Dowels", 0.0, -1};
    p.concreteMisc[1].unit = UnitCode::Cy;
    p.concreteMisc[2].unit = UnitCode::Foot;
    p.PrepareConcreteMiscLabels();
    for (const auto& stage : p.concreteStage)
        EXPECT_EQ(stage.miscUnitLabel, (std::array<std::string, 3>{"NA", "cy", "foot"}));
}

// A damaged file may hold any switch value: anything but Include counts as Exclude for the stage
// flags, but the traffic form is withdrawn only when both switches say Exclude.
TEST(ProjectData, SwitchesDecideTheStageFlagsAndTheTrafficForm) {
    ProjectData p;
    p.initialWzInclusion = 7;
    p.asphaltStage[0].wzInclusion = WzInclusion::Include;
    p.ApplyInclusionRule();
    EXPECT_EQ(p.asphaltStage[0].wzInclusion, WzInclusion::Exclude);
    EXPECT_EQ(p.concreteStage[3].wzInclusion, WzInclusion::Include);
    p.rehabWzInclusion = WzInclusion::Exclude;
    EXPECT_TRUE(p.TrafficFormAvailable());
    p.initialWzInclusion = WzInclusion::Exclude;
    EXPECT_FALSE(p.TrafficFormAvailable());
}

TEST(ProjectData, SameSavedFieldsSeesEverySavedChange) {
    const ProjectData base;
    EXPECT_TRUE(SameSavedFields(ProjectData{}, base));
    for (void (*change)(ProjectData&) : {
             +[](ProjectData& p) { p.concreteStage[3].miscUnitLabel[2] = "cy"; },
             +[](ProjectData& p) { p.concreteMaintenance[3].unitPrice = -0.0; },
             +[](ProjectData& p) { p.wzLanes = 2; },
             +[](ProjectData& p) { p.riskDefinitions = "{}"; }, // saved after the items
         }) {
        ProjectData p = base;
        change(p);
        EXPECT_FALSE(SameSavedFields(p, base));
    }
}
