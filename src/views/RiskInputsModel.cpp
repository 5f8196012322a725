#include "views/RiskInputsModel.h"

#include "forms/InputLabels.h"
#include "gui/FormNumbers.h"
#include "risk/UncertainFields.h"
#include "views/RiskWindowCells.h"

#include <QGuiApplication>
#include <QPalette>
#include <cmath>

namespace velmora {

using namespace riskwindow;

namespace {

QStringList ColumnTitles() {
    QStringList titles;
    for (const char* title : kColumnTitles) titles << QString::fromLatin1(title);
    return titles;
}

} // namespace

RiskInputsModel::RiskInputsModel(const ProjectData& project, Edited edited, Refused refused,
                                 QObject* parent)
    : RiskRowsModel(ColumnTitles(), parent), project_(project), edited_(std::move(edited)),
      refused_(std::move(refused)) {}

void RiskInputsModel::Show(const std::vector<UncertainInput>& inputs) {
    const bool sameRows =
        std::ranges::equal(inputs, inputs_, {}, &UncertainInput::field, &UncertainInput::field);
    Reshow(int(inputs.size()), sameRows, [&] {
        inputs_ = inputs;
        values_.clear();
        densities_.clear();
        for (const UncertainInput& in : inputs_) {
            const std::optional<risk::FieldInfo> info = risk::LookUpField(in.field);
            values_.push_back(info ? risk::ProjectValue(project_, info->item) : 0.0);
            densities_.push_back(info ? DensityHeights(in, values_.back(),
                                                       info->kind != risk::FieldInfo::Kind::Number)
                                      : QList<double>());
        }
    });
}

QString RiskInputsModel::Text(int row, int column) const {
    const UncertainInput& in = inputs_[std::size_t(row)];
    switch (column) {
    case Input:
        return LabelOfInput(in.field);
    case Value:
        return FormatDouble(values_[std::size_t(row)]);
    case Kind:
        return KindLabel(in.distribution);
    case Values:
        return Takes(in.distribution, column) ? List(in.values) : QString();
    case Probabilities:
        return Takes(in.distribution, column) ? List(in.probabilities) : QString();
    default:
        if (const std::optional<double>* p = Parameter(in, column); p && *p)
            return FormatDouble(**p);
        return {};
    }
}

QVariant RiskInputsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const int row = index.row(), column = index.column();
    const UncertainInput& in = inputs_[std::size_t(row)];
    switch (role) {
    case Qt::DisplayRole:
        return column == Relative || column == Curve ? QVariant() : QVariant(Text(row, column));
    case Qt::EditRole:
        return column == Kind ? QVariant(int(in.distribution)) : QVariant(Text(row, column));
    case Qt::ToolTipRole:
        if (column == Input) return Text(row, column);
        if (Optional(in.distribution, column))
            return QStringLiteral("Optional: empty leaves the tail uncut.");
        return {};
    case Qt::CheckStateRole:
        if (column != Relative) return {};
        return in.relative ? Qt::Checked : Qt::Unchecked;
    case Qt::TextAlignmentRole:
        return column == Input || column == Kind ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                                 : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::BackgroundRole:
        if (column >= Min && column <= Probabilities && !Takes(in.distribution, column))
            return QGuiApplication::palette().color(QPalette::Window);
        return {};
    case kChoicesRole: {
        if (column != Kind) return {};
        QStringList kinds;
        for (int k = 0; k <= int(DistributionKind::Discrete); ++k)
            kinds << KindLabel(DistributionKind(k));
        return kinds;
    }
    case kDensityRole:
        return column == Curve ? QVariant::fromValue(densities_[std::size_t(row)]) : QVariant();
    default:
        return {};
    }
}

Qt::ItemFlags RiskInputsModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    const UncertainInput& in = inputs_[std::size_t(index.row())];
    const int column = index.column();
    if (column >= Min && column <= Probabilities && !Takes(in.distribution, column))
        return Qt::ItemIsSelectable;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (column == Kind || (column >= Min && column <= Probabilities)) f |= Qt::ItemIsEditable;
    if (column == Relative) f |= Qt::ItemIsUserCheckable;
    return f;
}

bool RiskInputsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.row() >= rowCount()) return false;
    const int row = index.row(), column = index.column();
    UncertainInput in = inputs_[std::size_t(row)];
    const double base = values_[std::size_t(row)];
    if (column == Relative && role == Qt::CheckStateRole) {
        // The same spread either way: multipliers of the project value, or values of the field.
        const bool relative = value.toInt() == Qt::Checked;
        if (relative == in.relative) return false;
        const double scale = base > 0.0 ? (relative ? 1.0 / base : base) : 1.0;
        for (std::optional<double>* p : {&in.min, &in.mode, &in.max, &in.mean, &in.sd})
            if (*p) **p *= scale;
        for (double& v : in.values) v *= scale;
        in.relative = relative;
        return edited_(row, column, in);
    }
    if (role != Qt::EditRole) return false;
    if (column == Kind) {
        const int kind = value.toInt();
        if (kind == int(in.distribution) || kind < 0 || kind > int(DistributionKind::Discrete))
            return false;
        return edited_(row, column, Converted(in, DistributionKind(kind)));
    }
    const QString text = value.toString();
    if (text.trimmed() == Text(row, column).trimmed()) return false;
    const QString what = Names().Input(std::size_t(row), in.field).c_str() + QStringLiteral(" ") +
                         QString::fromLatin1(kColumnTitles[column]).toLower();
    const auto notNumber = [&] {
        refused_(row, column, NotANumber(what, text));
        return false;
    };
    if (column == Values || column == Probabilities) {
        const auto list = ParseList(text);
        if (!list) return notNumber();
        (column == Values ? in.values : in.probabilities) = *list;
    } else if (text.trimmed().isEmpty() && Optional(in.distribution, column)) {
        Parameter(in, column)->reset();
    } else {
        const auto v = ParseDouble(text);
        if (!v) return notNumber();
        *Parameter(in, column) = *v;
    }
    return edited_(row, column, in);
}

} // namespace velmora
