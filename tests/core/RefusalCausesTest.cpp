#include "risk/RefusalCauses.h"
#include "CoreTestSupport.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::risk;

namespace {

RiskAnalysis Simulate(const std::string& inputs, int iterations) {
    return test::Simulate(
        {}, test::Definitions(inputs, R"("iterations": )" + std::to_string(iterations) + ","));
}

// Prices and traffic move every result but never make Compute Costs refuse a project.
const std::string kUnrelated = R"(
    {"field": "hmaWearingPrice", "distribution": "uniform", "min": 40, "max": 60},
    {"field": "aadt", "distribution": "uniform", "min": 100, "max": 20000})";

} // namespace

// A work zone longer than the one-mile project is refused: the work zone length is named, with
// the upper part of its range, and the inputs that play no part are not; also when its range
// passes the project's length so little that only ten iterations in 5,000 are refused.
TEST(RefusalCauses, NameTheInputWhoseRangeReachesWhatComputeCostsRefuses) {
    for (const auto& [wzMax, iterations] : {std::pair(1.5, 2000), std::pair(1.001, 5000)}) {
        const RiskAnalysis a = Simulate(
            kUnrelated +
                R"(, {"field": "wzLength", "distribution": "uniform", "min": 0.5, "max": )" +
                ShortNumber(wzMax) + "}",
            iterations);
        ASSERT_GT(a.refusedIterations, 0) << wzMax;
        const std::vector<RefusalCause> causes = RefusalCauses(a);
        ASSERT_EQ(causes.size(), 1u)
            << wzMax << ": " << (causes.empty() ? "" : causes.back().field);
        EXPECT_EQ(causes[0].field, "wzLength");
        EXPECT_GT(causes[0].low, 1.0) << wzMax;
        EXPECT_LE(causes[0].high, wzMax);
        EXPECT_GT(causes[0].high, 1.0 + 0.5 * (wzMax - 1.0)) << wzMax;
    }
}

// Two causes, the one that refuses more clearly first, each with the part of its range that
// only refused iterations reach; cut at `most`; nothing when nothing or everything was refused.
TEST(RefusalCauses, RankTheCausesAndNameNoneWithoutAContrast) {
    // A project speed limit below the work zone's 40 mph is refused as well.
    const RiskAnalysis two = Simulate(kUnrelated + R"(,
      {"field": "speedLimit", "distribution": "uniform", "min": 30, "max": 60},
      {"field": "wzLength", "distribution": "uniform", "min": 0.5, "max": 1.5})",
                                      3000);
    const std::vector<RefusalCause> causes = RefusalCauses(two);
    ASSERT_EQ(causes.size(), 2u);
    EXPECT_EQ(causes[0].field, "wzLength");
    // Refused for its speed limit, a work zone just below the longest accepted one may start it.
    EXPECT_GT(causes[0].low, 0.99);
    EXPECT_EQ(causes[1].field, "speedLimit");
    EXPECT_LT(causes[1].high, 40.0);
    EXPECT_LT(causes[1].low, 30.1);
    ASSERT_EQ(RefusalCauses(two, 1).size(), 1u);

    EXPECT_TRUE(RefusalCauses(Simulate(kUnrelated, 500)).empty());
    const RiskAnalysis all = Simulate(
        kUnrelated + R"(, {"field": "wzLength", "distribution": "uniform", "min": 2, "max": 3})",
        500);
    EXPECT_EQ(all.refusedIterations, 500);
    EXPECT_TRUE(RefusalCauses(all).empty());
}
