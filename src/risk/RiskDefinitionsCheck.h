#pragma once

// Whether risk definitions that read well can also run on a project.

#include "RiskDefinitions.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace velmora::risk {

// What keeps the definitions from running on `project`, naming the entry: fields that are no
// numeric saved field, parameters out of order, samples outside what Compute Costs accepts,
// correlations that cannot hold together.
struct DefinitionsCheck {
    std::string error;
    bool ok() const { return error.empty(); }
};

// How a message names what it is about: by the definitions' keys, as a file written by hand
// has them ("inputs[0] (hmaWearingPrice)"), or, given `label`, as the Risk Analysis window's
// tables show them ("Row 1 (Unit Prices: HMA Wearing Course ($/ton))").
struct EntryNames {
    std::function<std::string(const std::string& field)> label; // empty: the keys
    std::string Setting(std::string_view key) const;            // "iterations" -> "Iterations"
    std::string Input(std::size_t row, const std::string& field) const;
    std::string Correlation(std::size_t row, const RankCorrelation& c) const;
    std::string Field(const std::string& field) const; // label, or the quoted name
    // "probabilities[1]" / "probability 2"; "inputs[0]" / "row 1"
    std::string Item(std::string_view list, std::size_t k) const;
};
DefinitionsCheck CheckRiskDefinitions(const RiskDefinitions& definitions,
                                      const ProjectData& project, const EntryNames& names = {});

} // namespace velmora::risk
