#include "Statistics.h"

#include "Distribution.h"
#include "SortKey.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numeric>
#include <span>

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

// Writes the sort keys of the order statistics ranks[0..m) (0-based, ascending, distinct) of
// `items` to out: counts by the key bits below those all items share, then the same within the
// buckets that hold a wanted rank, and only those.
// `low` and `high` are the least and the greatest key.
template <class Item>
void SelectKeys(std::span<const Item> items, std::span<const std::size_t> ranks, std::uint64_t* out,
                std::uint64_t low, std::uint64_t high) {
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
        const auto bucketKeys =
            std::span<const std::uint64_t>(keys).subspan(slot[b], start[b + 1] - start[b]);
        const auto [least, greatest] = std::ranges::minmax(bucketKeys);
        SelectKeys(bucketKeys, within, out + i, least, greatest);
    }
}

// What decides whether the values' least and greatest and their order statistics can be found
// otherwise than std::minmax_element and nth_element find them: those pick among NaN and
// among -0 and 0 in an order of their own; everything else has one place in ascending order.
struct Oddities {
    bool nan = false, negativeZero = false, positiveZero = false;
    void Note(double v) {
        nan |= std::isnan(v);
        negativeZero |= v == 0.0 && std::signbit(v);
        positiveZero |= v == 0.0 && !std::signbit(v);
    }
    bool Matter() const { return nan || (negativeZero && positiveZero); }
};

// Puts the order statistics `ranks` (0-based, ascending, distinct) of `values`, least `min` and
// greatest `max`, at their places, the other places left with any values. Without oddities a
// radix selection finds what nth_element would, several times faster.
void PlaceOrderStatistics(std::vector<double>& values, const std::vector<std::size_t>& ranks,
                          Oddities oddities, double min, double max) {
    if (oddities.Matter()) {
        SelectRanks(values, 0, values.size(), ranks.data(), ranks.data() + ranks.size());
        return;
    }
    std::vector<std::uint64_t> keys(ranks.size());
    SelectKeys(std::span<const double>(values), ranks, keys.data(), SortKey(min), SortKey(max));
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
    Oddities oddities;
    for (double v : values) {
        shifted += v - first;
        oddities.Note(v);
    }
    s.mean = first + shifted / static_cast<double>(n);
    if (n > 1) {
        double squares = 0.0;
        for (double v : values) squares += (v - s.mean) * (v - s.mean);
        s.sd = std::sqrt(squares / static_cast<double>(n - 1));
    }
    if (oddities.Matter()) {
        const auto [low, high] = std::ranges::minmax_element(values);
        s.min = *low;
        s.max = *high;
    } else {
        // The first least and the last greatest, as minmax_element, without its branches.
        s.min = s.max = first;
        for (double v : values) {
            s.min = v < s.min ? v : s.min;
            s.max = v < s.max ? s.max : v;
        }
    }

    Histogram& h = s.histogram;
    h.low = s.min;
    h.high = s.max;
    const double width = (s.max - s.min) / kHistogramBins;
    // Neighbouring values often share a bin; counting them apart keeps each count from waiting
    // for the last.
    constexpr std::size_t kLanes = 4;
    std::array<std::array<std::int64_t, kHistogramBins>, kLanes> counts{};
    for (std::size_t i = 0; i < n; ++i) {
        const double v = values[i];
        const std::size_t bin = width > 0.0 ? static_cast<std::size_t>((v - s.min) / width) : 0;
        ++counts[i % kLanes][std::min(bin, kHistogramBins - 1)];
    }
    for (const auto& lane : counts)
        for (std::size_t b = 0; b < kHistogramBins; ++b) h.counts[b] += lane[b];

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
    PlaceOrderStatistics(values, ranks, oddities, s.min, s.max);

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

double CapitalRecoveryFactor(double discountRate, double years) {
    if (!(years > 0.0)) return kNotANumber;
    const double i = discountRate / 100.0;
    if (i == 0.0) return 1.0 / years;
    const double growth = std::pow(1.0 + i, years);
    return i * growth / (growth - 1.0);
}

} // namespace velmora::risk
