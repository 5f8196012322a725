#pragma once

// The report of "Export All Data" as structure: sections of rows of typed cells, in the order and
// with the labels the exported file has. The tab-separated file, the printout and the workbook are
// each one writer of it, so none of them has to take another's output apart again.

#include "engine/CostResults.h"
#include "model/ProjectData.h"

#include <ctime>
#include <string>
#include <vector>

namespace velmora {

struct ReportCell {
    enum class Kind { Text, Number };
    Kind kind = Kind::Text;
    // A text cell's UTF-8 text. Before a number's digits it is written as it stands: the totals
    // keep the blank that spreadsheets built on earlier reports expect.
    std::string text;
    double value = 0.0;
    int decimals = 2;
    // The saved field a text cell comes from, to name it when a writer cannot hold the text.
    std::string field;
};

struct ReportRow {
    std::vector<ReportCell> cells; // none: a blank line
    bool header = false;           // the column headings of the rows that follow
};

struct ReportSection {
    enum class Kind { Title, Inputs, Costs };
    Kind kind = Kind::Inputs;
    std::string heading; // "GENERAL PROJECT INFORMATION"; empty for the title lines
    std::vector<ReportRow> rows;
};

struct ReportDocument {
    std::vector<ReportSection> sections;
};

// Every input of `project` and, when `results` is given, the two sections of computed costs.
// `project` is the copy a Compute Costs run used, with the treatment counts it recomputed, and
// `time` the moment of the export, written as local time the way the C library's ctime renders it.
ReportDocument BuildReportDocument(const ProjectData& project, const CostResults* results,
                                   std::time_t time);

// `time` as the report's "Date and Time:" line writes it: local time as ctime renders it.
std::string ExportMoment(std::time_t time);

} // namespace velmora
