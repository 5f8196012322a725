#include "engine/Analysis.h"
#include "CoreTestSupport.h"
#include "model/SavedFields.h"
#include "report/Report.h"

#include <cmath>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <random>

using namespace velmora;
using namespace velmora::test;

namespace {

using Four = std::array<double, 4>;

using namespace PavementOption;

} // namespace

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
            p.asphaltMaintenance[0] = p.concreteMaintenance[0] = {"Sealing", 1.0, 1000.0, 10, 0};
            for (int k = 0; k < 4; ++k) p.asphaltStage[k].year = p.concreteStage[k].year = 0.0;
            (option == Asphalt ? p.asphaltStage[stage].year : p.concreteStage[stage].year) = 80.0;
            const AnalysisResult run = Analyse(p);
            EXPECT_TRUE(run.option[option].gridlock && !run.option[1 - option].gridlock);
            EXPECT_EQ(run.results[option].user, Four{});
            EXPECT_EQ(run.results[option].total, 1649.0); // the maintenance stays
            EXPECT_GT(run.results[1 - option].userSubtotal, 0.0);
        }
    }
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
    ProjectData p = ProjectWith(Words("terrain=9 wzLength=1.5 speedLimit=0 wzSpeedLimit=0 "
                                      "concreteStage[2].daysToComplete=1e12 aadt=1e10"));
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

// Random records, from values at the edges of what the hand-off accepts
// (tests/data/edge-values.txt) to values only a damaged file holds: a run the hand-off lets through
// gives finite numbers everywhere, and the report, which prints every input, shows no "nan" or
// "inf".
TEST(Analysis, EveryResultOfAnAcceptedRunIsFinite) {
    std::map<std::string, std::vector<double>> edges;
    for (const auto& [suffix, values] : DataCases("edge-values.txt")) {
        std::istringstream in(values);
        edges[suffix].assign(std::istream_iterator<double>(in), {});
    }
    const double junk[] = {NAN, INFINITY, -INFINITY, 1e300, -1e300, -1.0, 1e9 + 1.0};
    std::mt19937_64 rng(20240601);
    int accepted = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        ProjectData p;
        ForEachSavedField(p, [&](const FieldName& name, auto& field) {
            using T = std::decay_t<decltype(field)>;
            if constexpr (!std::is_same_v<T, std::string>) {
                if (rng() % 4 == 0) return; // keep the default
                const std::vector<double>* values = &edges.at("*");
                for (const auto& [suffix, list] : edges)
                    if (name.str().ends_with(suffix)) values = &list;
                double value = (*values)[rng() % values->size()];
                if (trial % 3 == 0 && rng() % 41 == 0) value = junk[rng() % std::size(junk)];
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
        ApplyTreatmentCounts(run, p); // as the results form does before the report
        const std::string report = BuildReport(p, run.results, 0).bytes;
        for (const char* word : {"\tnan", "\t-nan", "\tinf", "\t-inf"})
            ASSERT_EQ(report.find(word), std::string::npos) << trial;
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
