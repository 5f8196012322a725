#pragma once

// The report of "Export All Data": every input of the project and every computed cost as
// tab-separated text that a spreadsheet opens as a table. Computes nothing and writes nothing;
// the front end decides where the bytes go.

#include "ReportDocument.h"

#include <string>

namespace velmora {

struct Report {
    // Windows-1252 text, CR LF line ends, no line end after the last line. Empty when
    // `unencodableField` is set.
    std::string bytes;
    // The first text that holds a character Windows-1252 cannot hold (e.g. "projectTitle",
    // "concreteMaintenance[2].description"): nothing is ever dropped silently.
    std::string unencodableField;
    bool ok() const { return unencodableField.empty(); }
};

// The report of a Compute Costs run: `project` is the copy the run used, with the treatment
// counts it recomputed (see ApplyTreatmentCounts), `results` what the results form shows, and
// `time` the moment of the export, written as local time the way the C library's ctime renders
// it. Numbers never go through the C locale, so the GUI's own locale cannot change them.
Report BuildReport(const ProjectData& project, const CostResults& results, std::time_t time);

// The tab-separated text of a report document: a blank line and "***HEADING***" before each
// section, one line per row, cells separated by tabs, texts in Windows-1252. A tab or line break
// inside a text is written as a space, and a text that begins with =, +, - or @ gets a leading
// apostrophe, so that each text stays one cell and no spreadsheet runs it as a formula.
Report WriteTabSeparated(const ReportDocument& document);

} // namespace velmora
