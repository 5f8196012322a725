#include "views/PlannerTables.h"

#include "gui/FormNumbers.h"
#include "report/NumberText.h"

#include <QApplication>
#include <QBrush>
#include <QColor>
#include <QFont>
#include <QPalette>

namespace velmora {
namespace {

// The closure hours as the hourly chart shades them, and a queue in the orange of user costs.
const QColor kClosedShade(0xe4, 0xe4, 0xe4);
const QColor kQueueTint(0xfb, 0xdc, 0xb8);
const QColor kClosedQueueTint(0xf0, 0xc8, 0x9c);

QVariant Right() {
    return QVariant(Qt::AlignRight | Qt::AlignVCenter);
}

QString Text(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

QString PlannerDollars(double value) {
    return Text(Dollars(value));
}

QString PlannerWindowText(ClosureWindow window) {
    return Text(planner::WindowText(window));
}

// Hourly table.

void PlannerHourlyModel::SetDay(const planner::StageDay& day) {
    beginResetModel();
    day_ = day;
    endResetModel();
}

int PlannerHourlyModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 48;
}

int PlannerHourlyModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant PlannerHourlyModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const char* const kTitles[] = {"Hour",   "Dir.",      "Demand",     "Capacity",
                                          "Queued", "Queue, mi", "Delay, min", "Served"};
    static const char* const kTips[] = {"The hour of the day the row starts",
                                        "Direction of travel",
                                        "Vehicles that arrive in the hour",
                                        "Vehicles per hour the open lanes carry",
                                        "Vehicles waiting at the end of the hour",
                                        "Length of the queue at the end of the hour, miles",
                                        "Minutes each vehicle that meets the queue waits",
                                        "Vehicles through the work zone point in the hour"};
    if (orientation != Qt::Horizontal) return {};
    if (role == Qt::DisplayRole) return QString::fromLatin1(kTitles[section]);
    if (role == Qt::ToolTipRole) return QString::fromLatin1(kTips[section]);
    return {};
}

QVariant PlannerHourlyModel::data(const QModelIndex& index, int role) const {
    const int hour = index.row() / 2, direction = index.row() % 2;
    const planner::HourRow& row = day_.hours[direction][hour];
    const bool queued = row.queue > 0.0;
    const int column = index.column();
    if (role == Qt::BackgroundRole) {
        if (queued && column >= Queued) return QBrush(row.closed ? kClosedQueueTint : kQueueTint);
        return row.closed ? QVariant(QBrush(kClosedShade)) : QVariant();
    }
    if (role == Qt::TextAlignmentRole) return column == Hour ? QVariant() : Right();
    if (role == Qt::ToolTipRole && column == Hour)
        return row.closed ? QStringLiteral("The lanes are closed in this hour")
                          : QStringLiteral("All lanes are open in this hour");
    if (role != Qt::DisplayRole) return {};
    // A gridlocked day has no queue that settles: its lengths and delays do not exist.
    const bool settled = !day_.gridlock;
    switch (column) {
    case Hour:
        return Text(planner::HourText(hour));
    case Direction:
        return direction + 1;
    case Demand:
        return GroupedNumber(row.demand);
    case Capacity:
        return GroupedNumber(row.capacity);
    case Queued:
        return GroupedNumber(row.queue);
    case QueueMiles:
        return settled ? Text(Fixed(row.queueMiles, 2)) : QStringLiteral("gridlock");
    case Delay:
        return settled ? Text(Fixed(row.delayMinutes, 1)) : QStringLiteral("gridlock");
    case Served:
        return GroupedNumber(row.served);
    }
    return {};
}

std::string PlannerHourlyModel::Csv() const {
    std::string csv = "hour,direction,closed,demand,capacity,queued at end of hour,queue miles,"
                      "delay minutes per vehicle,served\n";
    for (int hour = 0; hour < 24; ++hour)
        for (int direction = 0; direction < 2; ++direction) {
            const planner::HourRow& r = day_.hours[direction][hour];
            const auto settled = [this](double value, int decimals) {
                return day_.gridlock ? std::string("gridlock") : Fixed(value, decimals);
            };
            csv += std::to_string(hour) + "," + std::to_string(direction + 1) + "," +
                   (r.closed ? "yes" : "no") + "," + Fixed(r.demand, 0) + "," +
                   Fixed(r.capacity, 0) + "," + Fixed(r.queue, 0) + "," + settled(r.queueMiles, 3) +
                   "," + settled(r.delayMinutes, 2) + "," + Fixed(r.served, 0) + "\n";
        }
    return csv;
}

// Candidates.

void PlannerCandidatesModel::SetSearch(const planner::StageSearch* search) {
    beginResetModel();
    search_ = search;
    endResetModel();
}

const planner::Candidate* PlannerCandidatesModel::At(int row) const {
    if (!search_ || row < 0 || row >= int(search_->candidates.size())) return nullptr;
    return &search_->candidates[std::size_t(row)];
}

int PlannerCandidatesModel::RowOf(ClosureWindow window) const {
    return search_ ? search_->RankOf(window) : -1;
}

int PlannerCandidatesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !search_ ? 0 : int(search_->candidates.size());
}

int PlannerCandidatesModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant PlannerCandidatesModel::headerData(int section, Qt::Orientation orientation,
                                            int role) const {
    static const char* const kTitles[] = {
        "Window", "Hours",       "Days",      "User cost",  "Closure cost",
        "Total",  "vs. project", "Queue, mi", "Delay, min", "Limits broken"};
    static const char* const kTips[] = {
        "The hours the lanes are closed each day",
        "Hours closed each day",
        "Working days the stage takes in this window",
        "User delay cost of the stage, present worth per mile",
        "Cost of placing and removing the closures, present worth per mile",
        "User cost and closure cost together, present worth per mile",
        "Total less the total of the project's own window: below 0 is cheaper",
        "Longest queue of the day, miles",
        "Longest delay per vehicle of the day, minutes",
        "The limits this window breaks; empty when it keeps them all"};
    if (orientation == Qt::Vertical)
        return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
    if (role == Qt::DisplayRole) return QString::fromLatin1(kTitles[section]);
    if (role == Qt::ToolTipRole) return QString::fromLatin1(kTips[section]);
    return {};
}

QVariant PlannerCandidatesModel::data(const QModelIndex& index, int role) const {
    const planner::Candidate* c = At(index.row());
    if (!c) return {};
    const planner::Candidate& own = search_->projectWindow;
    const bool project = planner::SameWindow(c->window, own.window);
    const int column = index.column();
    if (role == Qt::FontRole && project) {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    if (role == Qt::ForegroundRole && !c->feasible())
        return QApplication::palette().brush(QPalette::Disabled, QPalette::Text);
    if (role == Qt::TextAlignmentRole)
        return column == Window || column == Limits ? QVariant() : Right();
    if (role == Qt::ToolTipRole && column == Limits && !c->feasible())
        return QString::fromStdString(planner::BrokenText(c->broken));
    if (role == Qt::ToolTipRole && column == ClosureCost && c->priced())
        return QStringLiteral("%L1 closures placed and removed").arg(c->closures, 0, 'f', 0);
    if (role != Qt::DisplayRole) return {};
    const QString none = c->gridlock() ? QStringLiteral("gridlock") : QStringLiteral("-");
    switch (column) {
    case Window:
        return PlannerWindowText(c->window) + (project ? QStringLiteral(" (project)") : QString());
    case Hours:
        return c->hours;
    case Days:
        return c->priced() ? GroupedNumber(c->days) : QStringLiteral("-");
    case UserCost:
        return c->priced() ? PlannerDollars(c->userCost) : none;
    case ClosureCost:
        return c->priced() ? PlannerDollars(c->closureCost) : QStringLiteral("-");
    case Total:
        return c->priced() ? PlannerDollars(c->total) : none;
    case AgainstProject: {
        if (!c->priced() || !own.priced()) return QString();
        const double difference = c->total - own.total;
        return (difference > 0 ? QStringLiteral("+") : QString()) + PlannerDollars(difference);
    }
    case MaxQueue:
        return c->gridlock() ? none : Text(Fixed(c->maxQueueMiles, 2));
    case MaxDelay:
        return c->gridlock() ? none : Text(Fixed(c->maxDelayMinutes, 1));
    case Limits:
        return QString::fromStdString(planner::BrokenText(c->broken));
    }
    return {};
}

} // namespace velmora
