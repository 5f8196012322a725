#pragma once

// What a reader of the report needs first: which option is cheaper and by how much, the costs
// behind it side by side, everything that changes how to read them, and, when a risk analysis
// of the project as it stands has run, how sure the answer is. The printout's first page and the
// workbook's Summary sheet both write it, so they never disagree.

#include "engine/Analysis.h"
#include "engine/HandOff.h"
#include "model/ProjectData.h"
#include "risk/RiskAnalysis.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace velmora {

// A line of the cost table, in dollars per mile.
struct DecisionLine {
    std::string label;
    std::array<double, 2> option{}; // indexed by PavementOption
    double difference = 0.0;        // asphalt - concrete
};

// The 5th, 50th and 95th percentiles of a simulated figure.
struct RiskSpread {
    std::string label;
    std::array<double, 3> percentiles{};
};

struct DecisionSummary {
    // "Analysis period 40 years, discount rate 4.00 %".
    std::string basis;
    // The decision in one sentence; the refusal's caption when the project is refused.
    std::string headline;
    bool refused = false;
    // What changes the reading of the figures: a gridlock, user costs left out; the refusal's
    // text when refused.
    std::vector<std::string> caveats;
    // Agency, user delay, maintenance, total and equivalent uniform annual cost; none when
    // refused.
    std::vector<DecisionLine> table;

    // Set only from risk results of the project as it stands.
    std::string riskSentence;
    std::vector<RiskSpread> riskSpreads;  // asphalt total, concrete total, difference
    std::vector<std::string> riskDrivers; // the inputs that move the difference most, widest first
};

inline constexpr std::array<const char*, 3> kSpreadHeadings{"5th percentile", "50th percentile",
                                                            "95th percentile"};
inline constexpr const char* kDifferenceHeading = "Difference (asphalt - concrete)";

// `project` is the copy `run` was computed on, or the project as it stands when `refusal` is set
// (then `run` is not read). `risk`, when given, holds results of a risk analysis of this very
// project; `inputLabel` names its uncertain inputs (empty: by their fields' names).
DecisionSummary
SummarizeDecision(const ProjectData& project, const AnalysisResult* run, const Refusal* refusal,
                  const risk::RiskAnalysis* risk = nullptr,
                  const std::function<std::string(const std::string& field)>& inputLabel = {});

// "Asphalt is the cheaper option in 63.2 % of 10,000 iterations (95 %: 62.2–64.1 %)", or the
// same of concrete when concrete is the likelier cheaper one.
std::string CheaperOptionSentence(const risk::Proportion& asphaltCheaper);

} // namespace velmora
