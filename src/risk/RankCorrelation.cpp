#include "RankCorrelation.h"

#include "CounterRandom.h"
#include "Distribution.h"
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
                           const std::atomic<bool>* cancel) {
    const std::size_t k = plan.inputs.size();
    if (k < 2 || !plan.ok || n < k + 2) return;
    const auto cancelled = [cancel] { return cancel && cancel->load(std::memory_order_relaxed); };

    // Van der Waerden scores, in an independent random order for each input.
    std::vector<double> ladder(n);
    for (std::size_t r = 0; r < n; ++r)
        ladder[r] = NormalQuantile(static_cast<double>(r + 1) / static_cast<double>(n + 1));
    std::vector<std::vector<double>> scores(k, std::vector<double>(n));
    std::vector<std::uint32_t> order;
    for (std::size_t c = 0; c < k && !cancelled(); ++c) {
        Shuffle(order, n, seed, first, static_cast<std::uint32_t>(plan.inputs[c]), Stream::Scores);
        for (std::size_t t = 0; t < n; ++t) scores[c][t] = ladder[order[t]];
    }

    // The scores' own correlations, which chance keeps from being exactly zero, are taken out
    // before the wanted ones are put in: new = target factor x own factor^-1 x scores.
    std::vector<double> own(k * k);
    const double sumSquares = std::inner_product(ladder.begin(), ladder.end(), ladder.begin(), 0.0);
    for (std::size_t a = 0; a < k; ++a)
        for (std::size_t b = 0; b <= a; ++b)
            own[a * k + b] = own[b * k + a] =
                std::inner_product(scores[a].begin(), scores[a].end(), scores[b].begin(), 0.0) /
                sumSquares;
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
    for (std::size_t t = 0; t < n; ++t)
        for (std::size_t c = k; c-- > 0;) {
            double sum = 0.0;
            for (std::size_t p = 0; p <= c; ++p) sum += m[c * k + p] * scores[p][t];
            scores[c][t] = sum;
        }

    // Each input's samples, sorted, go to the rows in the order of its new scores.
    std::vector<double> sorted(n);
    RankingScratch scratch;
    for (std::size_t c = 0; c < k && !cancelled(); ++c) {
        const std::vector<std::uint32_t>& rows = AscendingOrder(scores[c], scratch);
        std::copy(columns[c], columns[c] + n, sorted.begin());
        std::ranges::sort(sorted);
        for (std::size_t r = 0; r < n; ++r) columns[c][rows[r]] = sorted[r];
    }
}

} // namespace velmora::risk
