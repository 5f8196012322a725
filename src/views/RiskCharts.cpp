#include "views/RiskCharts.h"

#include "forms/InputLabels.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QFontMetrics>
#include <QHorizontalBarSeries>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QToolTip>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace velmora::riskcharts {
namespace {

// A chart whose dollar axis takes as many ticks as its width has room for: "2,400,000" needs
// about a hundred pixels, and a narrow window must not cut it to "2,40…".
class ChartView : public QChartView {
public:
    using QChartView::QChartView;

protected:
    void resizeEvent(QResizeEvent* event) override {
        QChartView::resizeEvent(event);
        for (QAbstractAxis* axis : chart()->axes(Qt::Horizontal))
            if (auto* dollars = qobject_cast<QValueAxis*>(axis)) {
                const auto [low, high] = std::pair(dollars->min(), dollars->max());
                if (!(std::isfinite(low) && std::isfinite(high) && high > low)) continue;
                dollars->setTickCount(std::clamp(width() / 110, 2, 8));
                dollars->setRange(low, high);
                dollars->applyNiceNumbers();
            }
    }
};

QChartView* View(QChart* chart, const QString& title) {
    chart->setTitle(title);
    // "2,400,000" on the axes whatever the user's locale, as the tables and the cost charts show.
    chart->setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    chart->setLocalizeNumbers(true);
    chart->legend()->setAlignment(Qt::AlignBottom);
    // Each entry of the legend drawn as its series is: a dashed line for "as entered".
    chart->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    QFont small = chart->legend()->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    chart->legend()->setFont(small);
    chart->setMargins(QMargins(4, 4, 4, 4));
    auto* view = new ChartView(chart);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(260);
    return view;
}

// A vertical dashed line at `x`, from 0 to `top`.
QLineSeries* Mark(const QString& name, double x, double top, const QColor& colour) {
    auto* mark = new QLineSeries;
    mark->setName(name);
    mark->append(x, 0.0);
    mark->append(x, top);
    mark->setPen(QPen(colour, 1.5, Qt::DashLine));
    return mark;
}

// Axes over [low, high] with a little margin, and 0 to `top`.
void AddAxes(QChart* chart, const QString& x, const QString& y, double low, double high,
             double top) {
    auto* xAxis = new QValueAxis;
    xAxis->setTitleText(x);
    xAxis->setLabelFormat(QStringLiteral("%.0f"));
    auto* yAxis = new QValueAxis;
    yAxis->setTitleText(y);
    chart->addAxis(xAxis, Qt::AlignBottom);
    chart->addAxis(yAxis, Qt::AlignLeft);
    for (QAbstractSeries* s : chart->series()) s->attachAxis(xAxis), s->attachAxis(yAxis);
    // Set after the series are attached, which would otherwise fit the axis to one of them.
    const double margin = high > low ? 0.03 * (high - low) : std::max(1.0, 0.03 * std::fabs(low));
    xAxis->setRange(low - margin, high + margin);
    yAxis->setRange(0.0, top);
    xAxis->applyNiceNumbers();
    yAxis->applyNiceNumbers();
}

// The step outline of a histogram in percent of its iterations, or its cumulative curve
// through the bins' edges; the highest share in `top`.
QLineSeries* Outline(const risk::Statistics& st, bool cumulative, double& top) {
    const risk::Histogram& h = st.histogram;
    auto* line = new QLineSeries;
    const double width = (h.high - h.low) / double(h.counts.size());
    const double n = double(st.count);
    double sum = 0.0;
    line->append(h.low, 0.0);
    for (std::size_t k = 0; k < h.counts.size(); ++k) {
        const double share = 100.0 * double(h.counts[k]) / n;
        const double left = h.low + width * double(k), right = left + width;
        if (cumulative) {
            sum += share;
            line->append(right, sum);
        } else {
            line->append(left, share);
            line->append(right, share);
            top = std::max(top, share);
        }
    }
    if (!cumulative) line->append(h.high, 0.0);
    return line;
}

bool Drawable(const risk::Statistics& st) {
    return st.count > 0 && std::isfinite(st.histogram.low) && std::isfinite(st.histogram.high) &&
           !st.histogram.counts.empty();
}

} // namespace

QChartView* Distributions(const std::array<Total, 2>& totals, bool cumulative) {
    auto* chart = new QChart;
    double top = 0.0;
    double low = INFINITY, high = -INFINITY;
    const auto cover = [&](double x) {
        if (std::isfinite(x)) low = std::min(low, x), high = std::max(high, x);
    };
    for (const Total& t : totals) {
        cover(t.project);
        if (!Drawable(*t.statistics)) continue;
        cover(t.statistics->histogram.low);
        cover(t.statistics->histogram.high);
        QLineSeries* line = Outline(*t.statistics, cumulative, top);
        line->setName(t.name);
        line->setPen(QPen(t.colour, 2.0));
        chart->addSeries(line);
    }
    top = cumulative ? 100.0 : std::ceil(top * 1.1);
    for (const Total& t : totals)
        if (std::isfinite(t.project))
            chart->addSeries(
                Mark(t.name + QStringLiteral(" as entered"), t.project, top, t.colour));
    if (!(low <= high)) low = 0.0, high = 1.0;
    AddAxes(chart, QStringLiteral("Total cost, net present value ($/mile)"),
            cumulative ? QStringLiteral("At or below (%)") : QStringLiteral("Iterations (%)"), low,
            high, top);
    return View(chart, cumulative ? QStringLiteral("Cumulative distribution of the totals")
                                  : QStringLiteral("Distribution of the totals"));
}

QChartView* Difference(const risk::Statistics& difference, double project) {
    auto* chart = new QChart;
    double top = 0.0, low = 0.0, high = 0.0;
    if (Drawable(difference)) {
        QLineSeries* line = Outline(difference, false, top);
        line->setName(QStringLiteral("Asphalt - concrete"));
        line->setPen(QPen(QColor(120, 80, 160), 2.0));
        chart->addSeries(line);
        low = std::min(low, difference.histogram.low);
        high = std::max(high, difference.histogram.high);
    }
    top = std::max(1.0, std::ceil(top * 1.1));
    chart->addSeries(Mark(QStringLiteral("0: neither cheaper"), 0.0, top, Qt::black));
    if (std::isfinite(project)) {
        chart->addSeries(Mark(QStringLiteral("As entered"), project, top, QColor(120, 80, 160)));
        low = std::min(low, project), high = std::max(high, project);
    }
    AddAxes(chart, QStringLiteral("Asphalt total - concrete total ($/mile)"),
            QStringLiteral("Iterations (%)"), low, high, top);
    return View(chart, QStringLiteral("Distribution of the difference"));
}

QChartView* Tornado(const risk::RiskAnalysis& a, double projectDifference, int labelWidth) {
    std::vector<const risk::Swing*> bars;
    for (const risk::Swing& s : a.swings)
        if (std::isfinite(s.width) && bars.size() < 10) bars.push_back(&s);
    std::ranges::reverse(bars);
    auto* low = new QBarSet(QStringLiteral("Input at its 10th percentile"));
    auto* high = new QBarSet(QStringLiteral("Input at its 90th percentile"));
    low->setColor(QColor(200, 120, 60));
    high->setColor(QColor(90, 150, 90));
    QStringList names, full;
    const auto change = [&](double d) {
        return std::isfinite(d - projectDifference) ? d - projectDifference : 0.0;
    };
    // A long label is cut in its middle, where "Asphalt Construction/Rehabilitation
    // Activities: ... - 2nd Overlay" keeps the form and the stage; the bar's tool tip has it all.
    const QFontMetrics metrics{QFont()};
    for (const risk::Swing* s : bars) {
        full << LabelOfInput(s->field);
        names
            << (labelWidth > 0
                    ? metrics.elidedText(full.back(), Qt::ElideMiddle, labelWidth)
                    : QString(full.back()).replace(QStringLiteral(": "), QStringLiteral(":<br>")));
        *low << change(s->differenceAtLow);
        *high << change(s->differenceAtHigh);
    }
    auto* series = new QHorizontalBarSeries;
    series->append(low);
    series->append(high);
    auto* chart = new QChart;
    chart->addSeries(series);
    auto* inputs = new QBarCategoryAxis;
    inputs->append(names);
    auto* dollars = new QValueAxis;
    dollars->setTitleText(
        QStringLiteral("Change of asphalt total - concrete total from the project's ($/mile)"));
    dollars->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(inputs, Qt::AlignLeft);
    chart->addAxis(dollars, Qt::AlignBottom);
    series->attachAxis(inputs);
    series->attachAxis(dollars);
    // Bars of no width (every swing refused or gridlocked) leave the axis nothing to span.
    double most = 0.0;
    for (const QBarSet* set : {low, high})
        for (int k = 0; k < set->count(); ++k) most = std::max(most, std::fabs(set->at(k)));
    if (most > 0.0)
        dollars->applyNiceNumbers();
    else
        dollars->setRange(-1.0, 1.0);
    QChartView* view = View(chart, QStringLiteral("Inputs that move the difference most"));
    // Bars take their colour, not a series' line, in the legend.
    chart->legend()->setMarkerShape(QLegend::MarkerShapeRectangle);
    QObject::connect(series, &QHorizontalBarSeries::hovered, view,
                     [full](bool on, int index, QBarSet*) {
                         if (on && index >= 0 && index < full.size())
                             QToolTip::showText(QCursor::pos(), full[index]);
                         else
                             QToolTip::hideText();
                     });
    view->setMinimumHeight(120 + 26 * int(bars.size()));
    return view;
}

std::array<QChartView*, 4> ResultCharts(const risk::RiskAnalysis& a, int tornadoLabelWidth) {
    const std::size_t asphalt = risk::ResultIndex("asphaltTotal");
    const std::size_t concrete = risk::ResultIndex("concreteTotal");
    const auto project = risk::ResultValues(a.deterministic);
    const bool refused = a.deterministicRefusal.has_value();
    const double none = risk::kNotANumber;
    const std::array<Total, 2> totals{Total{QStringLiteral("Asphalt"), &a.statistics[asphalt],
                                            refused ? none : project[asphalt], QColor(60, 60, 60)},
                                      Total{QStringLiteral("Concrete"), &a.statistics[concrete],
                                            refused ? none : project[concrete],
                                            QColor(70, 130, 200)}};
    const double projectDifference = refused ? none : project[asphalt] - project[concrete];
    return {Distributions(totals, false), Distributions(totals, true),
            Difference(a.difference, projectDifference),
            Tornado(a, refused ? 0.0 : projectDifference, tornadoLabelWidth)};
}

} // namespace velmora::riskcharts
