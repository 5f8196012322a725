#pragma once

// The workbook's sheets of a risk analysis: "Risk", its figures and charts, and "Samples", its
// iterations.

#include "Workbook.h"
#include "WorkbookSheet.h"

#include <string>

namespace velmora::workbook {

// An uncertain input as content.inputLabel names it, or by its field where that gives no label.
std::string InputName(const WorkbookContent& content, const std::string& field);

// The summary, the statistics of every result and of the difference, the outcomes, the
// sensitivity and the distributions assumed, of content.risk. Returns why the sheet could not
// be written, or nothing.
std::string WriteRisk(lxw_workbook* book, const Formats& f, const WorkbookContent& content);

// From `row` on, under the Risk sheet's tables, the figures of the difference's histogram and of
// the totals' cumulative curves, and beside them their charts and a tornado of the swing table
// whose headings stand in row `swingHeading`. A chart with nothing to draw is left out.
void ChartRisk(lxw_workbook* book, Sheet& s, const Formats& f, const WorkbookContent& content,
               int row, int swingHeading);

// The rows of `velmora-cli simulate --samples` of content.risk, as many as
// content.sampleRowLimit rows hold with the heading, and a note in the last of them when some
// are left out. Written straight through: a million rows never wait in memory. Returns why the
// sheet could not be written, or nothing.
std::string WriteSamples(lxw_workbook* book, const Formats& f, const WorkbookContent& content);

} // namespace velmora::workbook
