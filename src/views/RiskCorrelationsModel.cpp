#include "views/RiskCorrelationsModel.h"

#include "forms/InputLabels.h"
#include "gui/FormNumbers.h"
#include "views/RiskInputsModel.h"
#include "views/RiskWindowCells.h"

namespace velmora {

RiskCorrelationsModel::RiskCorrelationsModel(Edited edited, Refused refused, QObject* parent)
    : RiskRowsModel({QStringLiteral("First input"), QStringLiteral("Second input"),
                     QStringLiteral("Rank correlation")},
                    parent),
      edited_(std::move(edited)), refused_(std::move(refused)) {}

void RiskCorrelationsModel::Show(const std::vector<risk::RankCorrelation>& pairs,
                                 const std::vector<risk::UncertainInput>& inputs) {
    Reshow(int(pairs.size()), pairs.size() == pairs_.size(), [&] {
        pairs_ = pairs;
        fields_.clear();
        labels_.clear();
        for (const risk::UncertainInput& in : inputs) {
            fields_.push_back(in.field);
            labels_ << LabelOfInput(in.field);
        }
    });
}

QVariant RiskCorrelationsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const risk::RankCorrelation& pair = pairs_[std::size_t(index.row())];
    const int column = index.column();
    const std::string& field = column == First ? pair.first : pair.second;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        if (column == Rank) return role == Qt::DisplayRole ? FormatDouble(pair.rank) : QVariant();
        return LabelOfInput(field);
    case Qt::EditRole:
        if (column == Rank) return FormatDouble(pair.rank);
        return int(std::ranges::find(fields_, field) - fields_.begin());
    case Qt::TextAlignmentRole:
        return column == Rank ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    case RiskInputsModel::kChoicesRole:
        return column == Rank ? QVariant() : QVariant(labels_);
    default:
        return {};
    }
}

Qt::ItemFlags RiskCorrelationsModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable
                           : Qt::NoItemFlags;
}

bool RiskCorrelationsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.row() >= rowCount() || role != Qt::EditRole) return false;
    const int row = index.row(), column = index.column();
    risk::RankCorrelation pair = pairs_[std::size_t(row)];
    if (column == Rank) {
        const QString text = value.toString();
        const std::optional<double> rank = ParseDouble(text);
        if (!rank) {
            const std::string entry = riskwindow::Names().Correlation(std::size_t(row), pair);
            refused_(row, column,
                     riskwindow::NotANumber(QString::fromStdString(entry + " rank"), text));
            return false;
        }
        if (*rank == pair.rank) return false;
        pair.rank = *rank;
    } else {
        const int k = value.toInt();
        if (k < 0 || k >= int(fields_.size())) return false;
        std::string& field = column == First ? pair.first : pair.second;
        if (field == fields_[std::size_t(k)]) return false;
        field = fields_[std::size_t(k)];
    }
    return edited_(row, column, pair);
}

} // namespace velmora
