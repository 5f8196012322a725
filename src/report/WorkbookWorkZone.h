#pragma once

// The workbook's sheet of the work zone planner, "Work Zone", for a project with planner
// settings.

#include "WorkZoneReport.h"
#include "WorkbookSheet.h"

#include <string>

namespace velmora::workbook {

// The settings, every candidate window of every stage of both options as the planner ranks
// them, the project's own window marked, and beside them the simulated day of each stage at the
// project's window hour by hour. Returns why the sheet could not be written, or nothing.
std::string WriteWorkZone(lxw_workbook* book, const Formats& f, const WorkZoneReport& report);

} // namespace velmora::workbook
