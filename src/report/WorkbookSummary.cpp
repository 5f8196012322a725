#include "WorkbookSummary.h"

#include "DecisionSummary.h"
#include "ReportDocument.h"
#include "WorkbookRisk.h"

namespace velmora::workbook {
namespace {

// A heading row of the sheet's tables, over the label column.
void Headings(Sheet& s, int row, std::initializer_list<const char*> headings, const Formats& f) {
    int col = 1;
    for (const char* heading : headings) s.Text(row, col++, heading, f.bold);
}

} // namespace

std::string WriteSummary(lxw_workbook* book, const Formats& f, const WorkbookContent& content) {
    const DecisionSummary d =
        SummarizeDecision(*content.project, content.run, content.refusal, content.risk,
                          [&](const std::string& field) { return InputName(content, field); });
    Sheet s(book, "Summary");
    // Sentences run on over the empty cells beside them; the columns stay as the tables need.
    s.Text(0, 0, content.project->projectTitle, f.bold, false, "projectTitle");
    s.Text(1, 0, d.basis, nullptr, false);
    s.Text(2, 0, "Date and Time:");
    s.Text(2, 1, ExportMoment(content.time), nullptr, false);
    int r = 4;
    s.Text(r++, 0, d.headline, f.bold, false);
    for (const std::string& caveat : d.caveats) s.Text(r++, 0, caveat, nullptr, false);
    if (d.refused) return s.Finish();

    ++r;
    Headings(s, r, {"Asphalt", "Concrete", kDifferenceHeading}, f);
    for (const DecisionLine& line : d.table) {
        ++r;
        s.Text(r, 0, line.label);
        s.Dollars(r, 1, line.option[0], f.dollars);
        s.Dollars(r, 2, line.option[1], f.dollars);
        s.Dollars(r, 3, line.difference, f.dollars);
    }
    if (d.riskSentence.empty()) return s.Finish();

    r += 2;
    s.Text(r, 0, d.riskSentence, nullptr, false);
    ++r;
    Headings(s, r, {kSpreadHeadings[0], kSpreadHeadings[1], kSpreadHeadings[2]}, f);
    for (const RiskSpread& spread : d.riskSpreads) {
        ++r;
        s.Text(r, 0, spread.label);
        for (int k = 0; k < 3; ++k) s.Dollars(r, 1 + k, spread.percentiles[k], f.dollars);
    }
    if (!d.riskDrivers.empty()) {
        r += 2;
        s.Text(r, 0, "Inputs that move the difference most", f.bold, false);
        for (const std::string& driver : d.riskDrivers) s.Text(++r, 0, driver, nullptr, false);
    }
    return s.Finish();
}

} // namespace velmora::workbook
