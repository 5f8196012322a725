#pragma once

// The results of one Compute Costs run: both options side by side, agency and user delay costs
// of each stage, recurring maintenance and the totals, with "Excluded" over the user delay
// costs that the project's switches leave out. Nothing on it can be edited; "Export All Data"
// writes the report of the run, "Export Workbook..." the same run as a workbook.

#include "engine/Analysis.h"
#include "model/ProjectData.h"
#include "risk/RiskAnalysis.h"

#include <QDialog>
#include <QHash>
#include <QString>
#include <memory>

namespace velmora {

class ComputedCostsForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplate = 133;
    static constexpr int kExportAllData = 1065;
    static constexpr int kCharts = 1066;
    static constexpr int kExportWorkbook = 1090;
    static constexpr int kWorkZonePlanner = 1091;

    // `project` is the record after the hand-off let it through; the form keeps its own copy.
    // `projectFile`, the file the project was opened from or saved to, is never exported over.
    // `risk`, results of a risk analysis of the project, go into its workbook too.
    explicit ComputedCostsForm(const ProjectData& project, QWidget* parent = nullptr,
                               const QString& projectFile = {},
                               std::shared_ptr<const risk::RiskAnalysis> risk = nullptr);

    // Runs the analysis on the copy, shows a gridlock message (owned by this form) for each
    // option that gridlocked, and puts every result on the form. Call it once, before exec(),
    // so that the messages come before the form and the form never shows a partial run.
    void RunAnalysis();
    // Export All Data: asks for a file and writes the report of the run into it.
    void OnExportAllData();
    // Charts...: the cost charts of this run.
    void OnCharts();
    // Export Workbook...: the same run as a spreadsheet workbook.
    void OnExportWorkbook();
    // Work Zone Planner...: accepted with changes, the form shows the run of the project as the
    // planner left it.
    void OnWorkZonePlanner();
    // The planner was accepted with changes, which the project is to keep however this form
    // closes.
    bool Planned() const { return planned_; }

    // The copy with the treatment counts the run recomputed, and the run itself.
    const ProjectData& Project() const { return project_; }
    const AnalysisResult& Run() const { return run_; }
    QWidget* Control(int id) const { return controls_.value(id); }

private:
    QWidget* BuildOption(int option);
    void ShowExclusion();
    void ShowResults();

    ProjectData project_;
    QString projectFile_;
    std::shared_ptr<const risk::RiskAnalysis> risk_;
    AnalysisResult run_;
    bool planned_ = false;
    QHash<int, QWidget*> controls_;
};

// The hand-off of Compute Costs on `project`: false, after its message box, when the project is
// refused.
bool PrepareOrRefuse(ProjectData& project, QWidget* parent);

// Compute Costs: the hand-off (a refusal is shown as its message box), the analysis, the gridlock
// messages and the results form; OK brings the recomputed treatment counts into `project`, and
// an accepted Work Zone Planner its edits, whichever way the form closes.
// Export All Data never writes over `projectFile`, the project's own file.
void ComputeCosts(ProjectData& project, QWidget* parent = nullptr, const QString& projectFile = {},
                  std::shared_ptr<const risk::RiskAnalysis> risk = nullptr);

} // namespace velmora
