#pragma once

// The cumulative probabilities of one input's samples, for a block of consecutive iterations:
// independent draws (Monte Carlo), or one draw in each of n equal strata in random order (Latin
// hypercube over the block).

#include "CounterRandom.h"
#include "RiskDefinitions.h"

#include <cstdint>
#include <vector>

namespace velmora::risk {

// Writes the probabilities of iterations first to first + n - 1 of input `input` to out[0..n).
// `strata` is scratch space, kept by the caller between blocks.
void FillProbabilities(Sampling sampling, std::uint64_t seed, std::int64_t first, std::size_t n,
                       std::uint32_t input, double* out, std::vector<std::uint32_t>& strata);

// A random order of 0 .. n - 1, drawn from (seed, first + t, input, stream) for t = n - 1 .. 1.
void Shuffle(std::vector<std::uint32_t>& order, std::size_t n, std::uint64_t seed,
             std::int64_t first, std::uint32_t input, Stream stream);

} // namespace velmora::risk
