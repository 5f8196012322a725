#pragma once

// The first page of the printed report: the decision, for a reader who has never seen the
// program, as HTML for the printed pages to typeset.

#include "report/DecisionSummary.h"

#include <QString>
#include <ctime>

namespace velmora {

// Text as typed, safe inside HTML, its line breaks kept.
QString HtmlText(const std::string& text);

// The project's title and description, when it was printed, the basis of the comparison, the
// decision, what changes its reading, and the costs side by side.
QString DecisionHtml(const DecisionSummary& summary, const ProjectData& project, std::time_t time);

// What a risk analysis adds: how sure the decision is, the spread of the totals and of their
// difference, and the inputs that move it most. Empty without risk results.
QString RiskSummaryHtml(const DecisionSummary& summary);

} // namespace velmora
