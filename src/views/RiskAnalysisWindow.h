#pragma once

// The Risk Analysis window: the project's risk definitions (uncertain inputs, their
// distributions, correlations and the simulation's settings) edited with the forms' edit cycle,
// and a simulation run on them off the GUI thread, its results on a page of their own.

#include "model/ProjectData.h"
#include "risk/RiskAnalysis.h"
#include "views/RiskInputsModel.h"

#include <QDialog>
#include <QPointer>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QTabWidget;
class QTableView;
class QTimer;

namespace velmora {

class RiskCorrelationsModel;
class RiskResultsView;

// A run and the project it ran on, risk definitions included: its figures hold for as long as
// the project is that project.
struct RiskResults {
    std::shared_ptr<const risk::RiskAnalysis> analysis;
    ProjectData project;
};

class RiskAnalysisWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplate = 170;
    enum Control {
        kAccept = 1,
        kCancelChanges = 2,
        kInputs = 1100,
        kAdd,
        kRemove,
        kTypical,
        kIterations,
        kUsePrecision,
        kPrecision,
        kMaxIterations,
        kSeed,
        kSampling,
        kCorrelations,
        kAddPair,
        kRemovePair,
        kRun,
        kCancelRun,
        kProgress,
        kResults,
    };
    // Columns of the table of uncertain inputs.
    using enum RiskInputsModel::Column;
    // `last`, when set, are results of this project to show from the start.
    explicit RiskAnalysisWindow(const ProjectData& project, QWidget* parent = nullptr,
                                const RiskResults* last = nullptr);
    ~RiskAnalysisWindow() override;

    QWidget* Control(int id) const;
    // The definitions as the window shows them, in the project's notation; empty without inputs.
    std::string DefinitionsText() const;
    // What Accept Changes stores into the project.
    void CommitTo(ProjectData& project) const;
    // The last finished run, if any.
    const std::optional<RiskResults>& Results() const { return results_; }
    RiskResultsView* ResultsView() const { return resultsView_; }
    bool Running() const { return worker_.joinable() && !finished_; }

    // Adds `fields` with a starting distribution around their project values.
    void AddInputs(const std::vector<std::string>& fields);
    void ApplyTypicalUncertainties();
    void Run();
    void CancelRun();

    void accept() override;
    // Either way the window's size and place are kept for the next time.
    void done(int result) override;
    // Asks before changed definitions are dropped; a run still going is cancelled.
    void reject() override;

signals:
    void runFinished();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The settings as their boxes hold them, or the first entry that does not read as a number.
    struct Collected {
        risk::RiskDefinitions definitions;
        QString error;
        QWidget* where = nullptr;
    };
    Collected Collect() const;
    // Keeps `d` when the definitions check takes it; else says why, shows the definitions kept
    // before and puts the focus back on the entry (`where`, at the cell `row`, `column` of a
    // table).
    bool Keep(const risk::RiskDefinitions& d, QWidget* where, int row = -1, int column = -1);
    // The form's leave-field check of a settings box.
    bool CheckSettings(QWidget* where);
    void Refuse(const QString& message, QWidget* where, int row, int column);
    void Show(const risk::RiskDefinitions& d);
    void PickInputs();
    void RemoveInputs();
    void AddPair();
    void RemovePair();
    void Finish();
    void ShowResults();
    void SetRunning(bool running);
    // Ticked, the precision and the most iterations get values to start from.
    void UsePrecision(bool use);
    void ShowProgress(std::int64_t done, std::int64_t planned, const QString& end = {});
    // Marks the results shown when the definitions have changed since their run.
    void MarkResults();
    bool Changed() const;
    // The labels take what the other columns leave of the table's width.
    void FitInputColumn();
    // Takes what an open editor or a settings box holds; false when it was refused.
    bool CommitEntries();

    ProjectData project_;
    risk::RiskDefinitions accepted_;
    bool checking_ = false;
    // How many entries were refused; accept() sees an open editor's entry refused by it.
    int refusals_ = 0;

    QTabWidget* pages_;
    risk::RiskDefinitions opened_;
    QTableView* inputs_;
    QTableView* correlations_;
    RiskInputsModel* inputsModel_;
    RiskCorrelationsModel* pairsModel_;
    QLineEdit* iterations_;
    QCheckBox* usePrecision_;
    QLineEdit* precision_;
    QLineEdit* maxIterations_;
    QLineEdit* seed_;
    QComboBox* sampling_;
    QPushButton* run_;
    QPushButton* cancelRun_;
    QProgressBar* progress_;
    QScrollArea* resultsPage_;
    RiskResultsView* resultsView_ = nullptr;
    QTimer* poll_;

    risk::SimulationControl control_;
    std::jthread worker_;
    bool finished_ = true;
    // Cancelled: the window no longer waits for the run, whose threads are still winding down.
    bool abandoned_ = false;
    std::shared_ptr<risk::RiskAnalysis> running_;
    ProjectData runProject_;
    std::optional<RiskResults> results_;
};

// The edit cycle: true when accepted, the definitions then stored in `project`. `results` keeps
// the last results the window had for the project as it stands afterwards, or is reset.
bool EditRiskAnalysis(ProjectData& project, QWidget* parent, std::optional<RiskResults>& results);

} // namespace velmora
