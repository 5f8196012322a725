#include "Report.h"

#include "model/Cp1252.h"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace velmora {
namespace {

// A text as one cell that a spreadsheet takes as it stands: a tab or a line break inside it
// would start another cell or row, and a text that begins like a formula would be run as one
// (a title "=HYPERLINK(...)" opened from a shared report), so it gets the apostrophe that
// spreadsheets read as "text follows" and do not show.
std::string AsOneCell(std::string text) {
    std::ranges::replace_if(
        text, [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
    if (!text.empty() && std::string_view("=+-@").find(text.front()) != std::string_view::npos)
        text.insert(0, 1, '\'');
    return text;
}

class TabWriter {
public:
    void Put(std::string_view text) { text_ += text; }

    void Cell(const ReportCell& cell) {
        if (cell.kind == ReportCell::Kind::Number) {
            text_ += cell.text;
            char buffer[400];
            const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, cell.value,
                                                 std::chars_format::fixed, cell.decimals);
            text_.append(buffer, end);
        } else if (const std::optional<std::string> bytes = Utf8ToCp1252(cell.text)) {
            text_ += AsOneCell(*bytes);
        } else if (unencodable_.empty()) {
            unencodable_ = cell.field;
        }
    }

    void Row(const ReportRow& row) {
        for (std::size_t k = 0; k < row.cells.size(); ++k) {
            if (k) Put("\t");
            Cell(row.cells[k]);
        }
    }

    // Every line feed as CR LF, as a file written in text mode holds it.
    Report Finish() {
        Report report;
        if (!unencodable_.empty()) {
            report.unencodableField = unencodable_;
            return report;
        }
        report.bytes.reserve(text_.size() + text_.size() / 16);
        for (char c : text_) {
            if (c == '\n') report.bytes += '\r';
            report.bytes += c;
        }
        return report;
    }

private:
    std::string text_;
    std::string unencodable_;
};

} // namespace

Report WriteTabSeparated(const ReportDocument& document) {
    TabWriter w;
    bool first = true;
    for (const ReportSection& section : document.sections) {
        if (!section.heading.empty()) {
            w.Put("\n\n***");
            w.Put(section.heading);
            w.Put("***");
        }
        for (const ReportRow& row : section.rows) {
            if (!first) w.Put("\n");
            first = false;
            w.Row(row);
        }
    }
    return w.Finish();
}

Report BuildReport(const ProjectData& project, const CostResults& results, std::time_t time) {
    return WriteTabSeparated(BuildReportDocument(project, &results, time));
}

} // namespace velmora
