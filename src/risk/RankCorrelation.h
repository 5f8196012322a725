#pragma once

// Rank correlations between uncertain inputs by the method of Iman and Conover: the samples of
// each input keep their values and only change places, so that their ranks follow normal scores
// drawn with the wanted correlations. Works on any marginal distribution, discrete included.

#include "RiskDefinitions.h"
#include "Statistics.h"

#include <atomic>
#include <cstdint>
#include <vector>

namespace velmora::risk {

struct CorrelationPlan {
    // The inputs (indexes into RiskDefinitions::inputs) that take part in any correlation.
    std::vector<std::size_t> inputs;
    // The lower Cholesky factor of the normal scores' target correlations, row-major.
    std::vector<double> factor;
    // False when the wanted correlations cannot hold together (not positive definite).
    bool ok = true;
};

// The plan for definitions whose correlations name their uncertain inputs.
CorrelationPlan PlanCorrelations(const RiskDefinitions& definitions);

// Reorders columns[c][0..n), the samples of plan.inputs[c] for iterations first to
// first + n - 1, on as many threads as `scratch` has buffers, with the same result on any
// number. Too few rows to measure a correlation leave the columns as drawn. Between its steps it
// gives up, leaving the columns half done, once `cancel` is set.
void ImposeRankCorrelation(const CorrelationPlan& plan, const std::vector<double*>& columns,
                           std::size_t n, std::uint64_t seed, std::int64_t first,
                           std::vector<RankingScratch>& scratch,
                           const std::atomic<bool>* cancel = nullptr);

// The lower Cholesky factor of the symmetric k x k matrix `m` (row-major), or an empty vector
// when `m` is not positive definite.
std::vector<double> Cholesky(const std::vector<double>& m, std::size_t k);

} // namespace velmora::risk
