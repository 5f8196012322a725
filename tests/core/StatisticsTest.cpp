#include "risk/Statistics.h"
#include "CoreTestSupport.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <compare>
#include <gtest/gtest.h>
#include <limits>
#include <numeric>

using namespace velmora::risk;
using velmora::test::Spearman;

// Bounds from the binomial distribution, as the tables of distribution-free confidence intervals
// give them (tests/data/percentile-bounds.txt).
TEST(Statistics, PercentileBoundsAreTheTabledOrderStatistics) {
    for (const auto& [asked, bounds] : velmora::test::DataCases("percentile-bounds.txt")) {
        std::istringstream in(asked + " " + bounds);
        std::int64_t n = 0, lower = 0, upper = 0;
        double p = 0.0;
        in >> n >> p >> lower >> upper;
        EXPECT_EQ(PercentileBounds(n, p), std::pair(lower, upper)) << asked;
    }
    // A million iterations: about 1.96 standard deviations (490) either side of the median rank.
    const auto [lower, upper] = PercentileBounds(1000000, 0.5);
    EXPECT_NEAR(lower, 500000 - 980, 2);
    EXPECT_NEAR(upper, 500001 + 980, 2);
}

TEST(Statistics, DescribeGivesSpreadsheetPercentilesAndCountsEveryValue) {
    std::vector<double> values(100);
    std::iota(values.rbegin(), values.rend(), 1.0); // 100 down to 1
    const Statistics s = Describe(values);
    EXPECT_EQ(std::tuple(s.count, s.mean, s.min, s.max), std::tuple(100, 50.5, 1.0, 100.0));
    EXPECT_DOUBLE_EQ(s.sd, std::sqrt(100.0 * 101 / 12));
    const double expected[] = {5.95, 10.9, 25.75, 50.5, 75.25, 90.1, 95.05}; // PERCENTILE.INC
    for (std::size_t k = 0; k < kPercents.size(); ++k)
        EXPECT_NEAR(s.percentiles[k].value, expected[k], 1e-12) << kPercents[k];
    EXPECT_EQ(std::pair(s.percentiles[3].lower, s.percentiles[3].upper), std::pair(40.0, 61.0));
    EXPECT_EQ(std::accumulate(s.histogram.counts.begin(), s.histogram.counts.end(), 0), 100);
    EXPECT_EQ(s.histogram.counts.front(), 3); // 1, 2, 3 lie below 1 + 99 / 40
    EXPECT_EQ(s.histogram.counts.back(), 3);  // and 98, 99, 100 in the last bin

    std::vector<double> one{7};
    const Statistics single = Describe(one);
    EXPECT_EQ(single.percentiles[6].value, 7);
    EXPECT_TRUE(std::isnan(single.sd) && std::isnan(single.percentiles[3].lower));
}

TEST(Statistics, WilsonIntervalsRanksAndCapitalRecovery) {
    const Proportion half = WilsonInterval(50, 100);
    EXPECT_NEAR(half.lower, 0.40383, 1e-5);
    EXPECT_NEAR(half.upper, 0.59617, 1e-5);
    const Proportion none = WilsonInterval(0, 20);
    EXPECT_EQ(none.value + none.lower, 0);
    EXPECT_NEAR(none.upper, 0.16113, 1e-5);
    EXPECT_TRUE(std::isnan(WilsonInterval(0, 0).value));

    // Spearman's rho with shared ranks: x ranks 1 2 3.5 5 3.5, y ranks 1 2 3 4 5.
    EXPECT_NEAR(Spearman({5, 6, 7, 8, 7}, {1, 2, 3, 4, 5}), 8 / std::sqrt(10 * 9.5), 1e-15);
    EXPECT_NEAR(Spearman({3, 1, 2}, {-1, 9, 4}), -1.0, 1e-15);
    EXPECT_TRUE(std::isnan(Spearman({1, 2, 3}, {5, 5, 5})));

    // 4 % over 40 years: 0.04 x 1.04^40 / (1.04^40 - 1).
    EXPECT_NEAR(CapitalRecoveryFactor(4, 40), 0.0505235, 1e-7);
    EXPECT_EQ(CapitalRecoveryFactor(0, 40), 1.0 / 40);
    EXPECT_TRUE(std::isnan(CapitalRecoveryFactor(4, 0)));
}

// The summary ranks every input once over all iterations and correlates it with figures that
// each leave out rows of their own; that must give the very bits of ranking each figure's rows
// on their own, ties included.
TEST(Statistics, RankingOverKeptRowsGivesTheBitsOfRankingThoseRowsAlone) {
    const std::size_t n = 3000;
    std::vector<double> x(n), y(n);
    std::vector<std::uint8_t> flags(n);
    for (std::size_t i = 0; i < n; ++i) {
        x[i] = static_cast<double>(i * 7919 % 61);
        y[i] = static_cast<double>(i * 104729 % 83) - 40.0;
        flags[i] = static_cast<std::uint8_t>(i * 31 % 7);
        if (flags[i] & 1) x[i] = y[i] = std::nan("");
    }
    RankingScratch scratch;
    std::vector<RankedFigure> figures;
    const std::uint8_t leaveOut[] = {1, 3, 5, 7};
    for (std::uint8_t bits : leaveOut)
        figures.push_back(RankFigure(y, {flags.data(), bits}, scratch));
    std::vector<double> rho(figures.size());
    SpearmanCorrelations(x, figures.data(), figures.size(), rho.data(), scratch);
    for (std::size_t f = 0; f < figures.size(); ++f) {
        const KeptRows kept{flags.data(), leaveOut[f]};
        std::vector<double> keptX, keptY;
        for (std::size_t i = 0; i < n; ++i)
            if (kept(i)) keptX.push_back(x[i]), keptY.push_back(y[i]);
        const RankedFigure alone = RankFigure(keptY, {}, scratch);
        for (std::size_t i = 0, k = 0; i < n; ++i)
            if (kept(i)) {
                ASSERT_EQ(figures[f].places[i], alone.places[k++]) << f;
            }
        double expected = 0.0;
        SpearmanCorrelations(keptX, &alone, 1, &expected, scratch);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(rho[f]), std::bit_cast<std::uint64_t>(expected));
    }
}

// Correlated inputs have their samples sorted by radix; the bits must be those std::sort
// leaves, negative values, infinities, ties and a zero included, or both zeros at once.
TEST(Statistics, SortValuesLeavesTheBitsOfAComparisonSort) {
    const double infinity = std::numeric_limits<double>::infinity();
    std::vector<double> spread;
    for (int i = 0; i < 1000; ++i) spread.push_back((i * 7919 % 1000 - 500) * 1e-3 * (i % 7 + 1));
    for (std::vector<double> values :
         {spread,
          {3.5, -1.0, 0.0, -7.25, 3.5, infinity, -infinity, 1e-310, -1e-300},
          {0.0, -0.0, 2.0, -0.0, 0.0, -1.0}}) {
        std::vector<double> expected = values;
        std::ranges::sort(expected);
        RankingScratch scratch;
        SortValues(values, scratch);
        for (std::size_t i = 0; i < values.size(); ++i)
            ASSERT_EQ(std::bit_cast<std::uint64_t>(values[i]),
                      std::bit_cast<std::uint64_t>(expected[i]))
                << i;
    }
}

// Percentiles are picked by radix: on skewed data, with ties, negative values and far outliers
// that crowd everything else into one bucket, they must be the order statistics of a full sort.
TEST(Statistics, PercentilesAreTheOrderStatisticsOfSkewedData) {
    std::vector<double> values;
    for (int i = 0; i < 50000; ++i) {
        const double x = (1000.0 + (i * 7919 % 50000) * 1e-6) * (i % 5 == 0 ? -1 : 1);
        values.push_back(i % 997 == 0 ? 1e15 : i % 4 == 0 ? std::round(x * 100.0) / 100.0 : x);
    }
    std::vector<double> sorted = values;
    std::ranges::sort(sorted);
    const Statistics s = Describe(values);
    for (const PercentileEstimate& e : s.percentiles) {
        const double position = (sorted.size() - 1) * e.percent / 100.0;
        const auto below = static_cast<std::size_t>(position);
        EXPECT_EQ(e.value,
                  sorted[below] + (position - below) * (sorted[below + 1] - sorted[below]));
        const auto [lower, upper] = PercentileBounds(s.count, e.percent / 100.0);
        EXPECT_EQ(std::pair(e.lower, e.upper), std::pair(sorted[lower - 1], sorted[upper - 1]));
    }
}

// The radix sort sorts by the highest differing digits only, then sorts apart the runs that
// agree on them: the order must still be the stable one, equal values in the order given.
TEST(Statistics, AscendingOrderIsTheStableOrderOfTheValues) {
    std::vector<double> values;
    for (int i = 0; i < 30000; ++i) {
        const double spread = std::ldexp(1.0 + (i * 7919 % 1000) / 1000.0, i % 600 - 300);
        values.push_back(i % 2 ? 1.0 + (i * 104729LL % 5000) * 0x1p-52 : spread * (i % 3 - 1));
    }
    const auto stableOrder = [](const std::vector<double>& v) {
        std::vector<std::uint32_t> order(v.size());
        std::iota(order.begin(), order.end(), 0u);
        std::ranges::stable_sort(order, [&](std::uint32_t a, std::uint32_t b) {
            return std::strong_order(v[a], v[b]) < 0;
        });
        return order;
    };
    RankingScratch scratch;
    EXPECT_EQ(AscendingOrder(values, scratch), stableOrder(values));
    // Values that differ in their lowest bits only, and whole numbers, which share them all.
    std::vector<double> close, whole;
    for (std::size_t i = 1; i < values.size(); i += 2) {
        close.push_back(values[i]);
        whole.push_back(static_cast<double>(i * 7919 % 301));
    }
    EXPECT_EQ(AscendingOrder(close, scratch), stableOrder(close));
    EXPECT_EQ(AscendingOrder(whole, scratch), stableOrder(whole));
}
