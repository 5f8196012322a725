#include "views/RiskResultsView.h"

#include "forms/InputLabels.h"
#include "gui/ChartPicture.h"
#include "gui/FormNumbers.h"
#include "report/DecisionSummary.h"
#include "report/NumberText.h"
#include "risk/RefusalCauses.h"
#include "views/RiskCharts.h"

#include <QAction>
#include <QApplication>
#include <QChartView>
#include <QClipboard>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace velmora {
namespace {

using risk::RiskAnalysis;
using risk::Statistics;

// "4 of 10,000 iterations (0.04 %)": a count that is not 0 never reads as 0.0 %.
QString Share(std::int64_t n, std::int64_t of) {
    const double percent = of > 0 ? 100.0 * double(n) / double(of) : 0.0;
    int decimals = 1;
    while (n > 0 && decimals < 7 &&
           QString::fromStdString(Fixed(percent, decimals)).toDouble() == 0.0)
        ++decimals;
    return QStringLiteral("%1 of %2 iterations (%3 %)")
        .arg(GroupedNumber(n), GroupedNumber(of),
             QString::fromStdString(Fixed(percent, n == 0 ? 0 : decimals)));
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
    table->setHorizontalHeaderLabels({QStringLiteral("Asphalt total\n($/mile)"),
                                      QStringLiteral("Concrete total\n($/mile)"),
                                      QStringLiteral("Asphalt - concrete\n($/mile)")});
    table->setVerticalHeaderLabels(rows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Positions in risk::kPercents of the 5th, 10th, 50th, 90th and 95th percentiles.
    constexpr std::size_t kShown[] = {0, 1, 3, 5, 6};
    for (int c = 0; c < 3; ++c) {
        const Statistics& s = *columns[c];
        std::vector<QString> cells{GroupedNumber(s.mean), GroupedNumber(s.sd)};
        for (std::size_t p : kShown) cells.push_back(GroupedNumber(s.percentiles[p].value));
        cells.push_back(GroupedNumber(s.count));
        for (int r = 0; r < int(cells.size()); ++r) {
            auto* item = new QTableWidgetItem(cells[r]);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(r, c, item);
        }
    }
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    table->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return table;
}

QString TroublesText(const RiskAnalysis& a) {
    QStringList lines;
    if (a.asphaltGridlock.successes > 0 || a.concreteGridlock.successes > 0)
        lines << QStringLiteral("Gridlock: the asphalt option in %1, the concrete option in %2; "
                                "those iterations are left out of that option's figures and of "
                                "the comparison.")
                     .arg(Share(a.asphaltGridlock.successes, a.asphaltGridlock.count),
                          Share(a.concreteGridlock.successes, a.concreteGridlock.count));
    if (a.refusedIterations > 0) {
        lines << QStringLiteral("Refused by Compute Costs: %1, left out:")
                     .arg(Share(a.refusedIterations, a.iterations));
        for (const risk::RefusalTally& t : a.refusals)
            lines << QStringLiteral("    %1 (first in iteration %2): %3")
                         .arg(GroupedNumber(t.count), GroupedNumber(t.firstIteration),
                              QString::fromStdString(t.refusal.text).simplified());
    }
    return lines.join('\n');
}

// Past 1 % of the iterations refused, the figures describe a sample the refusals have bent: the
// headline says so, and names the ranges of the inputs the refused iterations drew.
QString RefusalWarning(const RiskAnalysis& a) {
    if (!(double(a.refusedIterations) > 0.01 * double(a.iterations))) return {};
    QString text = QStringLiteral("Warning: Compute Costs refused %1; the figures describe the "
                                  "others only.")
                       .arg(Share(a.refusedIterations, a.iterations));
    QStringList ranges;
    for (const risk::RefusalCause& c : risk::RefusalCauses(a))
        ranges << QStringLiteral("%1 from %2 to %3")
                      .arg(LabelOfInput(c.field), FormatDouble(c.low), FormatDouble(c.high));
    if (!ranges.isEmpty())
        text += QStringLiteral(" The refused iterations drew ") +
                ranges.join(QStringLiteral("; ")) +
                QStringLiteral(": narrow those ranges to keep within what Compute Costs accepts.");
    return text;
}

} // namespace

RiskResultsView::RiskResultsView(const RiskAnalysis& a, QWidget* parent) : QWidget(parent) {
    const auto at = [&](std::string_view name) { return risk::ResultIndex(name); };
    const std::size_t asphalt = at("asphaltTotal"), concrete = at("concreteTotal");
    const bool refused = a.deterministicRefusal.has_value();

    sentence_ = new QLabel(QString::fromStdString(CheaperOptionSentence(a.asphaltCheaper)));
    QFont large = sentence_->font();
    large.setPointSizeF(large.pointSizeF() * 1.6);
    large.setBold(true);
    sentence_->setFont(large);
    sentence_->setWordWrap(true);
    outOfDate_ = new QLabel(QStringLiteral("Out of date: run again. The definitions have changed "
                                           "since this run."));
    warning_ = new QLabel(RefusalWarning(a));
    for (QLabel* label : {outOfDate_, warning_}) {
        label->setWordWrap(true);
        label->setStyleSheet(QStringLiteral("QLabel { color: #a00000; font-weight: bold; }"));
    }
    outOfDate_->hide();
    warning_->setVisible(!warning_->text().isEmpty());

    QString how = QStringLiteral("%1 iterations, %2 sampling, seed %3.")
                      .arg(GroupedNumber(a.iterations),
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
    const std::array<QChartView*, 4> charts = riskcharts::ResultCharts(a);
    charts_ = QList<QChartView*>(charts.begin(), charts.end());
    const QString names[] = {QStringLiteral("risk-histogram"), QStringLiteral("risk-cumulative"),
                             QStringLiteral("risk-difference"), QStringLiteral("risk-tornado")};
    for (int k = 0; k < 4; ++k) AddPictureCommands(charts_[k], names[k]);

    // Ctrl+C and the table's menu copy the figures as rows of tab-separated cells, which a
    // spreadsheet pastes as cells.
    auto* copy = new QAction(QStringLiteral("&Copy Figures"), this);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(copy, &QAction::triggered, this,
            [this] { QApplication::clipboard()->setText(FiguresText()); });
    addAction(copy);
    figures_->setContextMenuPolicy(Qt::ActionsContextMenu);
    figures_->addAction(copy);

    grid_ = new QGridLayout;
    Arrange(false);
    auto* page = new QVBoxLayout(this);
    page->addWidget(outOfDate_);
    page->addWidget(sentence_);
    page->addWidget(warning_);
    page->addWidget(settings);
    page->addWidget(troubles_);
    page->addLayout(grid_, 1);
}

void RiskResultsView::Arrange(bool narrow) {
    // Side by side in pairs; one above the other where two charts would not be legible.
    narrow_ = narrow;
    const int columns = narrow ? 1 : 2;
    QWidget* const order[] = {charts_[0], charts_[1], charts_[2], figures_};
    for (QWidget* w : order) grid_->removeWidget(w);
    grid_->removeWidget(charts_[3]);
    for (int k = 0; k < 4; ++k)
        grid_->addWidget(order[k], k / columns, k % columns,
                         k == 3 ? Qt::AlignTop : Qt::Alignment());
    grid_->addWidget(charts_[3], 4, 0, 1, columns);
    grid_->setColumnStretch(0, 1);
    grid_->setColumnStretch(1, narrow ? 0 : 1);
}

void RiskResultsView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (const bool narrow = width() < 900; narrow != narrow_) Arrange(narrow);
}

QString RiskResultsView::FiguresText() const {
    // Plain numbers, without the separators the table shows, so that they paste as numbers.
    QStringList lines;
    QStringList cells{QString()};
    for (int c = 0; c < figures_->columnCount(); ++c)
        cells << figures_->horizontalHeaderItem(c)->text().replace('\n', ' ');
    lines << cells.join('\t');
    for (int r = 0; r < figures_->rowCount(); ++r) {
        cells = {figures_->verticalHeaderItem(r)->text()};
        for (int c = 0; c < figures_->columnCount(); ++c)
            cells << figures_->item(r, c)->text().remove(',');
        lines << cells.join('\t');
    }
    return lines.join('\n') + '\n';
}

void RiskResultsView::SetOutOfDate(bool outOfDate) {
    outOfDate_->setVisible(outOfDate);
}

bool RiskResultsView::OutOfDate() const {
    return !outOfDate_->isHidden();
}

QString RiskResultsView::Warning() const {
    return warning_->text();
}

QString RiskResultsView::Sentence() const {
    return sentence_->text();
}

QString RiskResultsView::Troubles() const {
    return troubles_->text();
}

} // namespace velmora
