#pragma once

// What the sheets of the workbook share: their formats, a sheet that takes its cells in any
// order, and the limit of a cell's text. Only the workbook's writers include it.

#include "NumberText.h"

#include <array>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>
#include <xlsxwriter.h>

namespace velmora::workbook {

inline constexpr const char* kWholeDollars = "#,##0";

struct Formats {
    explicit Formats(lxw_workbook* book);
    lxw_format* bold;
    lxw_format* dollars;
    lxw_format* boldDollars;
    lxw_format* share;
    lxw_format* right;
    std::array<lxw_format*, 5> decimals; // "0" to "0.0000"
};

// How many characters a number takes as its format shows it.
double NumberWidth(double value, int decimals, bool thousands);

// Why `text` does not fit in a cell, naming it by `what` (a saved field such as "projectTitle",
// or where it stands), or empty when it fits. Characters count as spreadsheets count them: each
// UTF-8 sequence one.
std::string CellTextProblem(std::string_view text, std::string_view what);
// Writes `text` to a cell straight away; the reason when it is not written.
std::string WriteText(lxw_worksheet* sheet, int row, int col, const std::string& text,
                      lxw_format* format, std::string_view what);

// A sheet whose cells may be put in any order: the library, kept to constant memory so that a
// million samples fit, takes rows only from top to bottom, so they wait here until Finish().
class Sheet {
public:
    Sheet(lxw_workbook* book, const char* name);

    lxw_worksheet* get() const { return sheet_; }

    // `fit`: the column grows to show the text; notes leave it as the table needs it. `field`
    // names the saved field the text comes from, for a text too long for its cell.
    void Text(int row, int col, std::string_view text, lxw_format* format = nullptr,
              bool fit = true, std::string_view field = {});

    // Numbers that do not exist (a spread of one value) leave the cell empty.
    void Number(int row, int col, double value, lxw_format* format, double width);
    void Dollars(int row, int col, double value, lxw_format* format);
    void Plain(int row, int col, double value, lxw_format* format = nullptr);

    // Writes the cells, or says why the sheet cannot hold them: nothing is ever left out
    // silently.
    std::string Finish();

private:
    struct Cell {
        bool number;
        double value;
        std::string text;
        lxw_format* format;
    };

    void Widen(int col, double width);

    lxw_worksheet* sheet_;
    std::string name_;
    std::map<std::pair<int, int>, Cell> cells_;
    std::vector<double> widths_;
    std::string problem_; // the first text too long for its cell
};

} // namespace velmora::workbook
