// The Work Zone Planner window at work: settings read and searched, the chosen stage's ranking,
// map and day shown, the closure timing switched, the hourly table exported.

#include "views/WorkZonePlannerWindow.h"

#include "gui/FormNumbers.h"
#include "gui/MessageBox.h"
#include "gui/SaveBytes.h"
#include "model/SavedFields.h"
#include "report/NumberText.h"
#include "views/PlannerCharts.h"
#include "views/PlannerHeatMap.h"
#include "views/PlannerTables.h"
#include "views/PrintedSummary.h"
#include "views/ProjectExport.h"

#include <QChartView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

namespace velmora {
namespace {

using planner::Candidate;
using planner::StageSearch;

constexpr ClosureWindow kNight{20, 6};
constexpr ClosureWindow kFullDay{0, 0};

QString Bold(const QString& text) {
    return QStringLiteral("<b>%1</b>").arg(text);
}

const Candidate& Find(const StageSearch& s, ClosureWindow window) {
    const int rank = s.RankOf(window);
    return rank < 0 ? s.projectWindow : s.candidates[std::size_t(rank)];
}

QString TimingName(std::int32_t timing) {
    return timing == WorkZoneTiming::Night ? QStringLiteral("night closures")
                                           : QStringLiteral("24-hour closures");
}

// Where each direction queues: "direction 1 queues 6 AM-10 AM, longest 1.20 mi at 8 AM".
QString QueueSentence(const planner::StageDay& day) {
    if (day.gridlock)
        return Bold(
            QStringLiteral("Gridlock: the queue never clears in this window, so the day has "
                           "no cost that settles. Choose a shorter window or a quieter "
                           "time."));
    QStringList parts;
    for (int d = 0; d < 2; ++d) {
        const auto& hours = day.hours[d];
        QStringList runs;
        int longest = 0;
        for (int h = 0; h < 24;) {
            if (hours[h].queue <= 0.0) {
                ++h;
                continue;
            }
            const int from = h;
            while (h < 24 && hours[h].queue > 0.0) ++h;
            runs << PlannerWindowText({from, h % 24});
        }
        for (int h = 0; h < 24; ++h)
            if (hours[h].queueMiles > hours[longest].queueMiles) longest = h;
        if (runs.isEmpty())
            parts << QStringLiteral("direction %1 never queues").arg(d + 1);
        else
            parts << QStringLiteral("direction %1 queues %2, longest %3 mi at the end of %4")
                         .arg(d + 1)
                         .arg(Bold(runs.join(QStringLiteral(", "))),
                              HtmlText(Fixed(hours[longest].queueMiles, 2)),
                              HtmlText(planner::HourText(longest)));
    }
    QString text = parts.join(QStringLiteral("; ")) + u'.';
    text[0] = text[0].toUpper();
    return text;
}

} // namespace

const StageSearch* WorkZonePlannerWindow::Stage() const {
    if (!run_.ok()) return nullptr;
    return &run_.options[Option()].stages[std::max(0, stage_->currentIndex())];
}

const planner::StageDay& WorkZonePlannerWindow::Day() const {
    return hoursModel_->Day();
}

void WorkZonePlannerWindow::Research() {
    prepared_ = planner::PrepareProject(project_);
    run_ = planner::SearchClosures(prepared_, settings_);
    body_->setVisible(run_.ok());
    refusal_->setVisible(!run_.ok());
    if (!run_.ok()) {
        refusal_->setText(
            QStringLiteral("<b>%1</b><br>%2<br><br>The planner simulates the "
                           "project as Compute Costs does and cannot plan it until "
                           "this is mended.")
                .arg(HtmlText(run_.refusal.caption),
                     HtmlText(run_.refusal.text).replace(u'\n', QStringLiteral("<br>"))));
        candidatesModel_->SetSearch(nullptr);
        heatMap_->SetSearch(nullptr);
        return;
    }
    ShowStage();
}

void WorkZonePlannerWindow::ShowStage() {
    const StageSearch* s = Stage();
    if (!s) return;
    const int option = Option();
    {
        const QSignalBlocker blocker(stage_);
        const int current = std::max(0, stage_->currentIndex());
        stage_->clear();
        for (int k = 0; k < 4; ++k)
            stage_->addItem(QStringLiteral("%1, year %2")
                                .arg(planner::StageName(option, k))
                                .arg(FormatDouble(run_.options[option].stages[k].year)));
        stage_->setCurrentIndex(current);
    }
    candidatesModel_->SetSearch(s);
    heatMap_->SetSearch(s);
    // Without a cost per closure the total is the user cost: one column says it.
    for (int column : {PlannerCandidatesModel::UserCost, PlannerCandidatesModel::ClosureCost})
        candidates_->setColumnHidden(column, settings_.closureCost == 0.0);

    const Candidate& own = s->projectWindow;
    const Candidate& best = s->candidates.front();
    const int rank = candidatesModel_->RowOf(own.window) + 1;
    const QString stage = QString::fromLatin1(planner::StageName(option, s->stage));
    if (!best.feasible())
        summary_->setText(
            Bold(QStringLiteral("No window keeps every limit in the %1.").arg(stage)) +
            QStringLiteral(" Loosen a limit, or read the greyed windows for what "
                           "each breaks."));
    else if (planner::SameWindow(best.window, own.window))
        summary_->setText(QStringLiteral("The project's own window, %1, is the cheapest for the "
                                         "%2: %3 per mile over %4 days.")
                              .arg(Bold(PlannerWindowText(own.window)), stage,
                                   Bold(PlannerDollars(own.total)), GroupedNumber(own.days)));
    else
        summary_->setText(QStringLiteral("Cheapest for the %1: %2, %3 per mile over %4 days; %5.")
                              .arg(stage, Bold(PlannerWindowText(best.window)),
                                   Bold(PlannerDollars(best.total)), GroupedNumber(best.days),
                                   own.priced()
                                       ? QStringLiteral("%1 less than the project's %2")
                                             .arg(PlannerDollars(own.total - best.total),
                                                  PlannerWindowText(own.window))
                                       : QStringLiteral("the project's %1 has no time to work or "
                                                        "gridlocks")
                                             .arg(PlannerWindowText(own.window))));
    QString reference =
        QStringLiteral("Project's window: %1, ").arg(Bold(PlannerWindowText(own.window)));
    reference += own.priced() ? QStringLiteral("total %1 per mile, %2 days, ")
                                    .arg(Bold(PlannerDollars(own.total)), GroupedNumber(own.days))
                              : QString();
    reference += own.feasible()
                     ? QStringLiteral("keeps every limit")
                     : QStringLiteral("breaks: %1").arg(HtmlText(planner::BrokenText(own.broken)));
    reference +=
        QStringLiteral("; rank %1 of %2 (in bold below).").arg(rank).arg(s->candidates.size());
    reference_->setText(reference);
    ShowTimings();
    SelectWindow(selected_);
}

void WorkZonePlannerWindow::SelectWindow(ClosureWindow window) {
    selected_ = window;
    if (!Stage()) return;
    heatMap_->SetSelected(window);
    const int row = candidatesModel_->RowOf(window);
    if (row >= 0 && candidates_->currentIndex().row() != row) {
        const QModelIndex index = candidatesModel_->index(row, 0);
        candidates_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                                  QItemSelectionModel::Rows);
        candidates_->scrollTo(index);
    }
    ShowDay();
}

void WorkZonePlannerWindow::ShowDay() {
    const StageSearch* s = Stage();
    const int option = Option();
    const planner::StageDay day =
        planner::SimulateStage(prepared_, option, s->stage, selected_, settings_.setupHours);
    hoursModel_->SetDay(day);
    const QString title =
        QStringLiteral("%1 option, %2 (year %3): closed %4, %5")
            .arg(planner::OptionName(option), planner::StageName(option, s->stage),
                 FormatDouble(day.year), PlannerWindowText(selected_),
                 day.gridlock ? QStringLiteral("gridlock: the queue never clears")
                              : GroupedNumber(day.days) + QStringLiteral(" days"));
    QChart* old = chart_->chart();
    chart_->setChart(MakeHourlyChart(day, title));
    delete old;

    QString text = QueueSentence(day);
    if (!day.gridlock) {
        text += QStringLiteral("<table cellspacing=0 cellpadding=1 style='margin-top:4px'>");
        for (int k = 0; k < UserCostComponent::Count; k += 2) {
            text += QStringLiteral("<tr>");
            for (int j = k; j < std::min(k + 2, int(UserCostComponent::Count)); ++j)
                text += QStringLiteral("<td>%1</td><td align=right>%2</td><td width=16></td>")
                            .arg(QString::fromLatin1(planner::ComponentName(j)),
                                 PlannerDollars(day.components[j]));
            text += QStringLiteral("</tr>");
        }
        text += QStringLiteral("</table>The seven are current dollars over the stage's %1 days. "
                               "User cost of the stage: %2 per mile, present worth.")
                    .arg(GroupedNumber(day.days), Bold(PlannerDollars(day.userCost)));
    }
    components_->setText(text);
}

void WorkZonePlannerWindow::ShowTimings() {
    const int option = Option();
    const std::int32_t current =
        option == PavementOption::Asphalt ? project_.asphaltWzTiming : project_.concreteWzTiming;
    struct Sum {
        double total = 0.0;
        bool feasible = true;
        bool priced = true;
    };
    std::array<Sum, 2> sums; // by timing
    for (std::int32_t timing : {WorkZoneTiming::FullDay, WorkZoneTiming::Night})
        for (const StageSearch& s : run_.options[option].stages) {
            const Candidate& c = Find(s, timing == WorkZoneTiming::Night ? kNight : kFullDay);
            sums[timing].total += c.total;
            sums[timing].feasible &= c.feasible();
            sums[timing].priced &= c.priced();
        }
    const std::int32_t other =
        current == WorkZoneTiming::Night ? WorkZoneTiming::FullDay : WorkZoneTiming::Night;
    // A timing that gridlocks in some stage has no total to compare: the other is then better.
    const bool better =
        sums[other].feasible && (!sums[current].priced || sums[other].total < sums[current].total);
    useNight_->setEnabled(better && other == WorkZoneTiming::Night);
    useFullDay_->setEnabled(better && other == WorkZoneTiming::FullDay);

    const auto sum = [&](std::int32_t timing) {
        const Sum& s = sums[timing];
        if (!s.priced) return QStringLiteral("gridlock in some stage");
        return Bold(PlannerDollars(s.total)) +
               (s.feasible ? QString() : QStringLiteral(" (breaks a limit)"));
    };
    QString text = QStringLiteral("%1 option, its four stages: night closures %2, 24-hour "
                                  "closures %3. The project uses %4")
                       .arg(planner::OptionName(option), sum(WorkZoneTiming::Night),
                            sum(WorkZoneTiming::FullDay), TimingName(current));
    if (better)
        text += QStringLiteral(": <b>%1 are the better</b>, and the button sets them, the days "
                               "of each stage scaled.")
                    .arg(other == WorkZoneTiming::Night ? "night closures" : "24-hour closures");
    else
        text += sums[current].feasible ? QStringLiteral(", the better of the two.")
                                       : QStringLiteral(".");
    const StageSearch* s = Stage();
    const Candidate& best = s->candidates.front();
    if (best.feasible() && !planner::SameWindow(best.window, kNight) &&
        !planner::SameWindow(best.window, kFullDay))
        text += QStringLiteral("<br>This stage's cheapest window, %1, is neither. The project file "
                               "stores only 24-hour and night closures: plan this window in the "
                               "traffic management plan.")
                    .arg(Bold(PlannerWindowText(best.window)));
    timingNote_->setText(text);
}

void WorkZonePlannerWindow::UseTiming(std::int32_t timing) {
    const int option = Option();
    const bool asphalt = option == PavementOption::Asphalt;
    std::int32_t& stored = asphalt ? project_.asphaltWzTiming : project_.concreteWzTiming;
    if (stored == timing) return;
    const ClosureWindow from = planner::ProjectWindow(project_, option);
    const ClosureWindow to = ClosureWindowFor(timing);
    // The work of each stage stays: its days follow the productive hours of the new closure.
    for (int k = 0; k < 4; ++k) {
        double& days = asphalt ? project_.asphaltStage[k].daysToComplete
                               : project_.concreteStage[k].daysToComplete;
        days = planner::WindowDays(days, from, to, settings_.setupHours);
    }
    stored = timing;
    selected_ = to;
    Research();
}

void WorkZonePlannerWindow::CommitTo(ProjectData& project) const {
    ProjectData edited = project_;
    // Settings never changed stay as the project keeps them, none included.
    edited.workZonePlanner = settings_ == openedSettings_ ? project.workZonePlanner
                                                          : planner::PlannerSettingsText(settings_);
    CopyPlannerEdits(edited, project);
}

bool WorkZonePlannerWindow::Changed() const {
    ProjectData committed = opened_;
    CommitTo(committed);
    return !SameSavedFields(committed, opened_);
}

void WorkZonePlannerWindow::ExportCsv() {
    const QString caption = QStringLiteral("Export CSV");
    const QString path = AskExportFile(this, caption, QStringLiteral("csv"),
                                       QStringLiteral("CSV Files (*.csv)"), {});
    if (!path.isEmpty()) ExportWritten(this, caption, path, SaveBytes(path, hoursModel_->Csv()));
}

} // namespace velmora
