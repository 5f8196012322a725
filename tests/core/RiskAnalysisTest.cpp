#include "risk/RiskAnalysis.h"
#include "CoreTestSupport.h"
#include "risk/ParallelFor.h"
#include "risk/RankCorrelation.h"
#include "risk/RiskExport.h"

#include <cmath>
#include <gtest/gtest.h>
#include <thread>

using namespace velmora;
using namespace velmora::risk;
using namespace velmora::test;

namespace {

// Without user costs the asphalt total is the agency cost of the initial construction, linear in
// the wearing course price but for the rounding to whole dollars; the concrete total is 0.
ProjectData LinearProject() {
    ProjectData p;
    p.initialWzInclusion = p.rehabWzInclusion = WzInclusion::Exclude;
    p.asphaltStage[0].wearingThickness = 2.0;
    p.hmaWearingPrice = 50.0;
    return p;
}

const std::string kWearingPrice =
    R"({"field": "hmaWearingPrice", "distribution": "uniform", "min": 40, "max": 60})";

double AsphaltTotal(const ProjectData& p) {
    return Analyse(p).results[PavementOption::Asphalt].total;
}

// The linear project's total at a wearing course price of 40, and its rise per dollar.
std::pair<double, double> LinearTotal() {
    ProjectData at = LinearProject();
    at.hmaWearingPrice = 40.0;
    const double low = AsphaltTotal(at);
    at.hmaWearingPrice = 60.0;
    return {low, (AsphaltTotal(at) - low) / 20.0};
}

} // namespace

TEST(RiskAnalysis, ALinearTotalHasTheAnalyticalMeanAndVariance) {
    const auto [low, slope] = LinearTotal();
    const double mean = low + 10.0 * slope, variance = slope * slope * 400.0 / 12.0;

    const int n = 20000;
    const RiskAnalysis a = Simulate(
        LinearProject(), Definitions(kWearingPrice, R"("iterations": 20000, "sampling": "mc",)"));
    const Statistics& total = a.statistics[ResultIndex("asphaltTotal")];
    ASSERT_EQ(total.count, n);
    EXPECT_NEAR(total.mean, mean, 4.0 * std::sqrt(variance / n));
    // The variance of a uniform sample's variance is 0.8 sigma^4 / n.
    EXPECT_NEAR(total.sd * total.sd, variance, 4.0 * variance * std::sqrt(0.8 / n));
    EXPECT_EQ(a.difference.mean, total.mean);
    // The total rises with the price; the concrete total, always 0, has no rank correlation.
    EXPECT_GT(a.rankCorrelations[0].asphaltTotal, 0.9999);
    EXPECT_TRUE(std::isnan(a.rankCorrelations[0].concreteTotal));
}

// Every uncertain field of every iteration is written from its sample, and everything the
// hand-off and the analysis rewrite is recomputed, so samples of the project's own values give
// the deterministic results exactly, iteration by iteration.
TEST(RiskAnalysis, ZeroWidthDistributionsGiveTheDeterministicResultEveryTime) {
    const RiskDefinitions d = ParseRiskDefinitions(DataFile("risk-zero-width.json")).definitions;
    ASSERT_EQ(d.inputs.size(), 20u);
    const RiskAnalysis a = Simulate(HeavyPricedProject(), d);
    ASSERT_FALSE(a.deterministicRefusal);
    const auto expected = ResultValues(a.deterministic);
    for (std::size_t i = 0; i < 300; ++i) {
        ASSERT_EQ(a.outcome[i], 0) << i;
        for (std::size_t r = 0; r < kResultCount; ++r)
            ASSERT_EQ(a.results[r][i], expected[r])
                << ResultNames()[r] << " in iteration " << i + 1;
    }
    for (std::size_t r = 0; r < kResultCount; ++r)
        EXPECT_EQ(a.statistics[r].percentiles[0].value, expected[r]);
}

TEST(RiskAnalysis, LatinHypercubeNarrowsTheMeanMoreThanMonteCarlo) {
    auto spreadOfMeans = [](const char* sampling) {
        std::vector<double> means;
        for (int seed = 1; seed <= 12; ++seed) {
            const RiskAnalysis a =
                Simulate(LinearProject(),
                         Definitions(kWearingPrice,
                                     std::string(R"("iterations": 200, "sampling": ")") + sampling +
                                         R"(", "seed": )" + std::to_string(seed) + ","));
            means.push_back(a.statistics[ResultIndex("asphaltTotal")].mean);
        }
        return Describe(means).sd;
    };
    EXPECT_LT(spreadOfMeans("lhs"), spreadOfMeans("mc") / 10.0);

    // Each input takes every stratum once, in an order of its own: inputs that share an order
    // would move together, which nothing in the definitions asked for.
    const RiskAnalysis a = Simulate(
        LinearProject(),
        Definitions(kWearingPrice + R"(, {"field": "hmaBinderPrice", "distribution": "uniform",
                                          "min": 0, "max": 1})",
                    R"("iterations": 400,)"));
    std::vector<bool> stratum(400);
    for (double v : a.inputs[1]) stratum[static_cast<std::size_t>(v * 400)] = true;
    EXPECT_EQ(std::ranges::count(stratum, true), 400);
    EXPECT_NEAR(Spearman(a.inputs[0], a.inputs[1]), 0.0, 0.15);
}

// On the heavy project some iterations gridlock the asphalt option.
TEST(RiskAnalysis, RequestedRanksAreMetAndAnyNumberOfThreadsGivesTheSameBytes) {
    const ProjectData p = HeavyPricedProject();
    // Three rank correlations among five inputs, without settings (tests/data).
    const std::string definitions = DataFile("risk-correlated.json");
    for (const std::string settings : {R"("iterations": 2500, "seed": 7,)",
                                       R"("seed": 7, "precision": 1, "maxIterations": 2500,)",
                                       R"("iterations": 2500, "seed": 7, "sampling": "mc",)"}) {
        const ParsedDefinitions parsed =
            ParseRiskDefinitions("{" + settings + definitions.substr(1));
        ASSERT_TRUE(parsed.ok()) << parsed.error;
        const RiskDefinitions& d = parsed.definitions;
        const RiskAnalysis one = Simulate(p, d, {1});
        ASSERT_EQ(one.iterations, 2500);
        EXPECT_FALSE(one.precisionReached);
        ASSERT_GT(one.asphaltGridlock.successes, 0);
        const auto& x = one.inputs;
        EXPECT_NEAR(Spearman(x[0], x[1]), 0.8, 0.05) << settings;
        EXPECT_NEAR(Spearman(x[2], x[0]), -0.5, 0.05) << settings;
        EXPECT_NEAR(Spearman(x[3], x[2]), 0.3, 0.05) << settings;
        EXPECT_NEAR(Spearman(x[1], x[3]), 0.0, 0.05) << settings;
        for (unsigned threads : {2u, 3u}) {
            const RiskAnalysis more = Simulate(p, d, {threads});
            EXPECT_EQ(RiskAnalysisJson(more).dump(), RiskAnalysisJson(one).dump()) << settings;
            EXPECT_EQ(SamplesCsv(more), SamplesCsv(one)) << settings;
        }
        const nlohmann::ordered_json j = RiskAnalysisJson(one);
        const auto& total = j["statistics"]["asphaltTotal"];
        EXPECT_EQ(total["euac"]["mean"], total["mean"].get<double>() * one.capitalRecoveryFactor);
        EXPECT_EQ(j["statistics"]["totalDifference"]["percentiles"]["50"]["value"],
                  one.difference.percentiles[3].value);
        EXPECT_EQ(j["asphaltCheaperProbability"]["count"], one.difference.count);
        EXPECT_EQ(j["deterministic"]["concreteTotal"],
                  one.deterministic[PavementOption::Concrete].total);
    }
}

// The reordering shares its steps among threads once a block is large enough to split.
TEST(RiskAnalysis, CorrelatedColumnsAreReorderedAlikeOnAnyNumberOfThreads) {
    const std::string uniform = R"("distribution": "uniform", "min": 0, "max": 1})";
    const CorrelationPlan plan = PlanCorrelations(Definitions(
        R"({"field": "hmaWearingPrice", )" + uniform + R"(, {"field": "hmaBinderPrice", )" +
            uniform + R"(, {"field": "hmaBasePrice", )" + uniform,
        "",
        R"({"fields": ["hmaWearingPrice", "hmaBinderPrice"], "rank": 0.8},
           {"fields": ["hmaBasePrice", "hmaWearingPrice"], "rank": -0.5})"));
    const std::size_t n = 20000;
    auto reorder = [&](unsigned threads) {
        std::vector<std::vector<double>> columns(3, std::vector<double>(n));
        std::vector<double*> pointers;
        for (std::vector<double>& column : columns) {
            for (std::size_t t = 0; t < n; ++t) column[t] = static_cast<double>(t * 7919 % n);
            pointers.push_back(column.data());
        }
        std::vector<RankingScratch> scratch(threads);
        ImposeRankCorrelation(plan, pointers, n, 5, 1000, scratch);
        return columns;
    };
    const auto one = reorder(1);
    EXPECT_NEAR(Spearman(one[0], one[1]), 0.8, 0.02);
    for (unsigned threads : {2u, 3u}) EXPECT_EQ(reorder(threads), one) << threads;
}

TEST(RiskAnalysis, RefusedAndGridlockedIterationsAreCountedAndLeftOut) {
    // A work zone longer than the one-mile project is refused; heavy traffic gridlocks.
    const RiskAnalysis a = Simulate(ProjectData{}, Definitions(R"(
      {"field": "wzLength", "distribution": "uniform", "min": 0.5, "max": 1.5},
      {"field": "aadt", "distribution": "uniform", "min": 100, "max": 200000})",
                                                               R"("iterations": 2000,)"));
    std::int64_t refused = 0, asphalt = 0, both = 0, first = 0;
    for (std::size_t i = 0; i < a.outcome.size(); ++i) {
        const bool r = a.outcome[i] & kRefused;
        EXPECT_EQ(r, a.inputs[0][i] > 1.0);
        EXPECT_EQ(r, std::isnan(a.results[0][i]));
        if (r && !first) first = static_cast<std::int64_t>(i) + 1;
        refused += r;
        asphalt += (a.outcome[i] & kAsphaltGridlock) != 0;
        both += a.outcome[i] == 0;
    }
    EXPECT_NEAR(refused, 1000, 40);
    EXPECT_GT(asphalt, 100);
    ASSERT_EQ(a.refusals.size(), 1u);
    EXPECT_EQ(a.refusals[0].refusal.text,
              "Please adjust either work zone or project length, or both.");
    EXPECT_EQ(std::tuple(a.refusedIterations, a.refusals[0].count, a.refusals[0].firstIteration),
              std::tuple(refused, refused, first));
    EXPECT_EQ(std::tuple(a.asphaltGridlock.count, a.asphaltGridlock.successes,
                         a.statistics[ResultIndex("asphaltTotal")].count, a.difference.count,
                         a.asphaltCheaper.count),
              std::tuple(2000 - refused, asphalt, 2000 - refused - asphalt, both, both));

    const std::string csv = SamplesCsv(a);
    const std::size_t row = csv.find("\n" + std::to_string(first) + ",");
    const std::string line = csv.substr(row + 1, csv.find('\n', row + 1) - row - 1);
    EXPECT_TRUE(line.ends_with(std::string(24, ',') + ",0,0,1")) << line;
}

TEST(RiskAnalysis, APrecisionRunStopsAtTheFirstBlockThatMeetsIt) {
    // About 3,500 iterations reach it.
    const double precision = 1.96 * LinearTotal().second * 20.0 / std::sqrt(12.0 * 3500.0);
    const RiskAnalysis a = Simulate(
        LinearProject(), Definitions(kWearingPrice, R"("sampling": "mc", "maxIterations": 100000,
                                                  "precision": )" +
                                                        ShortNumber(precision) + ","));
    ASSERT_TRUE(a.precisionReached);
    ASSERT_EQ(a.iterations % 1000, 0);
    EXPECT_LT(a.halfWidth, precision);
    const std::vector<double>& total = a.results[ResultIndex("asphaltTotal")];
    std::vector<double> before(total.begin(), total.end() - 1000);
    const double earlier = 1.959963984540054 * Describe(before).sd / std::sqrt(before.size());
    EXPECT_GE(earlier, precision) << "the run went on after meeting the precision";
}

TEST(RiskAnalysis, ACancelledRunKeepsNothing) {
    SimulationControl control;
    std::jthread canceller([&] {
        while (control.iterationsDone == 0) std::this_thread::yield();
        control.cancel = true;
    });
    const RiskAnalysis cancelled = RunRiskAnalysis(
        ProjectData{}, Definitions(kWearingPrice, R"("iterations": 200000,)"), {2, &control});
    EXPECT_TRUE(cancelled.cancelled && cancelled.outcome.empty() && cancelled.inputs.empty());
    EXPECT_EQ(cancelled.iterations, 0);
    EXPECT_LT(control.iterationsDone, 200000);
}

// A worker that runs out of memory must not end the program: the first failure of any thread
// reaches the caller once the others have stopped.
TEST(RiskAnalysis, AFailureOnAnyThreadReachesTheCaller) {
    std::atomic<int> ran{0};
    EXPECT_THROW(ParallelFor(2, 10000, 1,
                             [&](std::size_t i, unsigned worker) {
                                 ++ran;
                                 // Wait until the second thread has work of its own.
                                 if (worker == 1 || i > 5000) throw std::bad_alloc();
                             }),
                 std::bad_alloc);
    EXPECT_LT(ran, 10000);
}

TEST(RiskAnalysis, SwingsRunEachInputAtItsTenthAndNinetiethPercentile) {
    ProjectData p = LinearProject();
    p.hmaBinderPrice = 50.0;
    p.asphaltStage[0].binderThickness = 1.0;
    const RiskAnalysis a = Simulate(p, Definitions(kWearingPrice + R"(,
      {"field": "hmaBinderPrice", "distribution": "uniform", "min": 45, "max": 55},
      {"field": "hmaBasePrice", "distribution": "uniform", "min": 0, "max": 5})",
                                                   R"("iterations": 100,)"));
    ASSERT_EQ(a.swings.size(), 3u);
    EXPECT_EQ(a.swings[0].field, "hmaWearingPrice");
    EXPECT_EQ(a.swings[1].field, "hmaBinderPrice");
    EXPECT_EQ(a.swings[2].width, 0.0); // no base course to price
    EXPECT_EQ(std::pair(a.swings[0].low, a.swings[0].high), std::pair(42.0, 58.0));
    ProjectData high = p, low = p;
    high.hmaWearingPrice = 58.0;
    low.hmaBinderPrice = 46.0;
    EXPECT_EQ(a.swings[0].differenceAtHigh, AsphaltTotal(high));
    EXPECT_EQ(a.swings[1].differenceAtLow, AsphaltTotal(low));
}
