#include "Sampling.h"

#include "CounterRandom.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace velmora::risk {

void Shuffle(std::vector<std::uint32_t>& order, std::size_t n, std::uint64_t seed,
             std::int64_t first, std::uint32_t input, Stream stream) {
    order.resize(n);
    std::iota(order.begin(), order.end(), 0u);
    for (std::size_t t = n; t-- > 1;) {
        const std::uint64_t bits = CounterRandom(seed, first + t, input, stream);
        std::swap(order[t], order[Below(bits, t + 1)]);
    }
}

void FillProbabilities(Sampling sampling, std::uint64_t seed, std::int64_t first, std::size_t n,
                       std::uint32_t input, double* out, std::vector<std::uint32_t>& strata) {
    for (std::size_t t = 0; t < n; ++t)
        out[t] = UnitInterval(CounterRandom(seed, first + t, input, Stream::Sample));
    if (sampling != Sampling::LatinHypercube) return;
    Shuffle(strata, n, seed, first, input, Stream::Strata);
    // In a large block the sum can round up to n; the quantile of 1 is infinite for some kinds.
    constexpr double kBelowOne = 1.0 - 0x1p-53;
    for (std::size_t t = 0; t < n; ++t)
        out[t] = std::min((strata[t] + out[t]) / static_cast<double>(n), kBelowOne);
}

} // namespace velmora::risk
