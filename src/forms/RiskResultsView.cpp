#include "forms/RiskResultsView.h"

#include "forms/InputLabels.h"
#include "gui/ChartPicture.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGridLayout>
#include <QHeaderView>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QPainter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <charconv>
#include <cmath>

namespace velmora {
namespace {

using risk::RiskAnalysis;
using risk::Statistics;

QString Fixed(double value, int decimals) {
    char buffer[64];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals)
            .ptr;
    return QString::fromLatin1(buffer, int(end - buffer));
}

QString Percent(double share) {
    return Fixed(100.0 * share, 1);
}

QString Grouped(std::int64_t n) {
    QString digits = QString::number(n < 0 ? -n : n);
    for (int k = int(digits.size()) - 3; k > 0; k -= 3) digits.insert(k, ',');
    return n < 0 ? '-' + digits : digits;
}

const QColor kAsphalt(60, 60, 60);
const QColor kConcrete(70, 130, 200);

struct Total {
    QString name;
    const Statistics* statistics;
    double project;
    QColor colour;
};

// A vertical dashed line at the project's own total, from 0 to `top`.
QLineSeries* ProjectMark(const Total& t, double top) {
    auto* mark = new QLineSeries;
    mark->setName(t.name + QStringLiteral(" as entered"));
    mark->append(t.project, 0.0);
    mark->append(t.project, top);
    mark->setPen(QPen(t.colour, 1.5, Qt::DashLine));
    return mark;
}

QChartView* View(QChart* chart, const QString& title) {
    chart->setTitle(title);
    // "2,400,000" on the axes whatever the user's locale, as the tables and the cost charts show.
    chart->setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    chart->setLocalizeNumbers(true);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(4, 4, 4, 4));
    auto* view = new QChartView(chart);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(260);
    return view;
}

void AddAxes(QChart* chart, const QString& x, const QString& y, double top) {
    auto* xAxis = new QValueAxis;
    xAxis->setTitleText(x);
    xAxis->setLabelFormat(QStringLiteral("%.0f"));
    auto* yAxis = new QValueAxis;
    yAxis->setTitleText(y);
    yAxis->setRange(0.0, top);
    chart->addAxis(xAxis, Qt::AlignBottom);
    chart->addAxis(yAxis, Qt::AlignLeft);
    for (QAbstractSeries* s : chart->series()) s->attachAxis(xAxis), s->attachAxis(yAxis);
    xAxis->applyNiceNumbers();
    yAxis->applyNiceNumbers();
}

// The two totals as step outlines of their histograms, in percent of each total's iterations,
// or as cumulative curves through the histogram's bin edges.
QChartView* Distributions(const std::array<Total, 2>& totals, bool cumulative) {
    auto* chart = new QChart;
    double top = 0.0;
    for (const Total& t : totals) {
        const risk::Histogram& h = t.statistics->histogram;
        if (t.statistics->count == 0 || !std::isfinite(h.low)) continue;
        auto* line = new QLineSeries;
        line->setName(t.name);
        line->setPen(QPen(t.colour, 2.0));
        const double width = (h.high - h.low) / double(h.counts.size());
        const double n = double(t.statistics->count);
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
        chart->addSeries(line);
    }
    top = cumulative ? 100.0 : std::ceil(top * 1.1);
    for (const Total& t : totals)
        if (std::isfinite(t.project)) chart->addSeries(ProjectMark(t, top));
    AddAxes(chart, QStringLiteral("Total cost, net present value ($/mile)"),
            cumulative ? QStringLiteral("At or below (%)") : QStringLiteral("Iterations (%)"), top);
    return View(chart, cumulative ? QStringLiteral("Cumulative distribution of the totals")
                                  : QStringLiteral("Distribution of the totals"));
}

// The ten widest swings, the widest on top, as changes of the difference from the project's.
QChartView* Tornado(const RiskAnalysis& a, double projectDifference) {
    std::vector<const risk::Swing*> bars;
    for (const risk::Swing& s : a.swings)
        if (std::isfinite(s.width) && bars.size() < 10) bars.push_back(&s);
    std::ranges::reverse(bars);
    auto* low = new QBarSet(QStringLiteral("Input at its 10th percentile"));
    auto* high = new QBarSet(QStringLiteral("Input at its 90th percentile"));
    low->setColor(QColor(200, 120, 60));
    high->setColor(QColor(90, 150, 90));
    QStringList names;
    const auto change = [&](double d) { return std::isfinite(d) ? d - projectDifference : 0.0; };
    for (const risk::Swing* s : bars) {
        names << LabelOfInput(s->field);
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
    dollars->applyNiceNumbers();
    QChartView* view = View(chart, QStringLiteral("Inputs that move the difference most"));
    view->setMinimumHeight(120 + 26 * int(bars.size()));
    return view;
}

QTableWidget* FiguresTable(const std::array<const Statistics*, 3>& columns) {
    const QStringList rows{QStringLiteral("Mean"),
                           QStringLiteral("Standard deviation"),
                           QStringLiteral("5th percentile"),
                           QStringLiteral("10th percentile"),
                           QStringLiteral("50th percentile"),
                           QStringLiteral("90th percentile"),
                           QStringLiteral("95th percentile"),
                           QStringLiteral("Iterations")};
    auto* table = new QTableWidget(int(rows.size()), 3);
    table->setHorizontalHeaderLabels({QStringLiteral("Asphalt total ($/mile)"),
                                      QStringLiteral("Concrete total ($/mile)"),
                                      QStringLiteral("Asphalt - concrete ($/mile)")});
    table->setVerticalHeaderLabels(rows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Positions in risk::kPercents of the 5th, 10th, 50th, 90th and 95th percentiles.
    constexpr std::size_t kShown[] = {0, 1, 3, 5, 6};
    for (int c = 0; c < 3; ++c) {
        const Statistics& s = *columns[c];
        std::vector<QString> cells{GroupedNumber(s.mean), GroupedNumber(s.sd)};
        for (std::size_t p : kShown) cells.push_back(GroupedNumber(s.percentiles[p].value));
        cells.push_back(Grouped(s.count));
        for (int r = 0; r < int(cells.size()); ++r) {
            auto* item = new QTableWidgetItem(cells[r]);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(r, c, item);
        }
    }
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    table->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return table;
}

QString TroublesText(const RiskAnalysis& a) {
    QStringList lines;
    if (a.asphaltGridlock.successes > 0 || a.concreteGridlock.successes > 0)
        lines << QStringLiteral("Gridlock: the asphalt option in %1 %, the concrete option in %2 "
                                "% of %3 iterations; those iterations are left out of that "
                                "option's figures and of the comparison.")
                     .arg(Percent(a.asphaltGridlock.value), Percent(a.concreteGridlock.value),
                          Grouped(a.asphaltGridlock.count));
    if (a.refusedIterations > 0) {
        lines << QStringLiteral("Refused by Compute Costs: %1 of %2 iterations, left out:")
                     .arg(Grouped(a.refusedIterations), Grouped(a.iterations));
        for (const risk::RefusalTally& t : a.refusals)
            lines << QStringLiteral("    %1 (first in iteration %2): %3")
                         .arg(Grouped(t.count), Grouped(t.firstIteration),
                              QString::fromStdString(t.refusal.text).simplified());
    }
    return lines.join('\n');
}

} // namespace

QString GroupedNumber(double value) {
    if (!std::isfinite(value)) return QStringLiteral("-");
    return Grouped(std::llround(value));
}

QString CheaperOptionSentence(const risk::Proportion& p) {
    const bool asphalt = !(p.value < 0.5);
    const double value = asphalt ? p.value : 1.0 - p.value;
    const double lower = asphalt ? p.lower : 1.0 - p.upper;
    const double upper = asphalt ? p.upper : 1.0 - p.lower;
    return QStringLiteral("%1 is the cheaper option in %2 % of %3 iterations (95 %: %4–%5 %)")
        .arg(asphalt ? QStringLiteral("Asphalt") : QStringLiteral("Concrete"), Percent(value),
             Grouped(p.count), Percent(lower), Percent(upper));
}

RiskResultsView::RiskResultsView(const RiskAnalysis& a, QWidget* parent) : QWidget(parent) {
    const auto at = [&](std::string_view name) { return risk::ResultIndex(name); };
    const std::size_t asphalt = at("asphaltTotal"), concrete = at("concreteTotal");
    const auto project = risk::ResultValues(a.deterministic);
    const bool refused = a.deterministicRefusal.has_value();
    const double none = risk::kNotANumber;
    const std::array<Total, 2> totals{Total{QStringLiteral("Asphalt"), &a.statistics[asphalt],
                                            refused ? none : project[asphalt], kAsphalt},
                                      Total{QStringLiteral("Concrete"), &a.statistics[concrete],
                                            refused ? none : project[concrete], kConcrete}};

    sentence_ = new QLabel(CheaperOptionSentence(a.asphaltCheaper));
    QFont large = sentence_->font();
    large.setPointSizeF(large.pointSizeF() * 1.6);
    large.setBold(true);
    sentence_->setFont(large);
    sentence_->setWordWrap(true);

    QString how = QStringLiteral("%1 iterations, %2 sampling, seed %3.")
                      .arg(Grouped(a.iterations),
                           a.definitions.sampling == risk::Sampling::LatinHypercube
                               ? QStringLiteral("Latin hypercube")
                               : QStringLiteral("Monte Carlo"),
                           QString::number(a.definitions.seed));
    if (a.definitions.precision)
        how += QStringLiteral(" The mean difference is known to within %1 $/mile (95 %); %2 "
                              "asked for%3.")
                   .arg(GroupedNumber(a.halfWidth), GroupedNumber(*a.definitions.precision),
                        a.precisionReached ? QString() : QStringLiteral(", not reached"));
    if (refused)
        how += QStringLiteral(" The project as entered is refused by Compute Costs: ") +
               QString::fromStdString(a.deterministicRefusal->text).simplified();
    auto* settings = new QLabel(how);
    settings->setWordWrap(true);
    troubles_ = new QLabel(TroublesText(a));
    troubles_->setWordWrap(true);
    troubles_->setVisible(!troubles_->text().isEmpty());

    figures_ = FiguresTable({&a.statistics[asphalt], &a.statistics[concrete], &a.difference});
    charts_ = {Distributions(totals, false), Distributions(totals, true),
               Tornado(a, refused ? 0.0 : project[asphalt] - project[concrete])};
    const QString names[] = {QStringLiteral("risk-histogram"), QStringLiteral("risk-cumulative"),
                             QStringLiteral("risk-tornado")};
    for (int k = 0; k < 3; ++k) AddPictureCommands(charts_[k], names[k]);

    auto* grid = new QGridLayout;
    grid->addWidget(charts_[0], 0, 0);
    grid->addWidget(charts_[1], 0, 1);
    grid->addWidget(figures_, 1, 0, 1, 2);
    grid->addWidget(charts_[2], 2, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    auto* page = new QVBoxLayout(this);
    page->addWidget(sentence_);
    page->addWidget(settings);
    page->addWidget(troubles_);
    page->addLayout(grid, 1);
}

PrintedPage RiskResultsPage(std::shared_ptr<const RiskAnalysis> analysis) {
    return {QStringLiteral("Risk Analysis"), [analysis](QPainter& painter, const QRectF& area) {
                RiskResultsView view(*analysis);
                // Laid out at a screen size of the page's proportions, then scaled to the paper.
                const double width = 1100.0;
                view.resize(int(width), int(width * area.height() / area.width()));
                view.setAttribute(Qt::WA_DontShowOnScreen);
                view.show();
                painter.save();
                painter.translate(area.topLeft());
                painter.scale(area.width() / width, area.width() / width);
                view.render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
                painter.restore();
            }};
}

QString RiskResultsView::Sentence() const {
    return sentence_->text();
}

QString RiskResultsView::Troubles() const {
    return troubles_->text();
}

} // namespace velmora
