#pragma once

// What the risk window's two tables share: a row per entry of the definitions, fixed column
// titles, rows numbered from 1, and a new showing that keeps the current cell and the selection
// when the rows are the same ones.

#include <QAbstractTableModel>
#include <QStringList>

namespace velmora {

class RiskRowsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    RiskRowsModel(QStringList titles, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

protected:
    // Runs `assign`, which leaves the model with `rows` rows; `sameRows`: the rows are the ones
    // shown, changed in their cells only.
    template <class Assign>
    void Reshow(int rows, bool sameRows, Assign&& assign) {
        if (!sameRows) beginResetModel();
        assign();
        rows_ = rows;
        if (!sameRows)
            endResetModel();
        else if (rows_ > 0)
            emit dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1));
    }

private:
    QStringList titles_;
    int rows_ = 0;
};

} // namespace velmora
