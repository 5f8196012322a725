#pragma once

// Describing a simulated figure: mean, spread, percentiles with distribution-free bounds, a
// histogram; proportions with their confidence interval; rank correlations.

#include <array>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

namespace velmora::risk {

inline constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();
inline constexpr std::array<double, 7> kPercents{5, 10, 25, 50, 75, 90, 95};
inline constexpr std::size_t kHistogramBins = 40;
inline constexpr double kZ95 = 1.959963984540054; // the two-sided 95 % standard normal quantile

struct PercentileEstimate {
    double percent = 0.0;
    // Linear between the neighbouring order statistics, as spreadsheets compute it.
    double value = kNotANumber;
    // Order statistics that enclose the true percentile with at least 95 % probability whatever
    // the distribution; not a number when too few iterations allow it.
    double lower = kNotANumber;
    double upper = kNotANumber;
};

struct Histogram {
    // kHistogramBins equal bins from `low` to `high`; the last one includes `high`.
    double low = kNotANumber;
    double high = kNotANumber;
    std::array<std::int64_t, kHistogramBins> counts{};
};

struct Statistics {
    std::int64_t count = 0;
    double mean = kNotANumber;
    double sd = kNotANumber; // with n - 1
    double min = kNotANumber;
    double max = kNotANumber;
    std::array<PercentileEstimate, kPercents.size()> percentiles{};
    Histogram histogram;
};

// The statistics of `values`, which it uses as scratch.
Statistics Describe(std::vector<double>& values);

// The 1-based ranks (l, u) of the order statistics with P(X(l) <= x_p <= X(u)) >= 95 % for the
// p-quantile x_p of any continuous distribution, from the binomial distribution of how many of
// n samples fall below x_p; 0 or n + 1 where no order statistic is far enough out.
std::pair<std::int64_t, std::int64_t> PercentileBounds(std::int64_t n, double p);

struct Proportion {
    std::int64_t successes = 0;
    std::int64_t count = 0;
    double value = kNotANumber;
    // Wilson's 95 % score interval.
    double lower = kNotANumber;
    double upper = kNotANumber;
};
Proportion WilsonInterval(std::int64_t successes, std::int64_t count);

// Buffers for ranking column after column: a fresh allocation of this size costs more in page
// faults than the ranking itself, so a simulation keeps one set per thread from reordering its
// samples to its summary. After AscendingOrder, keys holds the values' sort keys in ascending
// order, and nextKeys and nextOrder are free until the next call; `values` holds a column to sort
// or describe.
struct RankingScratch {
    std::vector<std::uint64_t> keys, nextKeys;
    std::vector<std::uint32_t> order, nextOrder;
    std::vector<double> values;
};
// A million iterations take 32 MB of scratch per thread to rank, and two threads rank and
// describe in a fraction of the simulation's time whatever the cores.
inline constexpr unsigned kRankingThreads = 2;

// The positions of `values` in ascending order, equal values in the order given, in
// scratch.order. A radix sort: ranking a million iterations is a matter of milliseconds.
const std::vector<std::uint32_t>& AscendingOrder(const std::vector<double>& values,
                                                 RankingScratch& scratch);

// The rows of a simulation that a figure keeps: those whose flags (RiskAnalysis::outcome) have
// none of the bits of `leaveOut`. Without flags, every row.
struct KeptRows {
    const std::uint8_t* flags = nullptr;
    std::uint8_t leaveOut = 0;
    bool operator()(std::size_t row) const { return !flags || !(flags[row] & leaveOut); }
};

// Sorts `values` into what std::ranges::sort leaves, by radix when that is sure to be the same:
// when no NaN is there and not both -0 and 0, the only values a comparison sort may leave in
// an order of its own.
void SortValues(std::vector<double>& values, RankingScratch& scratch);

// A figure to rank inputs against, by row: i + j for the first and last 0-based place i, j of
// its value among the kept rows, so that its rank is (i + j) / 2 + 1 (equal values share the
// mean of their ranks); kLeftOut in the rows left out. Half the size of the ranks themselves.
struct RankedFigure {
    static constexpr std::uint32_t kLeftOut = std::numeric_limits<std::uint32_t>::max();
    std::vector<std::uint32_t> places;
};

// Ranks values[row] over the rows that `kept` keeps: the ranks of the kept values gathered in
// row order, without gathering them.
RankedFigure RankFigure(const std::vector<double>& values, KeptRows kept, RankingScratch& scratch);

// Spearman's rank correlation of `x` with each figure, ranked over the same rows, over the rows
// that figure keeps, in out[f]; not a number when either is constant there. One ordering of x
// serves every figure, and each gets exactly what gathering and ranking its kept rows would.
void SpearmanCorrelations(const std::vector<double>& x, const RankedFigure* figures,
                          std::size_t count, double* out, RankingScratch& scratch);

// Turns a net present value into the equivalent uniform annual cost over `years` at
// `discountRate` percent.
double CapitalRecoveryFactor(double discountRate, double years);

} // namespace velmora::risk
