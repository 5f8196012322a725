#pragma once

// The statistics phase of a risk analysis, once every iteration has its row.

#include "RiskAnalysis.h"

namespace velmora::risk {

// Fills the figures of `a` from its rows: the statistics of every result and of the difference
// of the totals, how often asphalt is the cheaper option and how often each option gridlocks, and
// the rank correlation of every input with the totals and their difference; on as many threads
// as `scratch` has buffers.
void SummarizeRiskAnalysis(RiskAnalysis& a, const ProjectData& project,
                           std::vector<RankingScratch>& scratch);

} // namespace velmora::risk
