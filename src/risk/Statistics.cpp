#include "Statistics.h"

#include "Distribution.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <functional>
#include <numeric>
#include <span>
#include <tuple>

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

// The bits of a double, turned so that unsigned order is numeric order.
std::uint64_t SortKey(double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    return bits >> 63 ? ~bits : bits | (std::uint64_t{1} << 63);
}
std::uint64_t SortKey(std::uint64_t key) {
    return key;
}

// The value whose sort key is `key`, to the bit.
double KeyValue(std::uint64_t key) {
    return std::bit_cast<double>(key >> 63 ? key & ~(std::uint64_t{1} << 63) : ~key);
}

// Writes the sort keys of the order statistics ranks[0..m) (0-based, ascending, distinct) of
// `items` to out: counts by the key bits below those all items share, then the same within the
// buckets that hold a wanted rank, and only those.
template <class Item>
void SelectKeys(std::span<const Item> items, std::span<const std::size_t> ranks,
                std::uint64_t* out) {
    std::uint64_t low = ~std::uint64_t{0}, high = 0;
    for (Item item : items) {
        low = std::min(low, SortKey(item));
        high = std::max(high, SortKey(item));
    }
    if (low == high) {
        std::fill_n(out, ranks.size(), low);
        return;
    }
    if (items.size() <= 64) {
        std::vector<std::uint64_t> keys;
        for (Item item : items) keys.push_back(SortKey(item));
        std::ranges::sort(keys);
        for (std::size_t i = 0; i < ranks.size(); ++i) out[i] = keys[ranks[i]];
        return;
    }
    constexpr int kBits = 11;
    const int shift = std::max(0, static_cast<int>(std::bit_width(low ^ high)) - kBits);
    const auto bucket = [&](Item item) {
        return static_cast<std::size_t>((SortKey(item) >> shift) - (low >> shift));
    };
    std::vector<std::size_t> start((std::size_t{1} << kBits) + 1);
    for (Item item : items) ++start[bucket(item) + 1];
    std::partial_sum(start.begin(), start.end(), start.begin());
    const auto bucketOf = [&](std::size_t rank) {
        return static_cast<std::size_t>(std::ranges::upper_bound(start, rank) - start.begin()) - 1;
    };
    // The keys of the wanted buckets, side by side in bucket order.
    constexpr std::size_t kUnwanted = std::numeric_limits<std::size_t>::max();
    std::vector<std::size_t> slot(start.size() - 1, kUnwanted);
    std::size_t wanted = 0;
    for (std::size_t rank : ranks) {
        const std::size_t b = bucketOf(rank);
        if (slot[b] == kUnwanted) {
            slot[b] = wanted;
            wanted += start[b + 1] - start[b];
        }
    }
    std::vector<std::uint64_t> keys(wanted);
    std::vector<std::size_t> next = slot;
    for (Item item : items)
        if (const std::size_t b = bucket(item); slot[b] != kUnwanted)
            keys[next[b]++] = SortKey(item);
    for (std::size_t i = 0, j; i < ranks.size(); i = j) {
        const std::size_t b = bucketOf(ranks[i]);
        std::vector<std::size_t> within;
        for (j = i; j < ranks.size() && ranks[j] < start[b + 1]; ++j)
            within.push_back(ranks[j] - start[b]);
        SelectKeys(std::span<const std::uint64_t>(keys).subspan(slot[b], start[b + 1] - start[b]),
                   within, out + i);
    }
}

// Puts the order statistics `ranks` (0-based, ascending, distinct) of `values` at their places,
// the other places left with any values. nth_element leaves there what any selection would
// but for NaN and for which of -0 and 0 it picks; without those, a radix selection does the
// same several times faster.
void PlaceOrderStatistics(std::vector<double>& values, const std::vector<std::size_t>& ranks) {
    bool negativeZero = false, positiveZero = false, nan = false;
    for (double v : values) {
        negativeZero |= v == 0.0 && std::signbit(v);
        positiveZero |= v == 0.0 && !std::signbit(v);
        nan |= std::isnan(v);
    }
    if (nan || (negativeZero && positiveZero)) {
        SelectRanks(values, 0, values.size(), ranks.data(), ranks.data() + ranks.size());
        return;
    }
    std::vector<std::uint64_t> keys(ranks.size());
    SelectKeys(std::span<const double>(values), ranks, keys.data());
    for (std::size_t i = 0; i < ranks.size(); ++i) values[ranks[i]] = KeyValue(keys[i]);
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
    PlaceOrderStatistics(values, ranks);

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
    // Samples differ in their highest bits but for rare pairs: sorting by the three highest
    // digits in which keys differ, then sorting apart the few runs that agree on them, saves two
    // of the five passes over the keys.
    constexpr int kSortedDigits = 3;
    auto& [keys, nextKeys, order, nextOrder] = scratch;
    keys.resize(n);
    nextKeys.resize(n);
    order.resize(n);
    nextOrder.resize(n);
    // The counts of every digit, taken as the keys are made rather than in a pass of their own
    // per digit.
    std::array<std::array<std::uint32_t, kDigitMask + 1>, kDigits> counts{};
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint64_t key = SortKey(values[i]);
        keys[i] = key;
        for (int d = 0; d < kDigits; ++d) ++counts[d][(key >> (d * kDigitBits)) & kDigitMask];
    }
    // A digit all keys share moves nothing.
    std::array<bool, kDigits> differs{};
    int lowest = kDigits;
    for (int d = kDigits, sortedBy = 0; d-- > 0;) {
        differs[d] = std::ranges::find(counts[d], n) == counts[d].end();
        if (differs[d] && sortedBy < kSortedDigits) {
            lowest = d;
            ++sortedBy;
        }
    }
    bool sorted = false;
    for (int d = lowest; d < kDigits; ++d) {
        if (!differs[d]) continue;
        std::array<std::uint32_t, kDigitMask + 1>& start = counts[d];
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
    if (std::ranges::none_of(differs.begin(), differs.begin() + lowest, std::identity{}))
        return order;
    // Runs that agree on the sorted digits are in the order given; sorting them by key and
    // position keeps that order among equal keys.
    const int shift = lowest * kDigitBits;
    std::vector<std::pair<std::uint64_t, std::uint32_t>> run;
    for (std::size_t i = 0, j; i < n; i = j) {
        for (j = i + 1; j < n && keys[j] >> shift == keys[i] >> shift; ++j) {
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
