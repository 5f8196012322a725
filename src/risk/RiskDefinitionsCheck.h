#pragma once

// Whether risk definitions that read well can also run on a project.

#include "RiskDefinitions.h"

namespace velmora::risk {

// What keeps the definitions from running on `project`, naming the entry: fields that are no
// numeric saved field, parameters out of order, samples outside what Compute Costs accepts,
// correlations that cannot hold together.
struct DefinitionsCheck {
    std::string error;
    bool ok() const { return error.empty(); }
};
DefinitionsCheck CheckRiskDefinitions(const RiskDefinitions& definitions,
                                      const ProjectData& project);

} // namespace velmora::risk
