#pragma once

// The risk definitions of a project: which saved fields are uncertain, the distribution of each,
// the rank correlations between them, and how the simulation samples. The project file keeps
// them as JSON text (ProjectData::riskDefinitions):
//
//   {"format": "velmora-risk", "version": 1, "iterations": 10000, "seed": 1, "sampling": "lhs",
//    "inputs": [{"field": "hmaWearingPrice", "distribution": "triangular",
//                "min": 45, "mode": 55, "max": 70}, ...],
//    "correlations": [{"fields": ["hmaWearingPrice", "hmaBinderPrice"], "rank": 0.8}]}

#include "model/ProjectData.h"
#include "model/ProjectFile.h"

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::risk {

enum class DistributionKind { Uniform, Triangular, Pert, Normal, Lognormal, Discrete };
enum class Sampling { LatinHypercube, MonteCarlo };

struct UncertainInput {
    std::string field; // as `velmora-cli show` names it
    DistributionKind distribution = DistributionKind::Uniform;
    // The parameters are multipliers of the project's own value of the field.
    bool relative = false;
    // Only the parameters the distribution takes are set. Normal and lognormal take the mean and
    // standard deviation of the value itself, and min and max as optional truncation.
    std::optional<double> min, mode, max, mean, sd;
    std::vector<double> values, probabilities; // discrete
};

struct RankCorrelation {
    std::string first, second;
    double rank = 0.0;
};

inline constexpr std::int64_t kMostIterations = 10'000'000;
// Where a precision-driven run stops checking when the definitions give no maxIterations.
inline constexpr std::int64_t kDefaultMaxIterations = 1'000'000;

struct RiskDefinitions {
    std::int64_t iterations = 10'000;
    std::uint64_t seed = 1;
    Sampling sampling = Sampling::LatinHypercube;
    // Set: stop once the 95 % confidence half-width of the mean of (asphalt total - concrete
    // total) falls below this many dollars per mile, checked every 1,000 iterations, after
    // maxIterations at the latest. `iterations` then plays no part.
    std::optional<double> precision;
    std::optional<std::int64_t> maxIterations;
    std::vector<UncertainInput> inputs;
    std::vector<RankCorrelation> correlations;

    std::int64_t MostIterations() const {
        return precision ? maxIterations.value_or(kDefaultMaxIterations) : iterations;
    }
};

// The definitions, or what is wrong with their JSON shape (an unknown key, a missing parameter,
// a text where a number belongs), naming the entry: "inputs[3] (aadt): ...".
struct ParsedDefinitions {
    RiskDefinitions definitions;
    std::string error;
    bool ok() const { return error.empty(); }
};
ParsedDefinitions ParseRiskDefinitions(std::string_view json);

// DecodeProject, and definitions that do not parse are reported in the warning and left out as
// a damaged block is, so that every front end says so the moment a project is read and no save
// writes them back.
DecodeResult DecodeProjectAndDefinitions(std::string_view bytes, ProjectData& project);

nlohmann::ordered_json RiskDefinitionsJson(const RiskDefinitions& definitions);
// The text a project keeps: parsing it gives the same definitions back.
std::string RiskDefinitionsText(const RiskDefinitions& definitions);

// The shortest text that reads back as `value`, independent of the C locale.
std::string ShortNumber(double value);
// `value` to `decimals` places, as the nearest double to that decimal: 0.9 x 62 is
// 55.800000000000004, which ShortNumber would write in full; this gives 55.8.
double Rounded(double value, int decimals);
// The distribution as people name it: "Triangular", "PERT".
std::string_view DistributionLabel(DistributionKind kind);
// How messages name an entry of a list: "inputs[3]", or with `what` "inputs[3] (aadt)".
std::string EntryName(std::string_view list, std::size_t index, std::string_view what = {});

} // namespace velmora::risk
