#pragma once

// A risk analysis as values for the front ends: one JSON object with every figure, and the
// samples as CSV, one row per iteration, that `velmora-cli compute --set` can re-run exactly.

#include "RiskAnalysis.h"

#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace velmora::risk {

// Keys: iterations, sampling, seed, precision (precision-driven runs only),
// capitalRecoveryFactor, statistics (per result name and totalDifference: count, mean, sd, min,
// max, percentiles, euac), asphaltCheaperProbability, asphaltGridlockProbability,
// concreteGridlockProbability, refusedIterations, sensitivity, histograms, deterministic.
// Figures that do not exist (a spread of one value, a refused deterministic run) are null.
nlohmann::ordered_json RiskAnalysisJson(const RiskAnalysis& analysis);

// Columns: iteration (from 1), the value used for each uncertain field under its `show` name,
// the 24 results (empty when refused), asphaltGridlock, concreteGridlock, refused. Numbers in
// %.17g whatever the C locale. The text goes to `sink` piece by piece, so a million rows never
// sit in memory at once.
void WriteSamplesCsv(const RiskAnalysis& analysis,
                     const std::function<void(std::string_view)>& sink);
std::string SamplesCsv(const RiskAnalysis& analysis);

// %.17g, independent of the C locale: reads back to the same double.
std::string ExactNumber(double value);

} // namespace velmora::risk
