#include "engine/Analysis.h"
#include "model/SavedFields.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <map>
#include <random>

using namespace velmora;

namespace {

AnalysisResult Analyse(ProjectData p) {
    const std::optional<Refusal> refusal = PrepareAnalysis(p);
    EXPECT_FALSE(refusal) << refusal->caption << ": " << refusal->text;
    return RunAnalysis(p);
}

std::optional<Refusal> Refuse(ProjectData p) {
    return PrepareAnalysis(p);
}

ProjectData HeavyProject() {
    ProjectData p;
    p.aadt = 30000.0;
    p.laneCount = 4.0;
    return p;
}

double Sum(const UserCostComponents& c) {
    double sum = 0.0;
    for (double x : c) sum += x;
    return sum;
}

} // namespace

TEST(Analysis, DefaultProjectGives217And352) {
    const AnalysisResult run = Analyse(ProjectData{});
    const CostResults& r = run.results;
    EXPECT_EQ(r.asphaltUser, (std::array<double, 4>{88, 57, 40, 32}));
    EXPECT_EQ(r.asphaltUserSubtotal, 217.0);
    EXPECT_EQ(r.asphaltTotal, 217.0);
    EXPECT_EQ(r.concreteUser, (std::array<double, 4>{88, 88, 88, 88}));
    EXPECT_EQ(r.concreteUserSubtotal, 352.0);
    EXPECT_EQ(r.concreteTotal, 352.0);
    EXPECT_EQ(r.asphaltAgencySubtotal + r.concreteAgencySubtotal, 0.0);
    EXPECT_EQ(r.asphaltMaintenanceCost + r.concreteMaintenanceCost, 0.0);
    EXPECT_FALSE(run.asphaltGridlock || run.concreteGridlock);
    EXPECT_EQ(run.asphaltTreatmentCount, (std::array<double, 4>{}));

    // Light traffic queues nowhere: only the reduced speed and the speed change cost anything.
    const UserCostComponents& c = run.asphaltStages[0].components;
    EXPECT_EQ(c[0] + c[1] + c[2] + c[3], 0.0);
    EXPECT_NEAR(c[4], 48.51, 0.005);
    EXPECT_NEAR(c[5], 15.74, 0.005);
    EXPECT_NEAR(c[6], 23.98, 0.005);
    for (const StageBreakdown& stage : run.asphaltStages)
        for (int d = 0; d < 2; ++d)
            EXPECT_EQ(stage.traffic.hourly[d].servedVolume, stage.traffic.day[d].demand);
}

TEST(Analysis, StagesWithOneDayKeepTheirOwnDaysYearsAndSwitches) {
    // Every concrete stage sees the traffic of the asphalt initial construction; each still
    // counts its own working days and year.
    ProjectData p;
    p.concreteStage[1].daysToComplete = 2.0;
    p.concreteStage[2].daysToComplete = 3.9;
    p.concreteStage[3].daysToComplete = 0.5;
    p.concreteStage[3].year = 15.0;
    p.asphaltStage[2].daysToComplete = 2.0;
    const AnalysisResult run = Analyse(p);
    EXPECT_EQ(run.results.concreteUser, (std::array<double, 4>{88, 176, 265, 0}));
    EXPECT_EQ(run.results.asphaltUser, (std::array<double, 4>{88, 57, 80, 32}));
    EXPECT_EQ(run.concreteStages[2].traffic.hourly[1].freeFlowVolume,
              run.asphaltStages[0].traffic.hourly[1].freeFlowVolume);
}

TEST(Analysis, HeavyTrafficQueuesButSettles) {
    const AnalysisResult run = Analyse(HeavyProject());
    ASSERT_FALSE(run.asphaltGridlock || run.concreteGridlock);
    for (const auto* stages : {&run.asphaltStages, &run.concreteStages})
        for (const StageBreakdown& stage : *stages)
            for (double component : stage.components) EXPECT_GT(component, 0.0);
    // One day per stage: the grown demand of the later overlays costs more before discounting.
    for (int k = 1; k < 4; ++k)
        EXPECT_GT(Sum(run.asphaltStages[k].components), Sum(run.asphaltStages[0].components));
    EXPECT_EQ(run.results.asphaltUserSubtotal, run.results.asphaltTotal);
}

TEST(Analysis, SwitchesDecideWhichStagesCount) {
    ProjectData p = HeavyProject();
    const AnalysisResult all = Analyse(p);

    p.rehabWzInclusion = WzInclusion::Exclude;
    const AnalysisResult initialOnly = Analyse(p);
    EXPECT_EQ(initialOnly.results.asphaltUser,
              (std::array<double, 4>{all.results.asphaltUser[0], 0, 0, 0}));
    EXPECT_EQ(initialOnly.results.concreteUserSubtotal, all.results.concreteUser[0]);
    // The excluded stages are still valued; only their results are not stored.
    EXPECT_EQ(initialOnly.asphaltStages[2].components, all.asphaltStages[2].components);

    p.rehabWzInclusion = WzInclusion::Include;
    p.initialWzInclusion = WzInclusion::Exclude;
    const AnalysisResult rehabOnly = Analyse(p);
    EXPECT_EQ(rehabOnly.results.asphaltUser[0], 0.0);
    EXPECT_EQ(rehabOnly.results.asphaltUserSubtotal,
              all.results.asphaltUserSubtotal - all.results.asphaltUser[0]);

    // Both excluded: no traffic is simulated, so even a gridlocking demand shows nothing.
    p.rehabWzInclusion = WzInclusion::Exclude;
    p.aadt = 1e6;
    const AnalysisResult none = Analyse(p);
    EXPECT_FALSE(none.asphaltGridlock || none.concreteGridlock);
    EXPECT_EQ(none.results.asphaltUserSubtotal + none.results.concreteUserSubtotal, 0.0);
    EXPECT_EQ(none.asphaltStages[3].traffic.day[0].demand, Hours{});
}

TEST(Analysis, GridlockedOptionKeepsAgencyAndMaintenance) {
    ProjectData p;
    p.aadt = 200000.0; // above the closure capacity in every hour
    p.laneCount = 4.0;
    p.hmaWearingPrice = 50.0;
    p.asphaltStage[0].wearingThickness = 2.0;
    p.concreteMaintenance[0] = {"Joint resealing", 1.0, 1000.0, 10, 0.0};
    const AnalysisResult run = Analyse(p);
    EXPECT_TRUE(run.asphaltGridlock);
    EXPECT_TRUE(run.concreteGridlock);
    const CostResults& r = run.results;
    EXPECT_EQ(r.asphaltUser, (std::array<double, 4>{}));
    EXPECT_EQ(r.concreteUserSubtotal, 0.0);
    EXPECT_EQ(r.asphaltTotal, r.asphaltAgencySubtotal);
    EXPECT_EQ(r.asphaltAgency[0], 178640.0); // 56 ft paved
    EXPECT_EQ(r.concreteMaintenanceCost, 1649.0);
    EXPECT_EQ(r.concreteTotal, 1649.0);
}

TEST(Analysis, AnyStageInGridlockStopsItsOptionsUserCosts) {
    // Stage years out of order: the 1st overlay, 80 years on at 5 % growth, never settles
    // while the 3rd overlay does. No user cost is taken from a queue that never settles.
    ProjectData p;
    p.aadt = 5000.0;
    p.trafficGrowth = 5.0;
    p.asphaltStage[1].year = 80.0;
    p.asphaltStage[2].year = 0.0;
    p.asphaltStage[3].year = 0.0;
    const AnalysisResult run = Analyse(p);
    EXPECT_TRUE(run.asphaltStages[1].gridlock);
    EXPECT_FALSE(run.asphaltStages[3].gridlock);
    EXPECT_TRUE(run.asphaltGridlock);
    EXPECT_EQ(run.results.asphaltUser, (std::array<double, 4>{}));
    EXPECT_FALSE(run.concreteGridlock);
    EXPECT_GT(run.results.concreteUserSubtotal, 0.0);
}

TEST(Analysis, MaintenanceCountsComeBackOnlyWhenApplied) {
    ProjectData p;
    p.asphaltMaintenance[0] = {"Crack sealing", 1.0, 1000.0, 10, 99.0};
    p.concreteMaintenance[3] = {"Joint resealing", 5.0, 0.0, 7, 0.0};
    const AnalysisResult run = Analyse(p);
    EXPECT_EQ(run.results.asphaltMaintenanceCost, 1649.0);
    EXPECT_EQ(run.results.asphaltTotal, 217.0 + 1649.0);
    EXPECT_EQ(run.asphaltTreatmentCount, (std::array<double, 4>{4, 0, 0, 0}));
    EXPECT_EQ(run.concreteTreatmentCount, (std::array<double, 4>{0, 0, 0, 5}));

    EXPECT_EQ(p.asphaltMaintenance[0].treatmentCount, 99.0); // the run reads a copy
    EXPECT_TRUE(ApplyTreatmentCounts(run, p));
    EXPECT_EQ(p.asphaltMaintenance[0].treatmentCount, 4.0);
    EXPECT_EQ(p.concreteMaintenance[3].treatmentCount, 5.0);
    EXPECT_FALSE(ApplyTreatmentCounts(run, p));
}

TEST(Analysis, WorkZoneChecksComeFirstAndInOrder) {
    ProjectData p;
    p.projectLength = 1.0;
    p.wzLength = 2.0;
    p.speedLimit = 40.0;
    p.wzSpeedLimit = 55.0;
    p.rehabWzInclusion = WzInclusion::Exclude;
    p.asphaltStage[2].wzInclusion = WzInclusion::Include;
    p.concreteStage[0].wzInclusion = WzInclusion::Exclude;

    std::optional<Refusal> refusal = PrepareAnalysis(p);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->text, "Please adjust either work zone or project length, or both.");
    EXPECT_EQ(refusal->caption, "Work Zone Length Exceeds Project Length");
    // The flags are rewritten even though the run stops.
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(p.asphaltStage[k].wzInclusion, k == 0 ? 0 : 1);
        EXPECT_EQ(p.concreteStage[k].wzInclusion, k == 0 ? 0 : 1);
    }

    p.wzLength = 1.0; // equal lengths pass
    refusal = PrepareAnalysis(p);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->text, "Please adjust either work zone or project speed limit, or both.");
    EXPECT_EQ(refusal->caption, "Work Zone Speed Limit Exceeds Project Speed Limit");

    p.wzSpeedLimit = 40.0; // equal speeds pass
    EXPECT_FALSE(PrepareAnalysis(p));

    // With every user cost excluded neither check is made.
    p.initialWzInclusion = p.rehabWzInclusion = WzInclusion::Exclude;
    p.wzLength = 1.5;
    p.wzSpeedLimit = 55.0;
    EXPECT_FALSE(PrepareAnalysis(p));
    EXPECT_EQ(p.asphaltStage[0].wzInclusion, WzInclusion::Exclude);
}

TEST(Analysis, ValuesTheEngineCannotUseAreRefusedByName) {
    static constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    static constexpr double inf = std::numeric_limits<double>::infinity();
    struct Case {
        void (*damage)(ProjectData&);
        const char* caption;
        const char* text;
    };
    const Case cases[] = {
        {[](ProjectData& p) { p.projectLength = p.wzLength = 0.0; }, "Number Out of Range",
         "Please enter a value between 0.001 and 1000000000 for \"Project Length\" in the General "
         "Information form."},
        {[](ProjectData& p) { p.speedLimit = p.wzSpeedLimit = 0.0; }, "Number Out of Range",
         "Please enter a value between 5 and 80 for \"Speed Limit\" in the General Information "
         "form."},
        {[](ProjectData& p) { p.laneCount = 0.0; }, "Number Out of Range",
         "Please enter a value between 1 and 1000000000 for \"Number of Lanes\" in the General "
         "Information form."},
        {[](ProjectData& p) { p.discountRate = -5.0; }, "Number Out of Range",
         "Please enter a value between 0 and 1000000000 for \"Discount Rate\" in the General "
         "Information form."},
        {[](ProjectData& p) { p.terrain = 3; }, "Value Out of Range",
         "Please choose Level, Rolling or Mountainous for \"Terrain\" in the Traffic and Work "
         "Zone Information form."},
        {[](ProjectData& p) { p.wzSpeedLimit = -1.0; }, "Value Out of Range",
         "Please enter a value between 5 and 55 for \"Work Zone Speed Limit\" in the Traffic "
         "and Work Zone Information form."},
        {[](ProjectData& p) { p.wzLanes = 0; }, "Value Out of Range",
         "Please enter a value between 1 and 1000000000 for \"Work Zone Lanes\" in the Traffic "
         "and Work Zone Information form."},
        {[](ProjectData& p) { p.concreteMisc[1].unitPrice = nan; }, "Price Out of Range",
         "Please enter a value between 0 and 1000000000 for \"Miscellaneous 2\" of the Concrete "
         "Unit Prices in the Unit Prices form."},
        {[](ProjectData& p) { p.asphaltStage[2].binderThickness = inf; }, "Value Out of Range",
         "Please enter a value between 0 and 1000000000 for \"HMA Binder Course, in.\" of the "
         "2nd Overlay in the Asphalt Construction/Rehabilitation Activities form."},
        {[](ProjectData& p) { p.concreteStage[0].year = -1.0; }, "Value Out of Range",
         "\"Year\" of the Initial Construction in the Concrete Construction/Rehabilitation "
         "Activities form must lie between 0 and 1000, and the form cannot change it. Please "
         "start again from a new project."},
        {[](ProjectData& p) { p.concreteMaintenance[3].quantity = 2e9; }, "Number Out of Range",
         "Please enter a value between 0 and 1000000000 for \"Quantity\" of the 4th activity of "
         "the Concrete Option in the Recurring Maintenance Activities form."},
    };
    for (const Case& c : cases) {
        ProjectData p;
        c.damage(p);
        const std::optional<Refusal> refusal = PrepareAnalysis(p);
        ASSERT_TRUE(refusal) << c.text;
        EXPECT_EQ(refusal->caption, c.caption);
        EXPECT_EQ(refusal->text, c.text);
    }
}

TEST(Analysis, UserCostInputsAreCheckedOnlyWhenUserCostsCount) {
    ProjectData p;
    p.terrain = 9;
    p.speedLimit = p.wzSpeedLimit = 0.0;
    p.concreteStage[2].daysToComplete = std::numeric_limits<double>::quiet_NaN();
    EXPECT_TRUE(Refuse(p));
    p.initialWzInclusion = p.rehabWzInclusion = WzInclusion::Exclude;
    EXPECT_FALSE(Refuse(p));
    // A damaged switch counts as Exclude, like the results form shows it.
    p.initialWzInclusion = p.rehabWzInclusion = 2;
    EXPECT_FALSE(Refuse(p));
    EXPECT_EQ(RunAnalysis(p).results.asphaltTotal, 0.0);
}

// Random records, from values at the edges of what the hand-off accepts to values only a
// damaged file holds: a run the hand-off lets through gives finite numbers everywhere.
TEST(Analysis, EveryResultOfAnAcceptedRunIsFinite) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::map<std::string, std::vector<double>> edges{
        {"projectLength", {0.001, 0.5, 1.0, 1e9}},
        {"wzLength", {0.0, 0.001, 0.5}},
        {"laneCount", {1.0, 2.0, 4.0, 1e9}},
        {"speedLimit", {5.0, 55.0, 80.0}},
        {"wzSpeedLimit", {5.0, 40.0, 55.0}},
        {"analysisPeriod", {0.0, 40.0, 1000.0}},
        {"truckPercent", {0.0, 10.0, 100.0}},
        {"trafficGrowth", {0.0, 1.0, 10.0}},
        {"terrain", {0.0, 1.0, 2.0}},
        {"wzLanes", {1.0, 2.0, 9.0}},
        {"year", {0.0, 15.0, 1000.0}},
        {"yearsBetween", {-1.0, 0.0, 1.0, 7.0}},
        {"Inclusion", {0.0, 1.0, 2.0}},
        {"Timing", {0.0, 1.0, -4.0}},
    };
    const std::vector<double> amounts{0.0, 1e-300, 0.5, 1.0, 5.0, 30000.0, 1e9};
    const std::vector<double> junk{nan, inf, -inf, 1e300, -1e300, -1.0, 1e9 + 1.0};

    std::mt19937_64 rng(20240601);
    auto pick = [&](const std::vector<double>& values) {
        return values[std::uniform_int_distribution<std::size_t>(0, values.size() - 1)(rng)];
    };
    int accepted = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        ProjectData p;
        const bool damage = trial % 3 == 0;
        ForEachSavedField(p, [&](const FieldName& name, auto& field) {
            using T = std::decay_t<decltype(field)>;
            if constexpr (!std::is_same_v<T, std::string>) {
                if (std::uniform_int_distribution<int>(0, 3)(rng) == 0) return; // keep default
                const std::string n = name.str();
                const std::vector<double>* values = &amounts;
                for (const auto& [key, list] : edges)
                    if (n.ends_with(key)) values = &list;
                double value = pick(*values);
                if (damage && std::uniform_int_distribution<int>(0, 40)(rng) == 0)
                    value = pick(junk);
                if constexpr (std::is_same_v<T, double>)
                    field = value;
                else
                    field = std::isfinite(value) ? static_cast<std::int32_t>(value) : -7;
            }
        });
        if (PrepareAnalysis(p)) continue;
        ++accepted;
        const AnalysisResult run = RunAnalysis(p);
        ForEachCostResult(run.results, [&](const std::string& name, double value) {
            ASSERT_TRUE(std::isfinite(value)) << name << " in trial " << trial;
        });
        for (const auto* stages : {&run.asphaltStages, &run.concreteStages})
            for (const StageBreakdown& stage : *stages) {
                for (double c : stage.components) ASSERT_TRUE(std::isfinite(c)) << trial;
                for (const HourlyQuantities& q : stage.traffic.hourly)
                    for (const Hours* hours : {&q.queuedServed, &q.queuedArrivals, &q.queueSpeed,
                                               &q.queueLength, &q.queueDelay})
                        for (double x : *hours) ASSERT_TRUE(std::isfinite(x)) << trial;
            }
        for (double count : run.asphaltTreatmentCount) ASSERT_TRUE(std::isfinite(count));
    }
    EXPECT_GT(accepted, 300);
}
