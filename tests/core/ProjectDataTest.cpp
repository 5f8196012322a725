#include "model/ProjectData.h"
#include "model/SavedFields.h"

#include <gtest/gtest.h>
#include <set>

using namespace velmora;

// The defaults and the file order are pinned by tests/data/default.vlm and show-default.txt.
TEST(ProjectData, SavedFieldsHaveUniqueNames) {
    std::set<std::string> names;
    const ProjectData p;
    ForEachSavedField(p, [&](const FieldName& name, auto&) { names.insert(name.str()); });
    EXPECT_EQ(names.size(), 214u);
}

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
    ProjectData p = base;
    EXPECT_TRUE(SameSavedFields(p, base));
    p.concreteStage[3].miscUnitLabel[2] = "cy";
    EXPECT_FALSE(SameSavedFields(p, base));
    p = base;
    p.concreteMaintenance[3].unitPrice = -0.0;
    EXPECT_FALSE(SameSavedFields(p, base));
    p = base;
    p.wzLanes = 2;
    EXPECT_FALSE(SameSavedFields(p, base));
    p = base;
    p.riskDefinitions = "{}"; // saved too, in the block after the items
    EXPECT_FALSE(SameSavedFields(p, base));
}
