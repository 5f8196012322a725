#pragma once

// The report as a spreadsheet workbook: the decision first, as the printout's first page gives
// it, then the inputs and the results as numbers a spreadsheet can compute with, the cash flow of
// the run, and the risk analysis when one has run, with native charts. One more writer of the
// report structure; like the others it returns bytes and the front end decides where they go.

#include "engine/Analysis.h"
#include "model/ProjectData.h"
#include "risk/RiskAnalysis.h"

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>

namespace velmora {

// The most rows one sheet holds.
inline constexpr std::int64_t kSheetRowLimit = 1048576;

struct WorkbookContent {
    // The copy a Compute Costs run used, with the treatment counts it recomputed; or the project
    // as it stands when the hand-off refused it.
    const ProjectData* project = nullptr;
    // Null when `refusal` is set: the workbook then holds the inputs and the refusal.
    const AnalysisResult* run = nullptr;
    const Refusal* refusal = nullptr;
    // Adds the sheets "Risk" and "Samples", and how sure the decision is to the Summary.
    const risk::RiskAnalysis* risk = nullptr;
    std::time_t time = 0;
    // Rows of the Samples sheet, its heading and the note of a cut included.
    std::int64_t sampleRowLimit = kSheetRowLimit;
    // How the Risk and Samples sheets name an uncertain input: as the Risk Analysis window
    // labels it, or, where the label is empty, by the field's name.
    std::function<std::string(const std::string& field)> inputLabel; // empty: the fields' names
};

struct Workbook {
    std::string bytes; // the .xlsx file
    std::string error; // why no workbook came out
    bool ok() const { return error.empty(); }
};

// The spreadsheet library writes only to files: the workbook is built in a temporary file of
// its own, read back and removed, so a failure never reaches the file the user named.
Workbook BuildWorkbook(const WorkbookContent& content);

} // namespace velmora
