#pragma once

// What a risk analysis found, on one page: how likely each option is the cheaper one, the spread
// of both totals, the figures of the totals and their difference, the inputs that move the
// difference most, and the iterations that gridlocked or were refused.

#include "risk/RiskAnalysis.h"

#include <QList>
#include <QString>
#include <QWidget>
#include <memory>

class QChartView;
class QGridLayout;
class QLabel;
class QTableWidget;

namespace velmora {

class RiskResultsView : public QWidget {
    Q_OBJECT
public:
    explicit RiskResultsView(const risk::RiskAnalysis& analysis, QWidget* parent = nullptr);

    QString Sentence() const;
    // The histogram, the cumulative curves, the difference's histogram and the tornado chart.
    const QList<QChartView*>& Charts() const { return charts_; }
    // Mean, standard deviation and percentiles of each total and of their difference.
    QTableWidget* Figures() const { return figures_; }
    // Gridlock and refusals; empty when there were none.
    QString Troubles() const;
    // Above 1 % of the iterations refused: what the headline warns of; else empty.
    QString Warning() const;
    // The figures as tab-separated rows, headings first, as Ctrl+C copies them.
    QString FiguresText() const;
    // Marks the results as those of definitions that have changed since.
    void SetOutOfDate(bool outOfDate);
    bool OutOfDate() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Arrange(bool narrow);

    QGridLayout* grid_;
    bool narrow_ = false;
    QLabel* sentence_;
    QLabel* troubles_;
    QLabel* outOfDate_;
    QLabel* warning_;
    QTableWidget* figures_;
    QList<QChartView*> charts_;
};

} // namespace velmora
