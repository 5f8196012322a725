#include "WorkbookRisk.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace velmora::workbook {
namespace {

constexpr const char* kSheet = "Risk";
constexpr int kBins = static_cast<int>(risk::kHistogramBins);

bool HasHistogram(const risk::Statistics& st) {
    return st.count > 0 && std::isfinite(st.histogram.low) && std::isfinite(st.histogram.high);
}

// Each chart spans this many rows, and the next one starts below it.
constexpr int kChartRows = 19;

void Place(lxw_worksheet* sheet, int row, int col, lxw_chart* chart) {
    lxw_chart_options place{};
    place.x_scale = 1.5;
    place.y_scale = 1.2;
    worksheet_insert_chart_opt(sheet, row, col, chart, &place);
}

// Bins side by side, as a histogram is read: the middle of each bin under its bar.
lxw_chart* DifferenceHistogram(lxw_workbook* book, Sheet& s, const Formats& f,
                               const risk::Statistics& difference, int row) {
    const risk::Histogram& h = difference.histogram;
    const double width = (h.high - h.low) / kBins;
    s.Text(row, 0, "Difference, middle of bin ($/mile)", f.bold);
    s.Text(row, 1, "Iterations", f.bold);
    for (int k = 0; k < kBins; ++k) {
        s.Dollars(row + 1 + k, 0, h.low + width * (k + 0.5), f.dollars);
        s.Plain(row + 1 + k, 1, static_cast<double>(h.counts[k]), f.decimals[0]);
    }
    lxw_chart* chart = workbook_add_chart(book, LXW_CHART_COLUMN);
    lxw_chart_series* series = chart_add_series(chart, nullptr, nullptr);
    chart_series_set_categories(series, kSheet, row + 1, 0, row + kBins, 0);
    chart_series_set_values(series, kSheet, row + 1, 1, row + kBins, 1);
    chart_series_set_name_range(series, kSheet, row, 1);
    chart_set_series_gap(chart, 0);
    chart_title_set_name(chart, "Distribution of the difference (asphalt - concrete)");
    chart_axis_set_name(chart->x_axis, "Asphalt total - concrete total ($/mile)");
    chart_axis_set_num_format(chart->x_axis, kWholeDollars);
    chart_axis_set_name(chart->y_axis, "Iterations");
    chart_legend_set_position(chart, LXW_CHART_LEGEND_NONE);
    return chart;
}

// The share of iterations at or below each bin's upper edge, from the lowest value on; an
// option with no iterations to describe gets no curve.
lxw_chart* CumulativeTotals(lxw_workbook* book, Sheet& s, const Formats& f,
                            const risk::RiskAnalysis& a, int row) {
    lxw_chart* chart = nullptr;
    constexpr std::array<std::pair<const char*, const char*>, 2> kTotals{
        {{"asphaltTotal", "Asphalt"}, {"concreteTotal", "Concrete"}}};
    for (int option = 0; option < 2; ++option) {
        const risk::Statistics& st = a.statistics[risk::ResultIndex(kTotals[option].first)];
        if (!HasHistogram(st)) continue;
        const int col = 3 + 2 * option;
        const std::string name = kTotals[option].second;
        s.Text(row, col, name + " total ($/mile)", f.bold);
        s.Text(row, col + 1, name + " at or below", f.bold);
        const risk::Histogram& h = st.histogram;
        const double width = (h.high - h.low) / kBins;
        const double n = static_cast<double>(st.count);
        double below = 0.0;
        s.Dollars(row + 1, col, h.low, f.dollars);
        s.Plain(row + 1, col + 1, 0.0, f.share);
        for (int k = 0; k < kBins; ++k) {
            below += static_cast<double>(h.counts[k]);
            s.Dollars(row + 2 + k, col, h.low + width * (k + 1), f.dollars);
            s.Plain(row + 2 + k, col + 1, below / n, f.share);
        }
        if (!chart) chart = workbook_add_chart(book, LXW_CHART_SCATTER_STRAIGHT);
        lxw_chart_series* series = chart_add_series(chart, nullptr, nullptr);
        chart_series_set_categories(series, kSheet, row + 1, col, row + 1 + kBins, col);
        chart_series_set_values(series, kSheet, row + 1, col + 1, row + 1 + kBins, col + 1);
        chart_series_set_name(series, name.c_str());
    }
    if (!chart) return nullptr;
    chart_title_set_name(chart, "Cumulative distribution of the totals");
    chart_axis_set_name(chart->x_axis, "Total cost, net present value ($/mile)");
    chart_axis_set_num_format(chart->x_axis, kWholeDollars);
    chart_axis_set_name(chart->y_axis, "Iterations at or below");
    chart_axis_set_num_format(chart->y_axis, "0%");
    chart_axis_set_min(chart->y_axis, 0.0);
    chart_axis_set_max(chart->y_axis, 1.0);
    chart_legend_set_position(chart, LXW_CHART_LEGEND_BOTTOM);
    return chart;
}

// The swing table as it stands, one pair of bars an input, the widest at the top. A swing
// whose runs were refused or gridlocked has empty cells and no bars; with none left the chart
// would be empty and is not drawn.
lxw_chart* Tornado(lxw_workbook* book, const risk::RiskAnalysis& a, int heading) {
    const bool drawn = std::ranges::any_of(a.swings, [](const risk::Swing& swing) {
        return std::isfinite(swing.differenceAtLow) || std::isfinite(swing.differenceAtHigh);
    });
    if (!drawn) return nullptr;
    const int last = heading + static_cast<int>(a.swings.size());
    lxw_chart* chart = workbook_add_chart(book, LXW_CHART_BAR);
    for (const int col : {6, 7}) {
        lxw_chart_series* series = chart_add_series(chart, nullptr, nullptr);
        chart_series_set_categories(series, kSheet, heading + 1, 0, last, 0);
        chart_series_set_values(series, kSheet, heading + 1, col, last, col);
        chart_series_set_name_range(series, kSheet, heading, col);
    }
    chart_title_set_name(chart, "Inputs that move the difference most");
    // In a bar chart the first axis is the one across: the dollars.
    chart_axis_set_name(chart->x_axis, "Asphalt total - concrete total ($/mile)");
    chart_axis_set_num_format(chart->x_axis, kWholeDollars);
    chart_axis_set_name(chart->y_axis, "Uncertain input");
    // Rows read downwards, the widest first; the names stay clear of bars to the left.
    chart_axis_set_reverse(chart->y_axis);
    chart_axis_set_crossing_max(chart->y_axis);
    chart_axis_set_label_position(chart->y_axis, LXW_CHART_AXIS_LABEL_POSITION_LOW);
    chart_legend_set_position(chart, LXW_CHART_LEGEND_BOTTOM);
    return chart;
}

} // namespace

void ChartRisk(lxw_workbook* book, Sheet& s, const Formats& f, const WorkbookContent& content,
               int row, int swingHeading) {
    const risk::RiskAnalysis& a = *content.risk;
    const bool figures = HasHistogram(a.difference) ||
                         HasHistogram(a.statistics[risk::ResultIndex("asphaltTotal")]) ||
                         HasHistogram(a.statistics[risk::ResultIndex("concreteTotal")]);
    if (figures) s.Text(row++, 0, "Chart figures", f.bold);
    std::vector<lxw_chart*> charts;
    if (HasHistogram(a.difference))
        charts.push_back(DifferenceHistogram(book, s, f, a.difference, row));
    if (lxw_chart* chart = CumulativeTotals(book, s, f, a, row)) charts.push_back(chart);
    if (lxw_chart* chart = Tornado(book, a, swingHeading)) charts.push_back(chart);
    for (std::size_t k = 0; k < charts.size(); ++k)
        Place(s.get(), row + static_cast<int>(k) * kChartRows, 8, charts[k]);
}

} // namespace velmora::workbook
