#pragma once

// The workbook's sheets of a risk analysis: "Risk", its figures, and "Samples", its iterations.

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

// The rows of `velmora-cli simulate --samples` of content.risk, as many as
// content.sampleRowLimit rows hold with the heading, and a note in the last of them when some
// are left out. Written straight through: a million rows never wait in memory. Returns why the
// sheet could not be written, or nothing.
std::string WriteSamples(lxw_workbook* book, const Formats& f, const WorkbookContent& content);

} // namespace velmora::workbook
