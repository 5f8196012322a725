#pragma once

// The report's charts on paper. Each is laid out at about a screen's size, where its fonts keep
// their proportion to the bars, then drawn onto the page through the printer's painter: its text
// stays text and its lines stay lines at any resolution.

#include "engine/Analysis.h"
#include "model/ProjectData.h"
#include "views/PrintedPages.h"

class QChart;

namespace velmora {
namespace risk {
struct RiskAnalysis;
}

// A figure of `chart`, `share` of the page's height. `width`: the chart's width on a screen,
// where its fonts and margins were chosen; the figure is that layout scaled to the paper.
void AddChart(PrintedPages& pages, double share, QChart* chart, double width = 900);

// Each option's cash flow by year, as spent and discounted.
void AddCashFlowCharts(PrintedPages& pages, const ProjectData& copy, const AnalysisResult& run);

// The distributions of the totals and of their difference, the cumulative curves and the inputs
// that move the difference most.
void AddRiskCharts(PrintedPages& pages, const risk::RiskAnalysis& analysis);

} // namespace velmora
