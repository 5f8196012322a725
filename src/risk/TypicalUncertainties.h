#pragma once

// A starting set of uncertain inputs for a project, for the engineer to judge and edit: the
// ranges that bid tabulations, price indices and traffic counts typically support.

#include "RiskDefinitions.h"

namespace velmora::risk {

// Every non-zero unit price triangular from 10 % below to 25 % above its value; the discount
// rate uniform from 3 to 5 %; AADT and traffic growth normal with a standard deviation of 10 %
// of their value, cut at what Compute Costs accepts; the year of every later stage that costs
// something triangular from 3 years earlier to 5 years later. Settings as `base` has them.
RiskDefinitions TypicalUncertainties(const ProjectData& project, RiskDefinitions base = {});

} // namespace velmora::risk
