#pragma once

// The table of correlated pairs: the two inputs, chosen from the uncertain inputs by their
// labels, and the rank correlation. Like the inputs' table it shows; the window keeps.

#include "risk/RiskDefinitions.h"

#include "views/RiskRowsModel.h"

#include <functional>
#include <vector>

namespace velmora {

class RiskCorrelationsModel : public RiskRowsModel {
    Q_OBJECT
public:
    enum Column { First, Second, Rank, kColumns };

    using Edited = std::function<bool(int row, int column, const risk::RankCorrelation&)>;
    using Refused = std::function<void(int row, int column, const QString& message)>;
    RiskCorrelationsModel(Edited edited, Refused refused, QObject* parent = nullptr);

    // The pairs, and the inputs they may choose from.
    void Show(const std::vector<risk::RankCorrelation>& pairs,
              const std::vector<risk::UncertainInput>& inputs);

    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    Edited edited_;
    Refused refused_;
    std::vector<risk::RankCorrelation> pairs_;
    std::vector<std::string> fields_;
    QStringList labels_;
};

} // namespace velmora
