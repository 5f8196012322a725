#include "RefusalCauses.h"

#include <algorithm>
#include <cmath>

namespace velmora::risk {
namespace {

// Below this an input's samples hardly differ between refused and accepted iterations.
constexpr double kLeastSeparation = 0.1;
// Rank correlations that chance alone reaches once in several hundred inputs are no cause.
constexpr double kChanceDeviations = 3.0;

struct Cause {
    double separation;
    RefusalCause cause;
};

// Where the refused samples of `column` lie: beyond every accepted sample on the side they lean
// to, when some do, so that a cause is not blurred by the iterations another cause refused;
// otherwise all of them.
void RefusedRange(const std::vector<double>& column, const std::vector<std::uint8_t>& outcome,
                  bool above, RefusalCause& cause) {
    double acceptedLow = INFINITY, acceptedHigh = -INFINITY;
    double low = INFINITY, high = -INFINITY, beyondLow = INFINITY, beyondHigh = -INFINITY;
    for (std::size_t i = 0; i < column.size(); ++i) {
        if (outcome[i] & kRefused) continue;
        acceptedLow = std::min(acceptedLow, column[i]);
        acceptedHigh = std::max(acceptedHigh, column[i]);
    }
    for (std::size_t i = 0; i < column.size(); ++i) {
        if (!(outcome[i] & kRefused)) continue;
        const double v = column[i];
        low = std::min(low, v), high = std::max(high, v);
        if (above ? v > acceptedHigh : v < acceptedLow)
            beyondLow = std::min(beyondLow, v), beyondHigh = std::max(beyondHigh, v);
    }
    const bool beyond = beyondLow <= beyondHigh;
    cause.low = beyond ? beyondLow : low;
    cause.high = beyond ? beyondHigh : high;
}

} // namespace

std::vector<RefusalCause> RefusalCauses(const RiskAnalysis& a, std::size_t most) {
    const std::size_t n = a.outcome.size();
    std::vector<double> refusedFlags(n);
    std::size_t refusedCount = 0;
    for (std::size_t i = 0; i < n; ++i) {
        refusedFlags[i] = (a.outcome[i] & kRefused) ? 1.0 : 0.0;
        refusedCount += (a.outcome[i] & kRefused) != 0;
    }
    if (refusedCount == 0 || refusedCount == n) return {};
    RankingScratch scratch;
    const RankedFigure refused = RankFigure(refusedFlags, {}, scratch);

    // The rank correlation with being refused is the rank correlation a run with these many
    // refusals can reach at most, sqrt(3 p (1 - p)) for a share p, times the separation of the
    // refused samples from the accepted ones: the chance that a refused sample lies above an
    // accepted one, less the chance it lies below. A cause of a few refusals in a large run
    // shows a weak correlation but a clear separation.
    const double share = static_cast<double>(refusedCount) / static_cast<double>(n);
    const double size = static_cast<double>(n);
    const double highest =
        std::sqrt(3.0 * share * (1.0 - share)) * size / std::sqrt(size * size - 1);
    const double chance = kChanceDeviations / std::sqrt(size - 1.0);

    std::vector<Cause> causes;
    for (std::size_t j = 0; j < a.inputs.size() && j < a.fields.size(); ++j) {
        const std::vector<double>& column = a.inputs[j];
        if (column.size() != n) continue;
        double rho = 0.0;
        SpearmanCorrelations(column, &refused, 1, &rho, scratch);
        // A constant input has no rank correlation at all.
        if (!(std::fabs(rho) >= chance)) continue;
        const double separation = std::min(1.0, std::fabs(rho) / highest);
        if (separation < kLeastSeparation) continue;
        causes.push_back({separation, {a.fields[j], 0.0, 0.0}});
        RefusedRange(column, a.outcome, rho > 0.0, causes.back().cause);
    }
    // Equal separations keep the order of the definitions.
    std::ranges::stable_sort(causes, std::ranges::greater{}, &Cause::separation);
    std::vector<RefusalCause> out;
    for (std::size_t k = 0; k < causes.size() && k < most; ++k) out.push_back(causes[k].cause);
    return out;
}

} // namespace velmora::risk
