#include "WorkbookSheet.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace velmora::workbook {
namespace {

// Columns never grow past this: a long note overflows into the empty cells beside it instead.
constexpr double kWidestColumn = 60.0;
// The most characters a spreadsheet keeps in one cell.
constexpr std::size_t kCellCharacters = 32767;

} // namespace

Formats::Formats(lxw_workbook* book) {
    bold = workbook_add_format(book);
    format_set_bold(bold);
    dollars = workbook_add_format(book);
    format_set_num_format(dollars, kWholeDollars);
    boldDollars = workbook_add_format(book);
    format_set_num_format(boldDollars, kWholeDollars);
    format_set_bold(boldDollars);
    share = workbook_add_format(book);
    format_set_num_format(share, "0.0%");
    right = workbook_add_format(book);
    format_set_align(right, LXW_ALIGN_RIGHT);
    for (int d = 0; d < 5; ++d) {
        decimals[d] = workbook_add_format(book);
        format_set_num_format(decimals[d], d == 0 ? "0" : ("0." + std::string(d, '0')).c_str());
    }
}

double NumberWidth(double value, int decimals, bool thousands) {
    char buffer[400];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    const auto length = static_cast<double>(end - buffer);
    if (!thousands) return length;
    const double digits = length - (decimals ? decimals + 1 : 0) - (value < 0 ? 1 : 0);
    return length + std::max(0.0, std::floor((digits - 1) / 3));
}

std::string CellTextProblem(std::string_view text, std::string_view what) {
    const auto characters = static_cast<std::size_t>(
        std::ranges::count_if(text, [](unsigned char c) { return (c & 0xC0) != 0x80; }));
    if (characters <= kCellCharacters) return {};
    return std::string(what) + " needs a cell of " + std::to_string(characters) +
           " characters; a workbook cell holds at most " + std::to_string(kCellCharacters);
}

std::string WriteText(lxw_worksheet* sheet, int row, int col, const std::string& text,
                      lxw_format* format, std::string_view what) {
    if (std::string problem = CellTextProblem(text, what); !problem.empty()) return problem;
    const lxw_error error = worksheet_write_string(sheet, row, col, text.c_str(), format);
    return error == LXW_NO_ERROR ? std::string() : lxw_strerror(error);
}

Sheet::Sheet(lxw_workbook* book, const char* name)
    : sheet_(workbook_add_worksheet(book, name)), name_(name) {}

void Sheet::Text(int row, int col, std::string_view text, lxw_format* format, bool fit,
                 std::string_view field) {
    if (problem_.empty())
        problem_ = CellTextProblem(text, field.empty() ? "A text on sheet " + name_ : field);
    cells_[{row, col}] = {false, 0.0, std::string(text), format};
    if (fit) Widen(col, static_cast<double>(text.size()));
}

void Sheet::Number(int row, int col, double value, lxw_format* format, double width) {
    if (!std::isfinite(value)) return;
    cells_[{row, col}] = {true, value, {}, format};
    Widen(col, width);
}

void Sheet::Dollars(int row, int col, double value, lxw_format* format) {
    Number(row, col, value, format, NumberWidth(value, 0, true));
}

void Sheet::Plain(int row, int col, double value, lxw_format* format) {
    Number(row, col, value, format, NumberWidth(value, 2, false));
}

std::string Sheet::Finish() {
    if (!problem_.empty()) return problem_;
    for (const auto& [at, cell] : cells_) {
        const lxw_error error =
            cell.number
                ? worksheet_write_number(sheet_, at.first, at.second, cell.value, cell.format)
                : worksheet_write_string(sheet_, at.first, at.second, cell.text.c_str(),
                                         cell.format);
        if (error != LXW_NO_ERROR) return lxw_strerror(error);
    }
    for (std::size_t col = 0; col < widths_.size(); ++col)
        if (widths_[col] > 0)
            worksheet_set_column(sheet_, col, col, std::min(widths_[col] + 2, kWidestColumn),
                                 nullptr);
    return {};
}

void Sheet::Widen(int col, double width) {
    if (widths_.size() <= static_cast<std::size_t>(col)) widths_.resize(col + 1);
    widths_[col] = std::max(widths_[col], width);
}

} // namespace velmora::workbook
