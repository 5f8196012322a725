#pragma once

// The charts of a risk analysis's results: both totals' distributions and cumulative curves on
// one axis wide enough for either option, the distribution of their difference, and the inputs
// that move the difference most.

#include "risk/RiskAnalysis.h"

#include <QColor>
#include <QString>
#include <array>

class QChartView;

namespace velmora::riskcharts {

struct Total {
    QString name;
    const risk::Statistics* statistics;
    double project; // as entered; not a number when Compute Costs refuses the project
    QColor colour;
};

// The histograms (in percent of each total's iterations) or the cumulative curves.
QChartView* Distributions(const std::array<Total, 2>& totals, bool cumulative);
// Asphalt total - concrete total, with 0 (neither cheaper) marked.
QChartView* Difference(const risk::Statistics& difference, double project);
// The ten widest swings, the widest on top, as changes of the difference from the project's.
// Labels longer than `labelWidth` pixels are cut in their middle; 0 keeps them whole.
QChartView* Tornado(const risk::RiskAnalysis& a, double projectDifference, int labelWidth = 300);

// The four charts of a run's results: the totals' histograms and cumulative curves, the
// difference, the tornado (its labels cut at `tornadoLabelWidth`, as Tornado cuts them).
std::array<QChartView*, 4> ResultCharts(const risk::RiskAnalysis& a, int tornadoLabelWidth = 300);

} // namespace velmora::riskcharts
