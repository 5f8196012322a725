#pragma once

// The costs of one Compute Costs run as pictures: a stacked bar per option of its net present
// value by stage (agency, user delay, maintenance), and each option's cash flow by year, as
// spent or discounted, with its net present value and equivalent uniform annual cost.

#include "engine/Analysis.h"
#include "model/ProjectData.h"

#include <QDialog>
#include <array>

class QChart;
class QChartView;
class QLabel;
class QRadioButton;

namespace velmora {

class CostChartsForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplate = 150;

    // `project` is the analysis copy that `run` was computed on.
    CostChartsForm(const ProjectData& project, const AnalysisResult& run,
                   QWidget* parent = nullptr);

    QChartView* CostView() const { return costView_; }
    QChartView* CashFlowView(int option) const { return cashFlowViews_[option]; }
    QRadioButton* DiscountedButton() const { return discounted_; }
    QRadioButton* UndiscountedButton() const { return undiscounted_; }
    // Says which option gridlocked; hidden when none did.
    QLabel* GridlockNote() const { return gridlockNote_; }

private:
    void ShowCashFlows();

    ProjectData project_;
    AnalysisResult run_;
    QChartView* costView_;
    std::array<QChartView*, 2> cashFlowViews_{};
    QRadioButton* discounted_;
    QRadioButton* undiscounted_;
    QLabel* gridlockNote_;
};

// The stacked bars of both options' net present values per mile, as the results form rounds
// them.
QChart* MakeCostChart(const CostResults& results);
// Each option's expenditures per mile by year, agency, user and maintenance stacked, both on one
// scale so that a year of one compares with the other's; a stage with a fractional year counts
// in the year it starts.
std::array<QChart*, 2> MakeCashFlowCharts(const ProjectData& project, const AnalysisResult& run,
                                          bool discounted);

// Cost Charts: the hand-off on a copy of `project` (a refusal is shown as Compute Costs shows
// it, and no window opens), the run, and the window.
void CostCharts(const ProjectData& project, QWidget* parent = nullptr);

} // namespace velmora
