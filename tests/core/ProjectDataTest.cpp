#include "model/ProjectData.h"
#include "model/SavedFields.h"

#include <gtest/gtest.h>
#include <set>

using namespace velmora;

TEST(ProjectData, FreshRecordHoldsTheDefaults) {
    const ProjectData p;
    EXPECT_EQ(p.currentCpi, 173.644);
    EXPECT_EQ(p.aadt, 500.0);
    EXPECT_EQ(p.projectLength, 1.0);
    EXPECT_EQ(p.wzLanes, 1);
    EXPECT_EQ(p.asphaltStage[0].year, 0.0);
    EXPECT_EQ(p.asphaltStage[1].year, 15.0);
    EXPECT_EQ(p.asphaltStage[2].year, 27.0);
    EXPECT_EQ(p.asphaltStage[3].year, 35.0);
    for (const auto& stage : p.concreteStage) {
        EXPECT_EQ(stage.year, 0.0);
        EXPECT_EQ(stage.hmaOverlayUnitWeight, 145.0);
        EXPECT_EQ(stage.aggBaseUnitWeight, 115.0);
        EXPECT_EQ(stage.miscUnitLabel[2], "NA");
    }
    EXPECT_EQ(p.asphaltStage[3].aggBaseUnitWeight, 115.0);
    EXPECT_EQ(p.asphaltStage[3].daysToComplete, 1.0);
    EXPECT_EQ(p.hmaWearingPrice, 0.0);
    EXPECT_EQ(p.concreteMisc[2].description, "Misc Description...");
    EXPECT_EQ(p.concreteMaintenance[3].description, "Enter description...");
    EXPECT_EQ(p.asphaltMiscLabel, "");
}

TEST(ProjectData, SavedFieldsAreTheFileItemsWithUniqueNames) {
    ProjectData p;
    int numbers = 0, integers = 0, texts = 0;
    std::set<std::string> names;
    ForEachSavedField(p, [&](const FieldName& name, auto& field) {
        using T = std::decay_t<decltype(field)>;
        numbers += std::is_same_v<T, double>;
        integers += std::is_same_v<T, std::int32_t>;
        texts += std::is_same_v<T, std::string>;
        names.insert(name.str());
    });
    EXPECT_EQ(numbers, 161);
    EXPECT_EQ(integers, 27);
    EXPECT_EQ(texts, 26);
    EXPECT_EQ(names.size(), 214u);
    EXPECT_TRUE(names.count("concreteStage[1].miscQuantity[0]"));
    EXPECT_TRUE(names.count("concreteStage[3].miscUnitLabel[2]"));
    EXPECT_TRUE(names.count("asphaltMaintenance[3].treatmentCount"));
}

TEST(ProjectData, MiscLabelsFollowTheUnitCodes) {
    ProjectData p;
    p.PrepareAsphaltMiscLabels();
    EXPECT_EQ(p.asphaltMiscLabel, "Misc., miles:");
    p.asphaltMisc.unit = UnitCode::Ton;
    p.asphaltMisc.description = "Guard rail";
    p.PrepareAsphaltMiscLabels();
    EXPECT_EQ(p.asphaltMiscLabel, "Misc., ton:");
    EXPECT_EQ(p.asphaltMiscText, "Guard rail");

    p.concreteMisc[1].unit = UnitCode::Cy;
    p.concreteMisc[2].unit = UnitCode::Foot;
    p.concreteMisc[0].description = "Dowels";
    p.PrepareConcreteMiscLabels();
    for (const auto& stage : p.concreteStage) {
        EXPECT_EQ(stage.miscUnitLabel[0], "miles");
        EXPECT_EQ(stage.miscUnitLabel[1], "cy");
        EXPECT_EQ(stage.miscUnitLabel[2], "foot");
    }
    EXPECT_EQ(p.concreteMiscText[0], "Dowels");
}

TEST(ProjectData, UnknownUnitCodesKeepTheOldLabels) {
    ProjectData p;
    p.asphaltMisc.unit = 6;
    p.concreteMisc[0].unit = -1;
    p.PrepareAsphaltMiscLabels();
    p.PrepareConcreteMiscLabels();
    EXPECT_EQ(p.asphaltMiscLabel, "");
    EXPECT_EQ(p.concreteStage[2].miscUnitLabel[0], "NA");
    EXPECT_EQ(p.concreteStage[2].miscUnitLabel[1], "miles");
}

TEST(ProjectData, InclusionFlagsFollowTheTwoSwitches) {
    ProjectData p;
    p.rehabWzInclusion = WzInclusion::Exclude;
    p.asphaltStage[0].wzInclusion = 1;
    p.ApplyInclusionRule();
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(p.asphaltStage[k].wzInclusion, k == 0 ? 0 : 1);
        EXPECT_EQ(p.concreteStage[k].wzInclusion, k == 0 ? 0 : 1);
    }
    // A damaged file may hold any switch value; anything but Include counts as Exclude here.
    p.initialWzInclusion = 7;
    p.rehabWzInclusion = WzInclusion::Include;
    p.ApplyInclusionRule();
    EXPECT_EQ(p.concreteStage[0].wzInclusion, 1);
    EXPECT_EQ(p.concreteStage[3].wzInclusion, 0);
}

TEST(ProjectData, TrafficFormIsWithdrawnOnlyWhenBothSwitchesExclude) {
    ProjectData p;
    EXPECT_TRUE(p.TrafficFormAvailable());
    p.initialWzInclusion = WzInclusion::Exclude;
    EXPECT_TRUE(p.TrafficFormAvailable());
    p.rehabWzInclusion = WzInclusion::Exclude;
    EXPECT_FALSE(p.TrafficFormAvailable());
    p.rehabWzInclusion = 2; // not Exclude, so the form stays available
    EXPECT_TRUE(p.TrafficFormAvailable());
}

TEST(ProjectData, SameSavedFieldsSeesEverySavedChangeAndNoDisplayChange) {
    const ProjectData base;
    ProjectData p = base;
    EXPECT_TRUE(SameSavedFields(p, base));
    p.asphaltMiscLabel = "Misc., ton:"; // display only
    EXPECT_TRUE(SameSavedFields(p, base));
    p.concreteStage[3].miscUnitLabel[2] = "cy";
    EXPECT_FALSE(SameSavedFields(p, base));
    p = base;
    p.concreteMaintenance[3].unitPrice = -0.0;
    EXPECT_FALSE(SameSavedFields(p, base));
    p = base;
    p.wzLanes = 2;
    EXPECT_FALSE(SameSavedFields(p, base));
}
