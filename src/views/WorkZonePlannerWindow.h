#pragma once

// The Work Zone Planner window: for a stage of either option, every closure window of whole
// hours ranked by what it costs road users and the traffic control, the project's own window
// always beside it; the simulated day of the selected window as a chart and a table; the
// planner's settings, searched again as they are typed; and the switch of an option to the other
// closure timing the project file keeps, when the planner finds it the better one.

#include "engine/CostResults.h"
#include "model/ProjectData.h"
#include "planner/WorkZonePlanner.h"

#include <QDialog>

class QChartView;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace velmora {

class PlannerCandidatesModel;
class PlannerHeatMap;
class PlannerHourlyModel;

class WorkZonePlannerWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplate = 180;
    enum Control {
        kAccept = 1,
        kCancel = 2,
        kOption = 1200,
        kStage,
        kSetupHours,
        kMaxQueue,
        kMaxDelay,
        kMaxDays,
        kNoClosure,
        kClosureCost,
        kSettingsNote,
        kSummary,
        kReference,
        kCandidates,
        kHeatMap,
        kChart,
        kHours,
        kComponents,
        kExportCsv,
        kTimingNote,
        kUseNight,
        kUseFullDay,
        kRefusal,
    };

    explicit WorkZonePlannerWindow(const ProjectData& project, QWidget* parent = nullptr);

    QWidget* Control(int id) const;
    // The search the window shows, on the settings last taken.
    const planner::PlannerRun& Search() const { return run_; }
    const planner::PlannerSettings& Settings() const { return settings_; }
    // The stage searched and the simulated day shown.
    const planner::StageSearch* Stage() const;
    const planner::StageDay& Day() const;
    ClosureWindow Selected() const { return selected_; }
    void SelectWindow(ClosureWindow window);
    // What Accept stores into the project: the settings when they changed, and the closure
    // timing and working days of an option switched to the other timing.
    void CommitTo(ProjectData& project) const;

    // Export CSV...: the hourly table of the day shown, to a file asked for.
    void ExportCsv();
    // Use Night Closures / Use 24-Hour Closures on the chosen option.
    void UseTiming(std::int32_t timing);

    void accept() override;
    void done(int result) override;
    // Asks before changes are dropped.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The settings as their boxes hold them, or the first entry that is wrong and why.
    struct Collected {
        planner::PlannerSettings settings;
        QString error;
        QLineEdit* where = nullptr;
    };
    Collected Collect() const;
    void ShowSettings(const planner::PlannerSettings& s);
    // After an edit of a settings box: the search again, or the entry marked and why.
    void TakeSettings();
    void Research();
    // The chosen option and stage: their ranking, heat map and the day of the selected window.
    void ShowStage();
    void ShowDay();
    void ShowTimings();
    bool Changed() const;
    int Option() const;

    ProjectData project_;
    const ProjectData opened_;
    planner::PlannerSettings settings_;
    planner::PlannerSettings openedSettings_;
    planner::PreparedProject prepared_;
    planner::PlannerRun run_;
    ClosureWindow selected_{};

    QComboBox* option_;
    QComboBox* stage_;
    QLineEdit* setupHours_;
    QLineEdit* maxQueue_;
    QLineEdit* maxDelay_;
    QLineEdit* maxDays_;
    QLineEdit* noClosure_;
    QLineEdit* closureCost_;
    QLabel* settingsNote_;
    QLabel* summary_;
    QLabel* reference_;
    QTableView* candidates_;
    PlannerCandidatesModel* candidatesModel_;
    PlannerHeatMap* heatMap_;
    QChartView* chart_;
    QTableView* hours_;
    PlannerHourlyModel* hoursModel_;
    QLabel* components_;
    QLabel* timingNote_;
    QPushButton* useNight_;
    QPushButton* useFullDay_;
    QLabel* refusal_;
    QWidget* body_;
};

// The edit cycle: true when accepted, the window's edits then stored in `project`.
bool EditWorkZonePlanner(ProjectData& project, QWidget* parent);

// What the planner edits in a project: its settings, each option's closure timing and the
// working days of its stages.
void CopyPlannerEdits(const ProjectData& from, ProjectData& to);

} // namespace velmora
