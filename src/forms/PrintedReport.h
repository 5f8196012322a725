#pragma once

// The printed report of a project: what "Export All Data" writes, typeset as tables, with the
// pieces apart so that tests can read the document and count the pages.

#include <QString>
#include <ctime>

class QPrinter;

namespace velmora {

struct ProjectData;

// The report as HTML: every input of `project` and the costs of a Compute Costs run on a copy of
// it, as the export would write them at `time`. A project that Compute Costs refuses gets its
// inputs and the refusal in place of the costs; a gridlocked option is noted under the costs.
QString PrintedReportHtml(const ProjectData& project, std::time_t time);

// Prints `html` on `printer`, page after page, with the page number and `footer` at the foot of
// each page. Returns the number of pages printed; 0 when the printer could not start.
int PrintDocument(QPrinter& printer, const QString& html, const QString& footer);

// Asks nothing: prints the report of `project` on `printer` as it is set up.
void PrintProject(QPrinter& printer, const ProjectData& project);

} // namespace velmora
