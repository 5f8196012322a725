#pragma once

// A starting set of uncertain inputs for a project, for the engineer to judge and edit: the
// ranges that bid tabulations, price indices and traffic counts typically support.

#include "RiskDefinitions.h"

namespace velmora::risk {

// Every non-zero unit price triangular from 10 % below to 25 % above its value; the discount
// rate uniform from 3 to 5 %; AADT and traffic growth normal with a standard deviation of 10 %
// of their value, cut 4 standard deviations out and where Compute Costs stops accepting them;
// the year of every later stage that costs something triangular from 3 years earlier to 5 years
// later. Parameters other than the project's own values are rounded to the field's unit (prices
// to cents, AADT to whole vehicles, percentages to hundredths, years whole), and no sample falls
// where Compute Costs refuses it. Settings as `base` has them.
RiskDefinitions TypicalUncertainties(const ProjectData& project, RiskDefinitions base = {});

} // namespace velmora::risk
