#include "Workbook.h"

#include "ReportDocument.h"
#include "WorkbookRisk.h"
#include "WorkbookSheet.h"
#include "WorkbookSummary.h"
#include "WorkbookWorkZone.h"
#include "engine/CashFlow.h"

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <xlsxwriter.h>
#if defined(_WIN32)
#include <io.h>
#include <sys/stat.h>
#else
#include <locale.h>
#include <unistd.h>
#endif

namespace velmora {
namespace {

using namespace workbook;

// Every input under the form it belongs to, as "Export All Data" lists them: numbers as
// numbers, the unit in the cell after the value.
std::string WriteInputs(lxw_workbook* book, const Formats& f, const WorkbookContent& content) {
    Sheet s(book, "Inputs");
    const ReportDocument document = BuildReportDocument(*content.project, nullptr, content.time);
    int col = 0;
    for (const char* heading : {"Form", "Input", "Value", "Unit"})
        s.Text(0, col++, heading, f.bold);
    int r = 1;
    for (const ReportSection& section : document.sections) {
        // The form's name runs on over the empty cells beside it; the column stays narrow.
        s.Text(r++, 0, section.heading.empty() ? "PROJECT" : section.heading, f.bold, false);
        for (const ReportRow& row : section.rows) {
            if (row.cells.empty()) continue;
            for (std::size_t k = 0; k < row.cells.size(); ++k) {
                const ReportCell& cell = row.cells[k];
                const int col = static_cast<int>(k) + 1;
                if (cell.kind == ReportCell::Kind::Text)
                    s.Text(r, col, cell.text, row.header ? f.bold : nullptr, true, cell.field);
                else
                    s.Number(r, col, cell.value, f.decimals[std::clamp(cell.decimals, 0, 3)],
                             NumberWidth(cell.value, cell.decimals, false));
            }
            ++r;
        }
        ++r;
    }
    worksheet_freeze_panes(s.get(), 1, 0);
    return s.Finish();
}

struct OptionLabels {
    const char* title;
    const char* name;
};
constexpr std::array<OptionLabels, 2> kOptions{{
    {"ASPHALT OPTION: NET PRESENT VALUE, $/MILE, CURRENT DOLLARS", "Asphalt Option"},
    {"CONCRETE OPTION: NET PRESENT VALUE, $/MILE, CURRENT DOLLARS", "Concrete Option"},
}};
// One bar stacks the same stage of both options.
constexpr std::array<const char*, 4> kChartStages{
    "Initial Construction", "1st Overlay / Rehabilitation", "2nd Overlay / Rehabilitation",
    "3rd Overlay / Rehabilitation"};

// The 24 results as the Computed Costs form shows them, the options side by side, each with its
// equivalent uniform annual cost; below them the figures of the stacked bars, which the chart
// beside them draws.
std::string WriteResults(lxw_workbook* book, const Formats& f, const WorkbookContent& content) {
    Sheet s(book, "Results");
    if (content.refusal) {
        s.Text(0, 0, content.refusal->caption, f.bold);
        s.Text(1, 0, content.refusal->text, nullptr, false);
        s.Text(2, 0, "Compute Costs refuses the project as it stands; no costs were computed.",
               nullptr, false);
        return s.Finish();
    }
    const ProjectData& p = *content.project;
    const AnalysisResult& run = *content.run;
    // Only Include counts a stage, as on the form; the subtotal is excluded when no stage can
    // count.
    const auto excluded = [&](int k) {
        return k == 4 ? !UserCostsIncluded(p) : p.StageInclusion(k) != WzInclusion::Include;
    };
    constexpr int kChartRow = 14;
    s.Text(kChartRow, 0, "Chart figures, $/mile", f.bold);
    for (int option = 0; option < 2; ++option) {
        const OptionLabels& labels = kOptions[option];
        const OptionCosts& costs = run.results[option];
        const int c = 4 * option;
        s.Text(0, c, labels.title, f.bold, false);
        s.Text(1, c, "Component", f.bold);
        s.Text(1, c + 1, "Agency", f.bold);
        s.Text(1, c + 2, "User Delay", f.bold);
        for (int k = 0; k < 5; ++k) {
            s.Text(2 + k, c, k < 4 ? PavementOption::kStageNames[option][k] : "Subtotal");
            s.Dollars(2 + k, c + 1, k < 4 ? costs.agency[k] : costs.agencySubtotal, f.dollars);
            if (excluded(k))
                s.Text(2 + k, c + 2, "Excluded", f.right);
            else
                s.Dollars(2 + k, c + 2, k < 4 ? costs.user[k] : costs.userSubtotal, f.dollars);
        }
        s.Text(7, c, "Recurring Maintenance");
        s.Dollars(7, c + 1, costs.maintenanceCost, f.dollars);
        s.Text(8, c, "Total Cost, Net Present Value ($/mile)", f.bold);
        s.Dollars(8, c + 1, costs.total, f.boldDollars);
        s.Text(9, c, "Equivalent Uniform Annual Cost ($/mile/year)");
        s.Dollars(9, c + 1,
                  EquivalentUniformAnnualCost(costs.total, p.discountRate, p.analysisPeriod),
                  f.dollars);

        s.Text(kChartRow, 1 + option, labels.name, f.bold);
        for (int k = 0; k < 4; ++k) {
            s.Text(kChartRow + 1 + k, 0, std::string("Agency, ") + kChartStages[k]);
            s.Dollars(kChartRow + 1 + k, 1 + option, costs.agency[k], f.dollars);
            s.Text(kChartRow + 5 + k, 0, std::string("User Delay, ") + kChartStages[k]);
            s.Dollars(kChartRow + 5 + k, 1 + option, excluded(k) ? 0.0 : costs.user[k], f.dollars);
        }
        s.Text(kChartRow + 9, 0, "Recurring Maintenance");
        s.Dollars(kChartRow + 9, 1 + option, costs.maintenanceCost, f.dollars);
        if (run.option[option].gridlock) {
            std::string text = kGridlockText;
            std::ranges::replace(text, '\n', ' ');
            s.Text(11 + option, 0, std::string(labels.name) + " gridlock: " + text, nullptr, false);
        }
    }
    s.Text(10, 0,
           "Annual cost: the total as an equal yearly amount over the analysis period of " +
               Fixed(p.analysisPeriod, 0) + " years at a discount rate of " +
               Fixed(p.discountRate, 2) + " %.",
           nullptr, false);

    lxw_chart* chart = workbook_add_chart(book, LXW_CHART_COLUMN_STACKED);
    for (int k = 0; k < 9; ++k) {
        lxw_chart_series* series = chart_add_series(chart, nullptr, nullptr);
        chart_series_set_categories(series, "Results", kChartRow, 1, kChartRow, 2);
        chart_series_set_values(series, "Results", kChartRow + 1 + k, 1, kChartRow + 1 + k, 2);
        chart_series_set_name_range(series, "Results", kChartRow + 1 + k, 0);
    }
    chart_title_set_name(chart, "Net present value per mile");
    chart_axis_set_num_format(chart->y_axis, kWholeDollars);
    chart_legend_set_position(chart, LXW_CHART_LEGEND_RIGHT);
    lxw_chart_options place{};
    place.x_scale = 1.5;
    place.y_scale = 1.5;
    worksheet_insert_chart_opt(s.get(), kChartRow + 11, 0, chart, &place);
    worksheet_freeze_panes(s.get(), 2, 0);
    return s.Finish();
}

std::string FlowItem(const ProjectData& p, const CashFlow& flow) {
    if (flow.kind != CashFlowKind::Maintenance)
        return PavementOption::kStageNames[flow.option][flow.item];
    const auto& rows =
        flow.option == PavementOption::Asphalt ? p.asphaltMaintenance : p.concreteMaintenance;
    const std::string& description = rows[flow.item].description;
    return description.empty() ? "Maintenance row " + std::to_string(flow.item + 1) : description;
}

// Every expenditure of the run in the year it falls, and beside them what each option spends
// year by year, which the chart draws.
std::string WriteCashFlow(lxw_workbook* book, const Formats& f, const WorkbookContent& content) {
    Sheet s(book, "Cash Flow");
    const ProjectData& p = *content.project;
    const std::vector<CashFlow> flows = CashFlows(p, *content.run);
    constexpr std::array<const char*, 3> kKinds{"Agency", "User Delay", "Maintenance"};
    int col = 0;
    for (const char* heading :
         {"Year", "Option", "Kind", "Item", "Undiscounted ($/mile)", "Discounted ($/mile)"})
        s.Text(0, col++, heading, f.bold);
    std::map<double, std::array<double, 2>> byYear;
    int r = 1;
    for (const CashFlow& flow : flows) {
        s.Plain(r, 0, flow.year);
        s.Text(r, 1, kOptions[flow.option].name);
        s.Text(r, 2, kKinds[static_cast<int>(flow.kind)]);
        s.Text(r, 3, FlowItem(p, flow));
        s.Dollars(r, 4, flow.undiscounted, f.dollars);
        s.Dollars(r, 5, flow.discounted, f.dollars);
        byYear[flow.year][flow.option] += flow.undiscounted;
        ++r;
    }
    constexpr int kYearCol = 7;
    s.Text(0, kYearCol, "Year", f.bold);
    s.Text(0, kYearCol + 1, kOptions[0].name, f.bold);
    s.Text(0, kYearCol + 2, kOptions[1].name, f.bold);
    r = 1;
    for (const auto& [year, amounts] : byYear) {
        s.Plain(r, kYearCol, year);
        s.Dollars(r, kYearCol + 1, amounts[0], f.dollars);
        s.Dollars(r, kYearCol + 2, amounts[1], f.dollars);
        ++r;
    }
    if (!byYear.empty()) {
        lxw_chart* chart = workbook_add_chart(book, LXW_CHART_COLUMN);
        for (int option = 0; option < 2; ++option) {
            lxw_chart_series* series = chart_add_series(chart, nullptr, nullptr);
            chart_series_set_categories(series, "Cash Flow", 1, kYearCol, r - 1, kYearCol);
            chart_series_set_values(series, "Cash Flow", 1, kYearCol + 1 + option, r - 1,
                                    kYearCol + 1 + option);
            chart_series_set_name_range(series, "Cash Flow", 0, kYearCol + 1 + option);
        }
        chart_title_set_name(chart, "Cash flow by year, as spent ($/mile)");
        chart_axis_set_name(chart->x_axis, "Year");
        chart_axis_set_num_format(chart->y_axis, kWholeDollars);
        lxw_chart_options place{};
        place.x_scale = 1.5;
        place.y_scale = 1.5;
        worksheet_insert_chart_opt(s.get(), 1, kYearCol + 4, chart, &place);
    }
    worksheet_freeze_panes(s.get(), 1, 0);
    return s.Finish();
}

// The spreadsheet library prints numbers with the C library, which follows the locale: under a
// German one "0.5" would come out as "0,5", which no spreadsheet reads. This thread writes in
// the C locale while the workbook is built, whatever the program's locale is.
#if defined(_WIN32)
class ClassicNumbers {
public:
    ClassicNumbers() : mode_(::_configthreadlocale(_ENABLE_PER_THREAD_LOCALE)) {
        if (const char* now = std::setlocale(LC_NUMERIC, nullptr)) previous_ = now;
        std::setlocale(LC_NUMERIC, "C");
    }
    ClassicNumbers(const ClassicNumbers&) = delete;
    ClassicNumbers& operator=(const ClassicNumbers&) = delete;
    ~ClassicNumbers() {
        if (!previous_.empty()) std::setlocale(LC_NUMERIC, previous_.c_str());
        ::_configthreadlocale(mode_);
    }

private:
    int mode_;
    std::string previous_;
};
#else
class ClassicNumbers {
public:
    ClassicNumbers()
        : classic_(::newlocale(LC_NUMERIC_MASK, "C", ::duplocale(LC_GLOBAL_LOCALE))),
          previous_(classic_ ? ::uselocale(classic_) : nullptr) {}
    ClassicNumbers(const ClassicNumbers&) = delete;
    ClassicNumbers& operator=(const ClassicNumbers&) = delete;
    ~ClassicNumbers() {
        if (!classic_) return;
        ::uselocale(previous_);
        ::freelocale(classic_);
    }

private:
    locale_t classic_;
    locale_t previous_;
};
#endif

// A new, empty file of this run's own in the temporary folder, for the spreadsheet library to
// write the workbook to: created only where no file is, so that no other file is written
// through a name planted there. Its name is UTF-8, as the library expects on every system.
std::string FreshTemporaryFile(std::string& error) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path folder = fs::temp_directory_path(ec);
    if (ec) {
        error = ec.message();
        return {};
    }
    thread_local std::mt19937 random(std::random_device{}());
    for (int tries = 0; tries < 8; ++tries) {
        char name[40];
        std::snprintf(name, sizeof name, "velmora-workbook-%08x.xlsx",
                      static_cast<unsigned>(random()));
        const fs::path path = folder / name;
#if defined(_WIN32)
        const int fd = ::_wopen(path.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY,
                                _S_IREAD | _S_IWRITE);
        if (fd >= 0 && ::_close(fd) == 0) {
#else
        const int fd = ::open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
        if (fd >= 0 && ::close(fd) == 0) {
#endif
            const std::u8string utf8 = path.u8string();
            return {utf8.begin(), utf8.end()};
        }
        if (errno != EEXIST) break;
    }
    error = std::strerror(errno);
    return {};
}

// The file named by a UTF-8 `path`, whatever the system's own encoding of names is.
std::filesystem::path PathOf(const std::string& path) {
    return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

void RemoveFile(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove(PathOf(path), ignored);
}

std::string ReadAndRemove(const std::string& path, std::string& bytes) {
    std::ifstream in(PathOf(path), std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    const bool read = !in.bad() && in.is_open();
    in.close();
    RemoveFile(path);
    return read ? std::string() : "The workbook could not be read back from " + path;
}

} // namespace

Workbook BuildWorkbook(const WorkbookContent& content) {
    std::string error;
    const std::string path = FreshTemporaryFile(error);
    if (path.empty()) return {{}, "No temporary file for the workbook: " + error};

    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    // Past 4 GiB of sheet data the file needs the 64-bit zip format; only samples get there.
    options.use_zip64 = content.risk ? LXW_TRUE : LXW_FALSE;
    lxw_workbook* book = workbook_new_opt(path.c_str(), &options);
    if (!book) {
        RemoveFile(path);
        return {{}, "The workbook could not be started"};
    }
    const ClassicNumbers classicNumbers;
    const Formats formats(book);
    lxw_doc_properties properties{};
    std::string title = "Velmora life-cycle cost analysis";
    // Cells escape control characters themselves; the document properties do not, and one there
    // would leave a file that no spreadsheet opens.
    std::string project = content.project->projectTitle;
    std::ranges::replace_if(
        project, [](char c) { return static_cast<unsigned char>(c) < 0x20; }, ' ');
    properties.title = title.data();
    properties.subject = project.data();
    properties.comments = project.data();
    properties.created = content.time;
    workbook_set_properties(book, &properties);

    // A sheet that cannot hold its content ends the workbook: a text left out would pass
    // unnoticed in a file that reports success.
    Workbook workbook;
    workbook.error = WriteSummary(book, formats, content);
    if (workbook.error.empty()) workbook.error = WriteInputs(book, formats, content);
    if (workbook.error.empty()) workbook.error = WriteResults(book, formats, content);
    if (workbook.error.empty() && content.run)
        workbook.error = WriteCashFlow(book, formats, content);
    if (workbook.error.empty() && content.risk) workbook.error = WriteRisk(book, formats, content);
    if (workbook.error.empty() && content.risk)
        workbook.error = WriteSamples(book, formats, content);
    // Last, so that a project with planner settings keeps every other sheet where it was.
    if (workbook.error.empty() && content.run)
        if (const std::optional<WorkZoneReport> plan = PlanWorkZones(*content.project))
            workbook.error = WriteWorkZone(book, formats, *plan);
    if (const lxw_error error = workbook_close(book); workbook.ok() && error != LXW_NO_ERROR)
        workbook.error = lxw_strerror(error);
    if (!workbook.ok()) {
        RemoveFile(path);
        return workbook;
    }
    workbook.error = ReadAndRemove(path, workbook.bytes);
    return workbook;
}

} // namespace velmora
