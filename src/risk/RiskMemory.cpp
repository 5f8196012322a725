#include "RiskMemory.h"

#include "RiskAnalysis.h"

#include <algorithm>

namespace velmora::risk {

std::uint64_t EstimateRiskMemory(const RiskDefinitions& definitions) {
    const auto iterations =
        static_cast<std::uint64_t>(std::max<std::int64_t>(definitions.MostIterations(), 0));
    const std::uint64_t columns = definitions.inputs.size() + kResultCount;
    // The summary ranks on two threads, each with two 8-byte sort keys and two 4-byte positions
    // per iteration.
    constexpr std::uint64_t kRankingThreads = 2, kRankingBytes = 24;
    return iterations *
           (columns * sizeof(double) + sizeof(std::uint8_t) + kRankingThreads * kRankingBytes);
}

} // namespace velmora::risk
