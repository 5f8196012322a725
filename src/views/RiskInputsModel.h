#pragma once

// The table of uncertain inputs: one row per input, its project value, distribution and
// parameters. The model only shows the inputs; an edit becomes the input as it would be, which
// the window checks against the whole definitions before it is kept.

#include "model/ProjectData.h"
#include "risk/RiskDefinitions.h"

#include "views/RiskRowsModel.h"

#include <functional>
#include <vector>

namespace velmora {

class RiskInputsModel : public RiskRowsModel {
    Q_OBJECT
public:
    enum Column {
        Input,
        Value,
        Kind,
        Relative,
        Min,
        Mode,
        Max,
        Mean,
        Sd,
        Values,
        Probabilities,
        Curve,
        kColumns
    };
    // The entries of a cell's drop-down list (a QStringList), for the delegate's editor.
    static constexpr int kChoicesRole = Qt::UserRole + 1;
    // The density of the row's input, 24 heights from 0 to 1 (a QList<double>).
    static constexpr int kDensityRole = Qt::UserRole + 2;

    // `edited` gets the row, the column and the input as the edit leaves it, and says whether
    // it is kept; `refused` gets an entry that does not read as what the cell holds.
    using Edited = std::function<bool(int row, int column, const risk::UncertainInput&)>;
    using Refused = std::function<void(int row, int column, const QString& message)>;
    RiskInputsModel(const ProjectData& project, Edited edited, Refused refused,
                    QObject* parent = nullptr);

    void Show(const std::vector<risk::UncertainInput>& inputs);
    const std::vector<risk::UncertainInput>& Inputs() const { return inputs_; }
    double ProjectValue(int row) const { return values_[std::size_t(row)]; }

    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    QString Text(int row, int column) const;

    ProjectData project_;
    Edited edited_;
    Refused refused_;
    std::vector<risk::UncertainInput> inputs_;
    std::vector<double> values_;
    std::vector<QList<double>> densities_;
};

} // namespace velmora
