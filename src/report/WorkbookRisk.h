#pragma once

// The workbook's sheets of a risk analysis: "Risk", its figures, and "Samples", its iterations.

#include "WorkbookSheet.h"
#include "risk/RiskAnalysis.h"

#include <cstdint>
#include <string>

namespace velmora::workbook {

// The summary, the statistics of every result and of the difference, the outcomes and the
// sensitivity. Returns why the sheet could not be written, or nothing.
std::string WriteRisk(lxw_workbook* book, const Formats& f, const risk::RiskAnalysis& a);

// The rows of `velmora-cli simulate --samples`, as many as `rowLimit` rows hold with the
// heading, and a note in the last of them when some are left out. Written straight through: a
// million rows never wait in memory. Returns why the sheet could not be written, or nothing.
std::string WriteSamples(lxw_workbook* book, const Formats& f, const risk::RiskAnalysis& a,
                         std::int64_t rowLimit);

} // namespace velmora::workbook
