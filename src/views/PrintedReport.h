#pragma once

// The printed report of a project, which Print prints and Export PDF and `velmora --pdf` write:
// first the decision, then the pictures, then every input and the detailed results.

#include <ctime>

class QPrinter;

namespace velmora {

struct ProjectData;
namespace risk {
struct RiskAnalysis;
}

// Letter where the user's locale measures in inches, A4 elsewhere; the project's title and the
// program as the document's title and creator.
void PreparePrinter(QPrinter& printer, const ProjectData& project);

// Asks nothing: prints the report of `project` on `printer` as it is set up, for the moment
// `time`. `risk`, results of a risk analysis of the project as it stands, adds what they show.
// A project that Compute Costs refuses gets the refusal and its inputs. Returns the number of
// pages printed; 0 when the printer could not start.
int PrintProject(QPrinter& printer, const ProjectData& project,
                 const risk::RiskAnalysis* risk = nullptr, std::time_t time = std::time(nullptr));

} // namespace velmora
