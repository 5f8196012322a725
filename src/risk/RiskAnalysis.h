#pragma once

// The risk analysis of a project: every uncertain input sampled thousands of times, each sample
// run through the hand-off and the analysis of Compute Costs, and the spread of the results, how
// likely each option is the cheaper one, and which inputs drive the difference.
//
// A run is bit for bit the same for any number of threads: every random number comes from
// (seed, iteration, input), each iteration writes only its own row, and every figure is summed
// in iteration order.

#include "RiskDefinitions.h"
#include "Statistics.h"
#include "engine/Analysis.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora::risk {

inline constexpr std::size_t kResultCount = 24;
// The names of the 24 results, in the order of ForEachCostResult.
const std::array<std::string, kResultCount>& ResultNames();
// The 24 results in that order, without building a name.
std::array<double, kResultCount> ResultValues(const CostResults& results);
// Where the result `name` lies in ResultNames().
std::size_t ResultIndex(std::string_view name);

// Shared with a front end that runs the analysis on another thread.
struct SimulationControl {
    std::atomic<std::int64_t> iterationsDone{0};
    // The fixed count, or the most a precision-driven run may take.
    std::atomic<std::int64_t> iterationsPlanned{0};
    // Set to stop; the run then returns within about a block of work, keeping nothing.
    std::atomic<bool> cancel{false};
};

struct SimulationOptions {
    unsigned threads = 0; // 0: every core
    SimulationControl* control = nullptr;
};

// Bits of RiskAnalysis::outcome.
enum Outcome : std::uint8_t { kRefused = 1, kAsphaltGridlock = 2, kConcreteGridlock = 4 };

struct RefusalTally {
    Refusal refusal;
    std::int64_t count = 0;
    std::int64_t firstIteration = 0; // from 1
};

struct InputSensitivity {
    std::string field;
    // Spearman rank correlations over the iterations that have each figure.
    double asphaltTotal = kNotANumber;
    double concreteTotal = kNotANumber;
    double totalDifference = kNotANumber;
};

// One bar of a tornado chart: the input at its 10th and 90th percentiles, the others at the
// project's values.
struct Swing {
    std::string field;
    double low = kNotANumber, high = kNotANumber;
    // Asphalt total - concrete total; not a number when that run was refused or gridlocked.
    double differenceAtLow = kNotANumber, differenceAtHigh = kNotANumber;
    double width = kNotANumber;
};

struct RiskAnalysis {
    // What kept the definitions from running; nothing else is set then.
    std::string error;
    // Stopped on request; nothing else is set then.
    bool cancelled = false;

    RiskDefinitions definitions;
    std::int64_t iterations = 0;
    // Precision-driven runs: the half-width reached, and whether it met the precision.
    double halfWidth = kNotANumber;
    bool precisionReached = false;

    // Per iteration (index = iteration - 1), one column per uncertain input and per result.
    std::vector<std::string> fields;
    std::vector<std::vector<double>> inputs;               // the values actually used
    std::array<std::vector<double>, kResultCount> results; // not a number when refused
    std::vector<std::uint8_t> outcome;
    std::vector<RefusalTally> refusals; // by first occurrence
    std::int64_t refusedIterations = 0;

    // The project as it stands.
    std::optional<Refusal> deterministicRefusal;
    CostResults deterministic;
    bool deterministicAsphaltGridlock = false, deterministicConcreteGridlock = false;

    // Each option's results leave out the iterations it gridlocked in; the difference and the
    // comparison leave out both options' gridlocks.
    std::array<Statistics, kResultCount> statistics;
    Statistics difference;
    Proportion asphaltCheaper;  // asphalt total below concrete total
    Proportion asphaltGridlock; // over the iterations not refused
    Proportion concreteGridlock;
    std::vector<InputSensitivity> rankCorrelations;
    std::vector<Swing> swings; // widest first
    // At the project's discount rate over its analysis period.
    double capitalRecoveryFactor = kNotANumber;
};

RiskAnalysis RunRiskAnalysis(const ProjectData& project, const RiskDefinitions& definitions,
                             const SimulationOptions& options = {});

} // namespace velmora::risk
