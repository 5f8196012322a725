#pragma once

// The workbook's first sheet, "Summary": the decision as the printout's first page gives it.

#include "Workbook.h"
#include "WorkbookSheet.h"

#include <string>

namespace velmora::workbook {

// The project, the decision and its caveats, the costs side by side and, with content.risk,
// how sure the answer is; a refused project's refusal and nothing more. Returns why the sheet
// could not be written, or nothing.
std::string WriteSummary(lxw_workbook* book, const Formats& f, const WorkbookContent& content);

} // namespace velmora::workbook
