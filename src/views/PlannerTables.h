#pragma once

// The Work Zone Planner's two tables: the simulated day hour by hour, and the ranked closure
// windows of a stage against the project's own window.

#include "planner/WorkZonePlanner.h"

#include <QAbstractTableModel>
#include <QString>

namespace velmora {

// Money and windows as the planner window writes them.
QString PlannerDollars(double value);
QString PlannerWindowText(ClosureWindow window);

// Both directions of a simulated day, hour after hour: 48 rows, direction 1 before direction 2
// in each hour. Closure hours are shaded; hours with a queue are tinted, so that a reader sees
// where it forms and where it clears.
class PlannerHourlyModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Hour, Direction, Demand, Capacity, Queued, QueueMiles, Delay, Served, kColumns };
    using QAbstractTableModel::QAbstractTableModel;

    void SetDay(const planner::StageDay& day);
    const planner::StageDay& Day() const { return day_; }
    // The table as comma-separated values, with a heading line.
    std::string Csv() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    planner::StageDay day_;
};

// A stage's candidates in their ranking, the project's own window in bold and a difference
// against it; rows that break a limit are greyed and name what they break.
class PlannerCandidatesModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        Window,
        Hours,
        Days,
        UserCost,
        ClosureCost,
        Total,
        AgainstProject,
        MaxQueue,
        MaxDelay,
        Limits,
        kColumns
    };
    using QAbstractTableModel::QAbstractTableModel;

    // `search` must outlive its showing; null shows nothing.
    void SetSearch(const planner::StageSearch* search);
    const planner::Candidate* At(int row) const;
    // The row of `window`, or -1.
    int RowOf(ClosureWindow window) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const planner::StageSearch* search_ = nullptr;
};

} // namespace velmora
