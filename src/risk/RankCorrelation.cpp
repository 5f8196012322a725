#include "RankCorrelation.h"

#include "CounterRandom.h"
#include "Distribution.h"
#include "ParallelFor.h"
#include "Sampling.h"
#include "Statistics.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

namespace velmora::risk {

std::vector<double> Cholesky(const std::vector<double>& m, std::size_t k) {
    std::vector<double> l(k * k, 0.0);
    for (std::size_t i = 0; i < k; ++i) {
        for (std::size_t j = 0; j <= i; ++j) {
            double sum = m[i * k + j];
            for (std::size_t p = 0; p < j; ++p) sum -= l[i * k + p] * l[j * k + p];
            if (i == j) {
                // Rounding can leave a singular matrix a hair above zero.
                if (!(sum > 1e-10)) return {};
                l[i * k + i] = std::sqrt(sum);
            } else {
                l[i * k + j] = sum / l[j * k + j];
            }
        }
    }
    return l;
}

CorrelationPlan PlanCorrelations(const RiskDefinitions& d) {
    CorrelationPlan plan;
    auto position = [&](const std::string& field) {
        const auto input = static_cast<std::size_t>(
            std::ranges::find(d.inputs, field, &UncertainInput::field) - d.inputs.begin());
        const auto at = std::ranges::find(plan.inputs, input);
        if (at != plan.inputs.end()) return static_cast<std::size_t>(at - plan.inputs.begin());
        plan.inputs.push_back(input);
        return plan.inputs.size() - 1;
    };
    std::vector<std::array<std::size_t, 2>> pairs;
    for (const RankCorrelation& c : d.correlations)
        pairs.push_back({position(c.first), position(c.second)});
    const std::size_t k = plan.inputs.size();
    std::vector<double> target(k * k, 0.0);
    for (std::size_t i = 0; i < k; ++i) target[i * k + i] = 1.0;
    for (std::size_t c = 0; c < pairs.size(); ++c) {
        // The Pearson correlation of two normal scores whose ranks correlate as wanted.
        const double r = 2.0 * std::sin(std::numbers::pi * d.correlations[c].rank / 6.0);
        target[pairs[c][0] * k + pairs[c][1]] = target[pairs[c][1] * k + pairs[c][0]] = r;
    }
    plan.factor = Cholesky(target, k);
    plan.ok = plan.factor.size() == k * k;
    return plan;
}

void ImposeRankCorrelation(const CorrelationPlan& plan, const std::vector<double*>& columns,
                           std::size_t n, std::uint64_t seed, std::int64_t first,
                           std::vector<RankingScratch>& scratch, const std::atomic<bool>* cancel) {
    const std::size_t k = plan.inputs.size();
    if (k < 2 || !plan.ok || n < k + 2) return;
    const auto cancelled = [cancel] { return cancel && cancel->load(std::memory_order_relaxed); };
    // Starting threads costs more than they save on the blocks of a thousand rows that a
    // precision-driven run takes.
    constexpr std::size_t kRows = 4096;
    const unsigned threads = n < 2 * kRows ? 1 : static_cast<unsigned>(scratch.size());
    const auto eachRow = [&](auto&& work) {
        ParallelFor(threads, (n + kRows - 1) / kRows, 1, [&](std::size_t block, unsigned) {
            if (cancelled()) return;
            for (std::size_t t = block * kRows; t < std::min(n, block * kRows + kRows); ++t)
                work(t);
        });
    };

    // Van der Waerden scores, in an independent random order for each input.
    std::vector<double> ladder(n);
    eachRow([&](std::size_t r) {
        ladder[r] = NormalQuantile(static_cast<double>(r + 1) / static_cast<double>(n + 1));
    });
    std::vector<std::vector<double>> scores(k);
    ParallelFor(threads, k, 1, [&](std::size_t c, unsigned w) {
        if (cancelled()) return;
        std::vector<std::uint32_t>& order = scratch[w].order;
        Shuffle(order, n, seed, first, static_cast<std::uint32_t>(plan.inputs[c]), Stream::Scores);
        scores[c].resize(n);
        for (std::size_t t = 0; t < n; ++t) scores[c][t] = ladder[order[t]];
    });
    if (cancelled()) return;

    // The scores' own correlations, which chance keeps from being exactly zero, are taken out
    // before the wanted ones are put in: new = target factor x own factor^-1 x scores. Each
    // product is summed in row order on one thread.
    std::vector<double> own(k * k), products(k * k + 1);
    ParallelFor(threads, k * k + 1, 1, [&](std::size_t p, unsigned) {
        const std::size_t a = p / k, b = p % k;
        if (p == k * k)
            products[p] = std::inner_product(ladder.begin(), ladder.end(), ladder.begin(), 0.0);
        else if (b <= a)
            products[p] =
                std::inner_product(scores[a].begin(), scores[a].end(), scores[b].begin(), 0.0);
    });
    for (std::size_t a = 0; a < k; ++a)
        for (std::size_t b = 0; b <= a; ++b)
            own[a * k + b] = own[b * k + a] = products[a * k + b] / products[k * k];
    const std::vector<double> f = Cholesky(own, k);
    if (f.empty() || cancelled()) return;
    // m = target factor x f^-1, lower triangular; f^-1 by forward substitution.
    std::vector<double> inverse(k * k, 0.0), m(k * k, 0.0);
    for (std::size_t j = 0; j < k; ++j)
        for (std::size_t i = j; i < k; ++i) {
            double sum = i == j ? 1.0 : 0.0;
            for (std::size_t p = j; p < i; ++p) sum -= f[i * k + p] * inverse[p * k + j];
            inverse[i * k + j] = sum / f[i * k + i];
        }
    for (std::size_t i = 0; i < k; ++i)
        for (std::size_t j = 0; j <= i; ++j)
            for (std::size_t p = j; p <= i; ++p)
                m[i * k + j] += plan.factor[i * k + p] * inverse[p * k + j];
    // Row by row, last column first, so that each column reads only columns not yet rewritten.
    eachRow([&](std::size_t t) {
        for (std::size_t c = k; c-- > 0;) {
            double sum = 0.0;
            for (std::size_t p = 0; p <= c; ++p) sum += m[c * k + p] * scores[p][t];
            scores[c][t] = sum;
        }
    });

    // Each input's samples, sorted, go to the rows in the order of its new scores.
    ParallelFor(threads, k, 1, [&](std::size_t c, unsigned w) {
        if (cancelled()) return;
        std::vector<double>& sorted = scratch[w].values;
        sorted.assign(columns[c], columns[c] + n);
        SortValues(sorted, scratch[w]);
        const std::vector<std::uint32_t>& rows = AscendingOrder(scores[c], scratch[w]);
        for (std::size_t r = 0; r < n; ++r) columns[c][rows[r]] = sorted[r];
    });
}

} // namespace velmora::risk
