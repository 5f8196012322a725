#include "Statistics.h"

#include "Distribution.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numeric>

namespace velmora::risk {
namespace {

constexpr double kTail = 0.025;

// Puts the order statistics `ranks` (0-based, ascending) of data[first..last) in place.
void SelectRanks(std::vector<double>& data, std::size_t first, std::size_t last,
                 const std::size_t* ranks, const std::size_t* ranksEnd) {
    if (ranks == ranksEnd || first >= last) return;
    const std::size_t* mid = ranks + (ranksEnd - ranks) / 2;
    std::nth_element(data.begin() + first, data.begin() + *mid, data.begin() + last);
    SelectRanks(data, first, *mid, ranks, mid);
    SelectRanks(data, *mid + 1, last, mid + 1, ranksEnd);
}

} // namespace

std::pair<std::int64_t, std::int64_t> PercentileBounds(std::int64_t n, double p) {
    // P(B <= k) for B ~ binomial(n, p), summed from far below the mean, where the mass left out
    // is negligible, until both tails are found.
    const double nd = static_cast<double>(n);
    const double sigma = std::sqrt(nd * p * (1.0 - p));
    std::int64_t k =
        std::max<std::int64_t>(0, static_cast<std::int64_t>(nd * p - 12.0 * sigma - 10.0));
    double mass = std::exp(LogGamma(nd + 1.0) - LogGamma(k + 1.0) - LogGamma(nd - k + 1.0) +
                           k * std::log(p) + (nd - k) * std::log1p(-p));
    double cdf = 0.0;
    std::int64_t lower = 0, upper = n + 1;
    for (; k <= n; ++k) {
        cdf += mass; // P(B <= k)
        if (cdf <= kTail) lower = k + 1;
        if (cdf >= 1.0 - kTail) {
            upper = k + 1;
            break;
        }
        mass *= (nd - k) / (k + 1.0) * p / (1.0 - p);
    }
    return {lower, upper};
}

Statistics Describe(std::vector<double>& values) {
    Statistics s;
    const std::size_t n = values.size();
    s.count = static_cast<std::int64_t>(n);
    if (n == 0) return s;

    // Sums relative to the first value, so that n equal values have exactly that mean.
    const double first = values.front();
    double shifted = 0.0;
    for (double v : values) shifted += v - first;
    s.mean = first + shifted / static_cast<double>(n);
    if (n > 1) {
        double squares = 0.0;
        for (double v : values) squares += (v - s.mean) * (v - s.mean);
        s.sd = std::sqrt(squares / static_cast<double>(n - 1));
    }
    const auto [low, high] = std::ranges::minmax_element(values);
    s.min = *low;
    s.max = *high;

    Histogram& h = s.histogram;
    h.low = s.min;
    h.high = s.max;
    const double width = (s.max - s.min) / kHistogramBins;
    for (double v : values) {
        const std::size_t bin = width > 0.0 ? static_cast<std::size_t>((v - s.min) / width) : 0;
        ++h.counts[std::min(bin, kHistogramBins - 1)];
    }

    std::vector<std::size_t> ranks;
    std::array<std::pair<std::int64_t, std::int64_t>, kPercents.size()> bounds;
    for (std::size_t k = 0; k < kPercents.size(); ++k) {
        const double position = (n - 1) * kPercents[k] / 100.0;
        ranks.push_back(static_cast<std::size_t>(position));
        ranks.push_back(std::min(n - 1, static_cast<std::size_t>(position) + 1));
        bounds[k] = PercentileBounds(s.count, kPercents[k] / 100.0);
        if (bounds[k].first >= 1) ranks.push_back(bounds[k].first - 1);
        if (bounds[k].second <= s.count) ranks.push_back(bounds[k].second - 1);
    }
    std::ranges::sort(ranks);
    ranks.erase(std::unique(ranks.begin(), ranks.end()), ranks.end());
    SelectRanks(values, 0, n, ranks.data(), ranks.data() + ranks.size());

    for (std::size_t k = 0; k < kPercents.size(); ++k) {
        PercentileEstimate& e = s.percentiles[k];
        e.percent = kPercents[k];
        const double position = (n - 1) * kPercents[k] / 100.0;
        const std::size_t below = static_cast<std::size_t>(position);
        const double next = values[std::min(n - 1, below + 1)];
        e.value = values[below] + (position - below) * (next - values[below]);
        if (bounds[k].first >= 1) e.lower = values[bounds[k].first - 1];
        if (bounds[k].second <= s.count) e.upper = values[bounds[k].second - 1];
    }
    return s;
}

Proportion WilsonInterval(std::int64_t successes, std::int64_t count) {
    Proportion p;
    p.successes = successes;
    p.count = count;
    if (count <= 0) return p;
    const double n = static_cast<double>(count);
    const double share = successes / n;
    const double z2 = kZ95 * kZ95;
    const double centre = (share + z2 / (2.0 * n)) / (1.0 + z2 / n);
    const double half =
        kZ95 * std::sqrt(share * (1.0 - share) / n + z2 / (4.0 * n * n)) / (1.0 + z2 / n);
    p.value = share;
    p.lower = std::max(0.0, centre - half);
    p.upper = std::min(1.0, centre + half);
    return p;
}

const std::vector<std::uint32_t>& AscendingOrder(const std::vector<double>& values,
                                                 RankingScratch& scratch) {
    const std::size_t n = values.size();
    constexpr int kDigitBits = 11;
    constexpr int kDigits = (64 + kDigitBits - 1) / kDigitBits;
    constexpr std::uint64_t kDigitMask = (1u << kDigitBits) - 1;
    auto& [keys, nextKeys, order, nextOrder] = scratch;
    keys.resize(n);
    nextKeys.resize(n);
    order.resize(n);
    nextOrder.resize(n);
    // The bits of a double, turned so that unsigned order is numeric order, and the counts of
    // every digit taken as they are made rather than in a pass of their own per digit.
    std::array<std::array<std::uint32_t, kDigitMask + 1>, kDigits> counts{};
    for (std::size_t i = 0; i < n; ++i) {
        const auto bits = std::bit_cast<std::uint64_t>(values[i]);
        const std::uint64_t key = bits >> 63 ? ~bits : bits | (std::uint64_t{1} << 63);
        keys[i] = key;
        for (int d = 0; d < kDigits; ++d) ++counts[d][(key >> (d * kDigitBits)) & kDigitMask];
    }
    bool sorted = false;
    for (int d = 0; d < kDigits; ++d) {
        std::array<std::uint32_t, kDigitMask + 1>& start = counts[d];
        // A digit all keys share moves nothing.
        if (std::ranges::find(start, n) != start.end()) continue;
        std::exclusive_scan(start.begin(), start.end(), start.begin(), 0u);
        const int shift = d * kDigitBits;
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint32_t at = start[(keys[i] >> shift) & kDigitMask]++;
            nextKeys[at] = keys[i];
            nextOrder[at] = sorted ? order[i] : static_cast<std::uint32_t>(i);
        }
        keys.swap(nextKeys);
        order.swap(nextOrder);
        sorted = true;
    }
    if (!sorted) std::iota(order.begin(), order.end(), 0u);
    return order;
}

namespace {

// The value whose sort key AscendingOrder made `key`, to the bit.
double KeyValue(std::uint64_t key) {
    return std::bit_cast<double>(key >> 63 ? key & ~(std::uint64_t{1} << 63) : ~key);
}

// The last place of the run of values equal to the one at place i of keys[0..n), sort keys in
// ascending order.
std::size_t TieEnd(const std::uint64_t* keys, std::size_t n, std::size_t i) {
    const double value = KeyValue(keys[i]);
    while (i + 1 < n && KeyValue(keys[i + 1]) == value) ++i;
    return i;
}

} // namespace

void SortValues(std::vector<double>& values, RankingScratch& scratch) {
    bool negativeZero = false, positiveZero = false, nan = false;
    for (double v : values) {
        negativeZero |= v == 0.0 && std::signbit(v);
        positiveZero |= v == 0.0 && !std::signbit(v);
        nan |= std::isnan(v);
    }
    if (nan || (negativeZero && positiveZero)) {
        std::ranges::sort(values);
        return;
    }
    AscendingOrder(values, scratch);
    for (std::size_t i = 0; i < values.size(); ++i) values[i] = KeyValue(scratch.keys[i]);
}

RankedFigure RankFigure(const std::vector<double>& values, KeptRows kept, RankingScratch& scratch) {
    const std::vector<std::uint32_t>& order = AscendingOrder(values, scratch);
    // The kept rows and their keys in ascending order, in the sort's spare buffers: the order
    // of the kept values gathered on their own, the sort being stable.
    std::uint32_t* rows = scratch.nextOrder.data();
    std::uint64_t* keys = scratch.nextKeys.data();
    std::size_t n = 0;
    for (std::size_t k = 0; k < order.size(); ++k) {
        rows[n] = order[k];
        keys[n] = scratch.keys[k];
        n += kept(order[k]);
    }
    RankedFigure figure{std::vector<std::uint32_t>(values.size(), RankedFigure::kLeftOut)};
    for (std::size_t i = 0, j; i < n; i = j + 1) {
        j = TieEnd(keys, n, i);
        for (std::size_t k = i; k <= j; ++k)
            figure.places[rows[k]] = static_cast<std::uint32_t>(i + j);
    }
    return figure;
}

void SpearmanCorrelations(const std::vector<double>& x, const RankedFigure* figures,
                          std::size_t count, double* out, RankingScratch& scratch) {
    const std::vector<std::uint32_t>& order = AscendingOrder(x, scratch);
    for (std::size_t f = 0; f < count; ++f) {
        // The figure's places and x's keys in the rows it keeps, in x's order, gathered into
        // the sort's spare buffers without a branch on each row.
        std::uint32_t* places = scratch.nextOrder.data();
        std::uint64_t* keys = scratch.nextKeys.data();
        std::size_t n = 0;
        for (std::size_t k = 0; k < order.size(); ++k) {
            places[n] = figures[f].places[order[k]];
            keys[n] = scratch.keys[k];
            n += places[n] != RankedFigure::kLeftOut;
        }
        // Shared ranks keep the mean rank at (n + 1) / 2.
        const double mean = 0.5 * static_cast<double>(n + 1);
        double sxy = 0.0, sxx = 0.0, syy = 0.0;
        for (std::size_t i = 0, j; i < n; i = j + 1) {
            j = TieEnd(keys, n, i);
            const double dx = 0.5 * static_cast<double>(i + j) + 1.0 - mean;
            for (std::size_t k = i; k <= j; ++k) {
                const double dy = 0.5 * static_cast<double>(places[k]) + 1.0 - mean;
                sxy += dx * dy;
                sxx += dx * dx;
                syy += dy * dy;
            }
        }
        out[f] = sxx > 0.0 && syy > 0.0 ? sxy / std::sqrt(sxx * syy) : kNotANumber;
    }
}

double CapitalRecoveryFactor(double discountRate, double years) {
    if (!(years > 0.0)) return kNotANumber;
    const double i = discountRate / 100.0;
    if (i == 0.0) return 1.0 / years;
    const double growth = std::pow(1.0 + i, years);
    return i * growth / (growth - 1.0);
}

} // namespace velmora::risk
