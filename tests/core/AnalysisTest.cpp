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

using namespace PavementOption;

AnalysisResult Analyse(ProjectData p) {
    const HandOff handOff = PrepareAnalysis(p);
    EXPECT_TRUE(handOff.ok()) << handOff.refusal.caption << ": " << handOff.refusal.text;
    return RunAnalysis(p);
}

} // namespace

TEST(Analysis, DefaultProjectGives217And352) {
    const AnalysisResult run = Analyse(ProjectData{});
    EXPECT_EQ(run.results[Asphalt].user, (Four{88, 57, 40, 32}));
    EXPECT_EQ(run.results[Concrete].user, (Four{88, 88, 88, 88}));
    EXPECT_EQ(run.results[Asphalt].total + run.results[Concrete].total, 217.0 + 352.0);

    // Light traffic queues nowhere: only the reduced speed and the speed change cost anything.
    using namespace UserCostComponent;
    const UserCostComponents& c = run.option[Asphalt].userComponents[0];
    EXPECT_EQ(c[QueueDelay] + c[QueueIdling] + c[QueueStopTime] + c[QueueStopCost], 0.0);
    EXPECT_NEAR(c[WorkZoneSpeed], 48.51, 0.005);
    EXPECT_NEAR(c[SpeedChangeTime], 15.74, 0.005);
    EXPECT_NEAR(c[SpeedChangeCost], 23.98, 0.005);
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
    EXPECT_EQ(run.results[Concrete].user, (Four{88, 176, 265, 0}));
    EXPECT_EQ(run.results[Asphalt].user, (Four{88, 57, 80, 32}));
}

TEST(Analysis, AGridlockedOptionKeepsAgencyAndMaintenanceOnly) {
    ProjectData p;
    p.aadt = 200000.0; // above the closure capacity in every hour
    p.hmaWearingPrice = 50.0;
    p.asphaltStage[0].wearingThickness = 2.0;
    p.concreteMaintenance[0] = {"Joint resealing", 1.0, 1000.0, 10, 0.0};
    AnalysisResult run = Analyse(p);
    EXPECT_TRUE(run.option[Asphalt].gridlock && run.option[Concrete].gridlock);
    EXPECT_EQ(run.results[Asphalt].user, Four{});
    EXPECT_EQ(run.results[Asphalt].total, 102080.0);
    EXPECT_EQ(run.results[Concrete].total, 1649.0);
}

// No user cost is taken from a queue that never settles, whichever stage of an option it is in:
// the other stages settle, and the other option keeps its user costs.
TEST(Analysis, AGridlockInAnyOneStageGridlocksItsOptionOnly) {
    for (int stage = 0; stage < 4; ++stage) {
        for (int option : {Asphalt, Concrete}) {
            SCOPED_TRACE(testing::Message() << option << " stage " << stage);
            // 5000 vehicles a day settle at year 0; 80 years on at 5 % growth they never do.
            ProjectData p;
            p.aadt = 5000.0;
            p.trafficGrowth = 5.0;
            for (int k = 0; k < 4; ++k) p.asphaltStage[k].year = p.concreteStage[k].year = 0.0;
            (option == Asphalt ? p.asphaltStage[stage].year : p.concreteStage[stage].year) = 80.0;
            const AnalysisResult run = Analyse(p);
            EXPECT_TRUE(run.option[option].gridlock && !run.option[1 - option].gridlock);
            EXPECT_EQ(run.results[option].user, Four{});
            EXPECT_GT(run.results[1 - option].userSubtotal, 0.0);
        }
    }
}

TEST(Analysis, MaintenanceCountsComeBackOnlyWhenApplied) {
    ProjectData p;
    p.asphaltMaintenance[0] = {"Crack sealing", 1.0, 1000.0, 10, 99.0};
    const AnalysisResult run = Analyse(p);
    EXPECT_EQ(run.results[Asphalt].total, 217.0 + 1649.0);
    EXPECT_EQ(run.option[Asphalt].treatmentCount, (Four{4, 0, 0, 0}));
    EXPECT_TRUE(ApplyTreatmentCounts(run, p));
    EXPECT_EQ(p.asphaltMaintenance[0].treatmentCount, 4.0);
}

TEST(Analysis, RefusalsNameTheFieldAndStopTheRun) {
    const std::vector<RefusalCase> cases = RefusalCases();
    ASSERT_GE(cases.size(), 70u);
    for (const RefusalCase& c : cases) {
        ProjectData p = ProjectWith(c.assignments);
        const HandOff handOff = PrepareAnalysis(p);
        ASSERT_FALSE(handOff.ok()) << c.text;
        EXPECT_EQ(handOff.refusal.caption, c.caption);
        EXPECT_EQ(handOff.refusal.text, c.text);
    }

    // Equal lengths and speeds pass; the stage flags are rewritten even when the run stops.
    ProjectData p;
    p.speedLimit = p.wzSpeedLimit = 40.0;
    EXPECT_TRUE(PrepareAnalysis(p).ok());
    p.wzLength = 2.0;
    p.rehabWzInclusion = WzInclusion::Exclude;
    ASSERT_FALSE(PrepareAnalysis(p).ok());
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
    EXPECT_FALSE(PrepareAnalysis(p).ok());
    // A damaged switch counts as Exclude.
    for (std::int32_t off : {std::int32_t{WzInclusion::Exclude}, 2}) {
        p.initialWzInclusion = p.rehabWzInclusion = off;
        ASSERT_TRUE(PrepareAnalysis(p).ok());
        const AnalysisResult run = RunAnalysis(p);
        EXPECT_FALSE(run.option[Asphalt].gridlock || run.option[Concrete].gridlock);
        EXPECT_EQ(run.results[Asphalt].total + run.results[Concrete].total, 0.0);
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
        {"Timing", {0.0, 1.0, -4.0}}};
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
        if (!PrepareAnalysis(p).ok()) continue;
        ++accepted;
        const AnalysisResult run = RunAnalysis(p);
        ForEachCostResult(run.results, [&](const std::string& name, double value) {
            ASSERT_TRUE(std::isfinite(value)) << name << " in trial " << trial;
            ASSERT_TRUE(value >= 0.0 || name.find("User") == std::string::npos) << name << trial;
        });

        // The report prints every input, also those that no computation read.
        ApplyTreatmentCounts(run, p);
        std::string report = BuildReport(p, run.results, 0).bytes;
        std::ranges::replace(report, '\r', '\t');
        std::ranges::replace(report, '\n', '\t');
        for (const char* word : {"\tnan\t", "\t-nan\t", "\tinf\t", "\t-inf\t"})
            ASSERT_EQ(("\t" + report + "\t").find(word), std::string::npos) << trial;
    }
    EXPECT_GT(accepted, 300);
}

// A queue never shortens a trip: no hour counts a negative queue length or delay, so no user
// cost is negative, and a project that never met such an hour keeps its costs to the dollar.
TEST(Analysis, QueuesNeverShortenATripAndOtherwiseNothingChanged) {
    int kept = 0;
    for (const auto& [assignments, figures] : DataCases("queued-projects.txt")) {
        std::istringstream rest(figures);
        Four asphalt, concrete;
        for (double& v : asphalt) rest >> v;
        for (double& v : concrete) rest >> v;
        std::string mark;
        for (std::string word; rest >> word;) mark = word;
        SCOPED_TRACE(assignments + " | " + figures);
        const AnalysisResult run = Analyse(ProjectWith(Words(assignments)));
        for (const OptionRun& option : run.option)
            for (const UserCostComponents& stage : option.userComponents)
                for (double c : stage) EXPECT_GE(c, 0.0);
        if (mark == "negative") continue;
        ++kept;
        EXPECT_EQ(run.results[Asphalt].user, asphalt);
        EXPECT_EQ(run.results[Concrete].user, concrete);
    }
    EXPECT_GE(kept, 50);
}
