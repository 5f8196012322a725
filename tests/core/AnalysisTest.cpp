#include "engine/Analysis.h"
#include "CoreTestSupport.h"
#include "model/SavedFields.h"
#include "report/Report.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <map>
#include <random>

using namespace velmora;
using namespace velmora::test;

namespace {

using Four = std::array<double, 4>;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

AnalysisResult Analyse(ProjectData p) {
    const std::optional<Refusal> refusal = PrepareAnalysis(p);
    EXPECT_FALSE(refusal) << refusal->caption << ": " << refusal->text;
    return RunAnalysis(p);
}

} // namespace

TEST(Analysis, DefaultProjectGives217And352) {
    const AnalysisResult run = Analyse(ProjectData{});
    const CostResults& r = run.results;
    EXPECT_EQ(r.asphaltUser, (Four{88, 57, 40, 32}));
    EXPECT_EQ(r.asphaltUserSubtotal, 217.0);
    EXPECT_EQ(r.asphaltTotal, 217.0);
    EXPECT_EQ(r.concreteUser, (Four{88, 88, 88, 88}));
    EXPECT_EQ(r.concreteUserSubtotal, 352.0);
    EXPECT_EQ(r.concreteTotal, 352.0);
    EXPECT_FALSE(run.asphaltGridlock || run.concreteGridlock);

    // Light traffic queues nowhere: only the reduced speed and the speed change cost anything.
    const UserCostComponents& c = run.asphaltStages[0].components;
    EXPECT_EQ(c[0] + c[1] + c[2] + c[3], 0.0);
    EXPECT_NEAR(c[4], 48.51, 0.005);
    EXPECT_NEAR(c[5], 15.74, 0.005);
    EXPECT_NEAR(c[6], 23.98, 0.005);
}

TEST(Analysis, HeavyTrafficQueuesButSettles) {
    ProjectData p;
    p.aadt = 30000.0;
    p.laneCount = 4.0;
    const AnalysisResult run = Analyse(p);
    ASSERT_FALSE(run.asphaltGridlock || run.concreteGridlock);
    for (const auto* stages : {&run.asphaltStages, &run.concreteStages})
        for (const StageBreakdown& stage : *stages)
            for (double component : stage.components) EXPECT_GT(component, 0.0);
}

TEST(Analysis, StagesWithOneDayKeepTheirOwnDaysAndYears) {
    // Every concrete stage sees the traffic of the asphalt initial construction; each still
    // counts its own working days and year.
    ProjectData p;
    p.concreteStage[1].daysToComplete = 2.0;
    p.concreteStage[2].daysToComplete = 3.9;
    p.concreteStage[3].daysToComplete = 0.5;
    p.concreteStage[3].year = 15.0;
    p.asphaltStage[2].daysToComplete = 2.0;
    const AnalysisResult run = Analyse(p);
    EXPECT_EQ(run.results.concreteUser, (Four{88, 176, 265, 0}));
    EXPECT_EQ(run.results.asphaltUser, (Four{88, 57, 80, 32}));
}

TEST(Analysis, AGridlockedOptionKeepsAgencyAndMaintenanceOnly) {
    ProjectData p;
    p.aadt = 200000.0; // above the closure capacity in every hour
    p.hmaWearingPrice = 50.0;
    p.asphaltStage[0].wearingThickness = 2.0;
    p.concreteMaintenance[0] = {"Joint resealing", 1.0, 1000.0, 10, 0.0};
    AnalysisResult run = Analyse(p);
    EXPECT_TRUE(run.asphaltGridlock && run.concreteGridlock);
    EXPECT_EQ(run.results.asphaltUser, Four{});
    EXPECT_EQ(run.results.asphaltTotal, 102080.0);
    EXPECT_EQ(run.results.concreteTotal, 1649.0);

    // Stage years out of order: the 1st overlay, 80 years on at 5 % growth, never settles
    // while the 3rd overlay does. No user cost is taken from a queue that never settles.
    p = ProjectData{};
    p.aadt = 5000.0;
    p.trafficGrowth = 5.0;
    p.asphaltStage[1].year = 80.0;
    p.asphaltStage[2].year = p.asphaltStage[3].year = 0.0;
    run = Analyse(p);
    EXPECT_TRUE(run.asphaltStages[1].gridlock);
    EXPECT_FALSE(run.asphaltStages[3].gridlock);
    EXPECT_TRUE(run.asphaltGridlock);
    EXPECT_EQ(run.results.asphaltUser, Four{});
    EXPECT_FALSE(run.concreteGridlock);
    EXPECT_GT(run.results.concreteUserSubtotal, 0.0);
}

TEST(Analysis, MaintenanceCountsComeBackOnlyWhenApplied) {
    ProjectData p;
    p.asphaltMaintenance[0] = {"Crack sealing", 1.0, 1000.0, 10, 99.0};
    const AnalysisResult run = Analyse(p);
    EXPECT_EQ(run.results.asphaltTotal, 217.0 + 1649.0);
    EXPECT_EQ(run.asphaltTreatmentCount, (Four{4, 0, 0, 0}));
    EXPECT_EQ(p.asphaltMaintenance[0].treatmentCount, 99.0);
    EXPECT_TRUE(ApplyTreatmentCounts(run, p));
    EXPECT_EQ(p.asphaltMaintenance[0].treatmentCount, 4.0);
    EXPECT_FALSE(ApplyTreatmentCounts(run, p));
}

TEST(Analysis, RefusalsNameTheFieldAndStopTheRun) {
    const std::vector<RefusalCase> cases = RefusalCases();
    ASSERT_GE(cases.size(), 17u);
    for (const RefusalCase& c : cases) {
        ProjectData p = ProjectWith(c.assignments);
        const std::optional<Refusal> refusal = PrepareAnalysis(p);
        ASSERT_TRUE(refusal) << c.text;
        EXPECT_EQ(refusal->caption, c.caption);
        EXPECT_EQ(refusal->text, c.text);
    }

    // Equal lengths and speeds pass; the stage flags are rewritten even when the run stops.
    ProjectData p;
    p.speedLimit = p.wzSpeedLimit = 40.0;
    EXPECT_FALSE(PrepareAnalysis(p));
    p.wzLength = 2.0;
    p.rehabWzInclusion = WzInclusion::Exclude;
    ASSERT_TRUE(PrepareAnalysis(p));
    EXPECT_EQ(p.asphaltStage[3].wzInclusion, WzInclusion::Exclude);
    EXPECT_EQ(p.concreteStage[1].wzInclusion, WzInclusion::Exclude);
}

TEST(Analysis, WithoutUserCostsNoTrafficIsCheckedOrSimulated) {
    ProjectData p;
    p.terrain = 9;
    p.wzLength = 1.5;
    p.speedLimit = p.wzSpeedLimit = 0.0;
    p.concreteStage[2].daysToComplete = 1e12;
    p.aadt = 1e10;
    EXPECT_TRUE(PrepareAnalysis(p));
    // A damaged switch counts as Exclude.
    for (std::int32_t off : {std::int32_t{WzInclusion::Exclude}, 2}) {
        p.initialWzInclusion = p.rehabWzInclusion = off;
        ASSERT_FALSE(PrepareAnalysis(p));
        const AnalysisResult run = RunAnalysis(p);
        EXPECT_FALSE(run.asphaltGridlock || run.concreteGridlock);
        EXPECT_EQ(run.results.asphaltTotal + run.results.concreteTotal, 0.0);
        EXPECT_EQ(run.asphaltStages[3].traffic.day[0].demand, Hours{});
    }
}

// Random records, from values at the edges of what the hand-off accepts to values only a
// damaged file holds: a run the hand-off lets through gives finite numbers everywhere.
TEST(Analysis, EveryResultOfAnAcceptedRunIsFinite) {
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
    const std::vector<double> junk{kNaN, kInf, -kInf, 1e300, -1e300, -1.0, 1e9 + 1.0};

    std::mt19937_64 rng(20240601);
    auto pick = [&](const std::vector<double>& values) {
        return values[std::uniform_int_distribution<std::size_t>(0, values.size() - 1)(rng)];
    };
    int accepted = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        ProjectData p;
        ForEachSavedField(p, [&](const FieldName& name, auto& field) {
            using T = std::decay_t<decltype(field)>;
            if constexpr (!std::is_same_v<T, std::string>) {
                if (std::uniform_int_distribution<int>(0, 3)(rng) == 0) return; // keep default
                const std::vector<double>* values = &amounts;
                for (const auto& [key, list] : edges)
                    if (name.str().ends_with(key)) values = &list;
                double value = pick(*values);
                if (trial % 3 == 0 && std::uniform_int_distribution<int>(0, 40)(rng) == 0)
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
            if (name.find("User") != std::string::npos) {
                ASSERT_GE(value, 0.0) << name << " in trial " << trial;
            }
        });
        for (const auto* stages : {&run.asphaltStages, &run.concreteStages})
            for (const StageBreakdown& stage : *stages) {
                for (double c : stage.components) {
                    ASSERT_TRUE(std::isfinite(c)) << trial;
                    ASSERT_GE(c, 0.0) << trial;
                }
                for (const HourlyQuantities& q : stage.traffic.hourly)
                    for (const Hours* hours : {&q.queuedServed, &q.queuedArrivals, &q.queueSpeed,
                                               &q.queueLength, &q.queueDelay})
                        for (double x : *hours) ASSERT_TRUE(std::isfinite(x)) << trial;
            }
        for (double count : run.asphaltTreatmentCount) ASSERT_TRUE(std::isfinite(count));

        // The report prints every input, also those that no computation read.
        ApplyTreatmentCounts(run, p);
        std::string report = BuildReport(p, run.results, 0).bytes;
        std::ranges::replace(report, '\r', '\t');
        std::ranges::replace(report, '\n', '\t');
        std::istringstream cells(report);
        for (std::string cell; std::getline(cells, cell, '\t');)
            for (const char* word : {"nan", "-nan", "inf", "-inf"})
                ASSERT_NE(cell, word) << "in trial " << trial;
    }
    EXPECT_GT(accepted, 300);
}

// A queue never shortens a trip: no hour counts a negative queue length or delay, so no user
// cost is negative, and a project that never met such an hour keeps its costs to the dollar.
TEST(Analysis, QueuesNeverShortenATripAndOtherwiseNothingChanged) {
    std::istringstream in(DataFile("queued-projects.txt"));
    int kept = 0;
    for (std::string line; std::getline(in, line);) {
        const std::size_t bar = line.find(" | ");
        if (line.empty() || line[0] == '#' || bar == std::string::npos) continue;
        std::istringstream assignments(line.substr(0, bar)), rest(line.substr(bar + 3));
        std::vector<std::string> sets;
        for (std::string a; assignments >> a;) sets.push_back(a);
        Four asphalt, concrete;
        for (double& v : asphalt) rest >> v;
        for (double& v : concrete) rest >> v;
        std::string mark;
        for (std::string word; rest >> word;) mark = word;

        const AnalysisResult run = Analyse(ProjectWith(sets));
        for (const auto* stages : {&run.asphaltStages, &run.concreteStages})
            for (const StageBreakdown& stage : *stages) {
                for (double c : stage.components) EXPECT_GE(c, 0.0) << line;
                for (const HourlyQuantities& q : stage.traffic.hourly)
                    for (int h = 0; h < 24; ++h)
                        EXPECT_TRUE(q.queueLength[h] >= 0.0 && q.queueDelay[h] >= 0.0) << line;
            }
        if (mark == "negative") continue;
        ++kept;
        EXPECT_EQ(run.results.asphaltUser, asphalt) << line;
        EXPECT_EQ(run.results.concreteUser, concrete) << line;
    }
    EXPECT_GE(kept, 50);
}
