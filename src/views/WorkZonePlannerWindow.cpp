#include "views/WorkZonePlannerWindow.h"

#include "forms/FormLayout.h"
#include "gui/ChartPicture.h"
#include "gui/Help.h"
#include "gui/MessageBox.h"
#include "gui/WindowGeometry.h"
#include "model/SavedFields.h"
#include "views/PlannerHeatMap.h"
#include "views/PlannerTables.h"

#include <QChartView>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace velmora {
namespace {

const QString kCaption = QStringLiteral("Work Zone Planner");

QString Popup(int id) {
    using W = WorkZonePlannerWindow;
    switch (id) {
    case W::kOption:
        return "Option: the pavement option whose stages are planned.";
    case W::kStage:
        return "Stage: the initial construction or one of the three later stages; each has its "
               "own year, traffic and working days.";
    case W::kSetupHours:
        return "Setup time: hours of each closure spent placing and removing the traffic "
               "control, in which no work is done; 0 to 9. A 24-hour closure stands for the "
               "whole stage and loses none.";
    case W::kMaxQueue:
        return "Maximum queue length, miles: windows whose longest queue is longer break the "
               "limit. Empty: no limit.";
    case W::kMaxDelay:
        return "Maximum delay per vehicle, minutes: windows in which a vehicle waits longer break "
               "the limit. Empty: no limit.";
    case W::kMaxDays:
        return "Maximum days: windows that need more working days for the stage break the "
               "limit. Empty: no limit.";
    case W::kNoClosure:
        return "No-closure hours: hours in which the lanes must stay open, as ranges from an hour "
               "up to but not including another, separated by commas: 6-9, 15-19. A range may "
               "wrap past midnight (22-2).";
    case W::kClosureCost:
        return "Cost per closure, dollars: placing and removing the traffic control once. A "
               "window that needs more days needs more closures; a 24-hour closure is placed "
               "once.";
    case W::kCandidates:
        return "Every closure window of whole hours, cheapest first among those that keep every "
               "limit, then those that break one (greyed). Totals are present worth per mile. "
               "Select a row to see its day below.";
    case W::kHeatMap:
        return "Every window at a glance: start hour across, hours closed down, darker for "
               "dearer. Hatched windows break a limit, crossed ones gridlock or leave no time to "
               "work. Click a cell, or use the arrow keys, to see its day.";
    case W::kChart:
        return "The simulated day of the selected window: each direction's demand against the "
               "capacity of its open lanes, the queue in miles on the right-hand scale, the "
               "closure hours shaded. Right-click to copy or save the picture.";
    case W::kHours:
        return "The simulated day hour by hour in both directions; closure hours are shaded and "
               "hours with a queue tinted.";
    case W::kComponents:
        return "The user costs of the selected window over the stage's working days, and the "
               "stage's present worth per mile, as Computed Costs counts them.";
    case W::kExportCsv:
        return "Export CSV: writes the hourly table to a file of comma-separated values.";
    case W::kUseNight:
    case W::kUseFullDay:
        return "Sets the option's closure timing and scales the working days of its stages by "
               "the productive hours of each closure. Offered only when the planner finds the "
               "other timing cheaper in total and within every limit in every stage.";
    default:
        return {};
    }
}

QPushButton* ButtonOf(const QString& text) {
    auto* button = new QPushButton(text);
    button->setAutoDefault(false);
    return button;
}

QTableView* NewTable(QAbstractItemModel* model) {
    auto* table = new QTableView;
    table->setModel(model);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setTabKeyNavigation(false);
    table->setWordWrap(false);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return table;
}

QLabel* Note() {
    auto* label = new QLabel;
    label->setWordWrap(true);
    label->setTextFormat(Qt::RichText);
    return label;
}

} // namespace

WorkZonePlannerWindow::WorkZonePlannerWindow(const ProjectData& project, QWidget* parent)
    : QDialog(parent), project_(project), opened_(project) {
    setWindowTitle(kCaption);
    SetHelpContext(this, 0, {});
    InstallHelpKeys(this, QStringLiteral("work-zone-planner"));

    option_ = new QComboBox;
    option_->addItems({QStringLiteral("Asphalt"), QStringLiteral("Concrete")});
    stage_ = new QComboBox;
    summary_ = Note();
    auto* pickers = new QHBoxLayout;
    auto* optionLabel = new QLabel(QStringLiteral("&Option:"));
    auto* stageLabel = new QLabel(QStringLiteral("S&tage:"));
    optionLabel->setBuddy(option_);
    stageLabel->setBuddy(stage_);
    pickers->addWidget(optionLabel);
    pickers->addWidget(option_);
    pickers->addSpacing(12);
    pickers->addWidget(stageLabel);
    pickers->addWidget(stage_);
    pickers->addSpacing(18);
    pickers->addWidget(summary_, 1);

    setupHours_ = new QLineEdit;
    maxQueue_ = new QLineEdit;
    maxDelay_ = new QLineEdit;
    maxDays_ = new QLineEdit;
    noClosure_ = new QLineEdit;
    closureCost_ = new QLineEdit;
    for (QLineEdit* limit : {maxQueue_, maxDelay_, maxDays_})
        limit->setPlaceholderText(QStringLiteral("none"));
    noClosure_->setPlaceholderText(QStringLiteral("6-9, 15-19"));
    settingsNote_ = Note();
    settingsNote_->setTextFormat(Qt::PlainText);
    settingsNote_->setStyleSheet(QStringLiteral("color: #b00020"));
    settingsNote_->hide();
    // Settings and the timing side by side across the top, then the windows (map above, ranking
    // below) beside the day of the one selected (chart above, numbers below).
    auto* settingsBox = new QGroupBox(QStringLiteral("Settings"));
    auto* grid = new QGridLayout(settingsBox);
    const std::pair<const char*, QLineEdit*> rows[] = {
        {"Set&up time, hours:", setupHours_}, {"Max &queue, miles:", maxQueue_},
        {"Max d&elay, min:", maxDelay_},      {"Max &days:", maxDays_},
        {"No-closure &hours:", noClosure_},   {"Cost per &closure, $:", closureCost_}};
    for (int k = 0; k < 6; ++k) {
        auto* label = new QLabel(QString::fromLatin1(rows[k].first));
        label->setBuddy(rows[k].second);
        grid->addWidget(label, k % 2, 3 * (k / 2));
        grid->addWidget(rows[k].second, k % 2, 3 * (k / 2) + 1);
        rows[k].second->setFixedWidth(
            WidthFor(rows[k].second, QString::fromLatin1(k == 4 ? "6-9, 15-19, 22" : "1000000")));
    }
    grid->setColumnMinimumWidth(2, 12);
    grid->setColumnMinimumWidth(5, 12);
    grid->addWidget(settingsNote_, 2, 0, 1, 8);
    grid->setRowStretch(3, 1);

    timingNote_ = Note();
    useNight_ = ButtonOf(QStringLiteral("Use &Night Closures"));
    useFullDay_ = ButtonOf(QStringLiteral("Use &24-Hour Closures"));
    auto* timingBox = new QGroupBox(QStringLiteral("Closure timing the project stores"));
    auto* timing = new QHBoxLayout(timingBox);
    timing->addWidget(timingNote_, 1);
    auto* timingButtons = new QVBoxLayout;
    timingButtons->addWidget(useNight_);
    timingButtons->addWidget(useFullDay_);
    timingButtons->addStretch();
    timing->addLayout(timingButtons);
    auto* upper = new QHBoxLayout;
    upper->addWidget(settingsBox);
    upper->addWidget(timingBox, 1);

    heatMap_ = new PlannerHeatMap;
    reference_ = Note();
    candidatesModel_ = new PlannerCandidatesModel(this);
    candidates_ = NewTable(candidatesModel_);
    candidates_->horizontalHeader()->setStretchLastSection(true);
    auto* windowsBox = new QGroupBox(QStringLiteral("&Windows: start hour and hours closed"));
    auto* windows = new QVBoxLayout(windowsBox);
    windows->addWidget(heatMap_, 5);
    windows->addWidget(reference_);
    windows->addWidget(candidates_, 4);

    chart_ = new QChartView(new QChart);
    chart_->setFrameShape(QFrame::NoFrame);
    chart_->setRenderHint(QPainter::Antialiasing);
    AddPictureCommands(chart_, QStringLiteral("work-zone-day"));
    hoursModel_ = new PlannerHourlyModel(this);
    hours_ = NewTable(hoursModel_);
    hours_->verticalHeader()->hide();
    // Each hour names its two rows, one per direction.
    for (int hour = 0; hour < 24; ++hour) hours_->setSpan(2 * hour, 0, 2, 1);
    components_ = Note();
    auto* exportCsv = ButtonOf(QStringLiteral("Export CS&V..."));
    auto* dayBox = new QGroupBox(QStringLiteral("Simulated da&y of the selected window"));
    auto* day = new QVBoxLayout(dayBox);
    day->addWidget(chart_, 3);
    day->addWidget(hours_, 2);
    auto* dayFoot = new QHBoxLayout;
    dayFoot->addWidget(components_, 1);
    dayFoot->addWidget(exportCsv, 0, Qt::AlignBottom);
    day->addLayout(dayFoot);
    auto* lower = new QHBoxLayout;
    lower->addWidget(windowsBox, 6);
    lower->addWidget(dayBox, 5);

    body_ = new QWidget;
    auto* bodyLayout = new QVBoxLayout(body_);
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    bodyLayout->addLayout(pickers);
    bodyLayout->addLayout(upper);
    bodyLayout->addLayout(lower, 1);
    refusal_ = Note();
    refusal_->hide();

    auto* ok = ButtonOf(QStringLiteral("OK"));
    ok->setDefault(true);
    auto* cancel = ButtonOf(QStringLiteral("Cancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* window = new QVBoxLayout(this);
    window->addWidget(refusal_, 0, Qt::AlignTop);
    window->addWidget(body_, 1);
    window->addLayout(buttons);

    const std::pair<int, QWidget*> controls[] = {{kAccept, ok},
                                                 {kCancel, cancel},
                                                 {kOption, option_},
                                                 {kStage, stage_},
                                                 {kSetupHours, setupHours_},
                                                 {kMaxQueue, maxQueue_},
                                                 {kMaxDelay, maxDelay_},
                                                 {kMaxDays, maxDays_},
                                                 {kNoClosure, noClosure_},
                                                 {kClosureCost, closureCost_},
                                                 {kSettingsNote, settingsNote_},
                                                 {kSummary, summary_},
                                                 {kReference, reference_},
                                                 {kCandidates, candidates_},
                                                 {kHeatMap, heatMap_},
                                                 {kChart, chart_},
                                                 {kHours, hours_},
                                                 {kComponents, components_},
                                                 {kExportCsv, exportCsv},
                                                 {kTimingNote, timingNote_},
                                                 {kUseNight, useNight_},
                                                 {kUseFullDay, useFullDay_},
                                                 {kRefusal, refusal_}};
    for (const auto& [id, control] : controls) {
        control->setObjectName(QStringLiteral("control%1").arg(id));
        SetHelpContext(control, HelpContextId(kTemplate, id), Popup(id));
    }
    const QList<QWidget*> tabOrder{option_,  stage_,      setupHours_,  maxQueue_, maxDelay_,
                                   maxDays_, noClosure_,  closureCost_, useNight_, useFullDay_,
                                   heatMap_, candidates_, chart_,       hours_,    exportCsv,
                                   ok,       cancel};
    for (qsizetype k = 1; k < tabOrder.size(); ++k) setTabOrder(tabOrder[k - 1], tabOrder[k]);

    connect(ok, &QPushButton::clicked, this, &WorkZonePlannerWindow::accept);
    connect(cancel, &QPushButton::clicked, this, &WorkZonePlannerWindow::reject);
    connect(exportCsv, &QPushButton::clicked, this, &WorkZonePlannerWindow::ExportCsv);
    connect(useNight_, &QPushButton::clicked, this, [this] { UseTiming(WorkZoneTiming::Night); });
    connect(useFullDay_, &QPushButton::clicked, this,
            [this] { UseTiming(WorkZoneTiming::FullDay); });
    for (QLineEdit* edit : {setupHours_, maxQueue_, maxDelay_, maxDays_, noClosure_, closureCost_})
        connect(edit, &QLineEdit::textEdited, this, &WorkZonePlannerWindow::TakeSettings);
    connect(option_, &QComboBox::currentIndexChanged, this, [this] {
        selected_ = planner::ProjectWindow(project_, Option());
        ShowStage();
    });
    connect(stage_, &QComboBox::currentIndexChanged, this, [this] {
        selected_ = planner::ProjectWindow(project_, Option());
        ShowStage();
    });
    connect(candidates_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                const planner::Candidate* c = candidatesModel_->At(current.row());
                if (c && !planner::SameWindow(c->window, selected_)) SelectWindow(c->window);
            });
    connect(heatMap_, &PlannerHeatMap::windowClicked, this, &WorkZonePlannerWindow::SelectWindow);

    if (!project.workZonePlanner.empty()) {
        const planner::ParsedSettings parsed =
            planner::ParsePlannerSettings(project.workZonePlanner);
        if (parsed.ok()) settings_ = parsed.settings;
    }
    openedSettings_ = settings_;
    ShowSettings(settings_);
    selected_ = planner::ProjectWindow(project_, Option());
    Research();
    RestoreGeometry(this, QStringLiteral("WorkZonePlannerWindow"), QSize(1280, 860));
}

QWidget* WorkZonePlannerWindow::Control(int id) const {
    return findChild<QWidget*>(QStringLiteral("control%1").arg(id));
}

int WorkZonePlannerWindow::Option() const {
    return option_->currentIndex() == 1 ? PavementOption::Concrete : PavementOption::Asphalt;
}

void WorkZonePlannerWindow::accept() {
    // An entry still wrong is not taken silently: the window stays, the entry marked.
    const Collected c = Collect();
    if (!c.error.isEmpty()) {
        ShowMessage(this, c.error, kCaption);
        c.where->setFocus();
        return;
    }
    QDialog::accept();
}

void WorkZonePlannerWindow::done(int result) {
    SaveGeometry(this, QStringLiteral("WorkZonePlannerWindow"));
    QDialog::done(result);
}

void WorkZonePlannerWindow::reject() {
    if (Changed() &&
        ShowMessage(this, QStringLiteral("Discard the changes of the Work Zone Planner?"), kCaption,
                    QMessageBox::Question, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    QDialog::reject();
}

void WorkZonePlannerWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    reject();
}

void CopyPlannerEdits(const ProjectData& from, ProjectData& to) {
    to.workZonePlanner = from.workZonePlanner;
    to.asphaltWzTiming = from.asphaltWzTiming;
    to.concreteWzTiming = from.concreteWzTiming;
    for (int k = 0; k < 4; ++k) {
        to.asphaltStage[k].daysToComplete = from.asphaltStage[k].daysToComplete;
        to.concreteStage[k].daysToComplete = from.concreteStage[k].daysToComplete;
    }
}

bool EditWorkZonePlanner(ProjectData& project, QWidget* parent) {
    WorkZonePlannerWindow window(project, parent);
    const bool accepted = window.exec() == QDialog::Accepted;
    if (accepted) window.CommitTo(project);
    return accepted;
}

} // namespace velmora
