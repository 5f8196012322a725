#include "Statistics.h"

#include "SortKey.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <functional>
#include <numeric>
#include <tuple>

namespace velmora::risk {

const std::vector<std::uint32_t>& AscendingOrder(const std::vector<double>& values,
                                                 RankingScratch& scratch) {
    const std::size_t n = values.size();
    constexpr int kDigitBits = 11;
    constexpr std::uint64_t kDigitMask = (1u << kDigitBits) - 1;
    // Samples differ in their highest bits but for rare pairs: sorting by the 33 highest bits in
    // which keys differ, then sorting apart the few runs that agree on them, saves two of the
    // five passes over the keys. The digits start at the highest of those bits rather than at
    // a fixed place, so that the first spreads the keys over all its buckets: keys that crowd
    // into a few buckets make each count wait for the one before.
    constexpr int kSortedDigits = 3;
    std::vector<std::uint64_t>& keys = scratch.keys;
    std::vector<std::uint64_t>& nextKeys = scratch.nextKeys;
    std::vector<std::uint32_t>& order = scratch.order;
    std::vector<std::uint32_t>& nextOrder = scratch.nextOrder;
    keys.resize(n);
    nextKeys.resize(n);
    order.resize(n);
    nextOrder.resize(n);
    // The bits in which some key differs from the first, and so from another.
    const std::uint64_t first = n ? SortKey(values[0]) : 0;
    std::uint64_t varying = 0;
    for (std::size_t i = 0; i < n; ++i) {
        keys[i] = SortKey(values[i]);
        varying |= keys[i] ^ first;
    }
    std::iota(order.begin(), order.end(), 0u);
    const int differing = static_cast<int>(std::bit_width(varying));
    const int lowest = std::max(0, differing - kSortedDigits * kDigitBits);
    // A digit all keys share moves nothing.
    std::array<int, kSortedDigits> shifts{};
    int digits = 0;
    for (int shift = lowest; shift < differing; shift += kDigitBits)
        if ((varying >> shift) & kDigitMask) shifts[digits++] = shift;
    std::array<std::array<std::uint32_t, kDigitMask + 1>, kSortedDigits> counts{};
    for (std::size_t i = 0; i < n; ++i)
        for (int d = 0; d < digits; ++d) ++counts[d][(keys[i] >> shifts[d]) & kDigitMask];
    for (int d = 0; d < digits; ++d) {
        std::array<std::uint32_t, kDigitMask + 1>& start = counts[d];
        std::exclusive_scan(start.begin(), start.end(), start.begin(), 0u);
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint32_t at = start[(keys[i] >> shifts[d]) & kDigitMask]++;
            nextKeys[at] = keys[i];
            nextOrder[at] = order[i];
        }
        keys.swap(nextKeys);
        order.swap(nextOrder);
    }
    if ((varying & ((std::uint64_t{1} << lowest) - 1)) == 0) return order;
    // Runs that agree on the sorted digits are in the order given; sorting them by key and
    // position keeps that order among equal keys.
    std::vector<std::pair<std::uint64_t, std::uint32_t>> run;
    for (std::size_t i = 0, j; i < n; i = j) {
        for (j = i + 1; j < n && keys[j] >> lowest == keys[i] >> lowest; ++j) {
        }
        if (j - i < 2) continue;
        run.clear();
        for (std::size_t k = i; k < j; ++k) run.emplace_back(keys[k], order[k]);
        std::ranges::sort(run);
        for (std::size_t k = i; k < j; ++k) std::tie(keys[k], order[k]) = run[k - i];
    }
    return order;
}

namespace {

// The last place of the run of values equal to the one at place i of keys[0..n), the sort keys
// of values in ascending order.
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
    // The kept rows and their values in ascending order, in the sort's spare buffers: the order
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
    const std::vector<std::uint64_t>& keys = scratch.keys;
    // Without equal values, which continuous inputs seldom have, every rank stands alone and
    // x's values need not be gathered to find the runs that share one.
    bool tied = false;
    for (std::size_t k = 1; k < keys.size(); ++k)
        tied |= KeyValue(keys[k]) == KeyValue(keys[k - 1]);
    for (std::size_t f = 0; f < count; ++f) {
        // The figure's places and x's values in the rows it keeps, in x's order, gathered into
        // the sort's spare buffers without a branch on whether a row is kept.
        std::uint32_t* places = scratch.nextOrder.data();
        std::uint64_t* keptKeys = scratch.nextKeys.data();
        std::size_t n = 0;
        for (std::size_t k = 0; k < order.size(); ++k) {
            places[n] = figures[f].places[order[k]];
            if (tied) keptKeys[n] = keys[k];
            n += places[n] != RankedFigure::kLeftOut;
        }
        // Shared ranks keep the mean rank at (n + 1) / 2.
        const double mean = 0.5 * static_cast<double>(n + 1);
        double sxy = 0.0, sxx = 0.0, syy = 0.0;
        for (std::size_t i = 0, j; i < n; i = j + 1) {
            j = tied ? TieEnd(keptKeys, n, i) : i;
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

} // namespace velmora::risk
