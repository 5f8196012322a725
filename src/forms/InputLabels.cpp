#include "forms/InputLabels.h"

#include "forms/AsphaltActivitiesForm.h"
#include "forms/ConcreteActivitiesForm.h"
#include "forms/GeneralInfoForm.h"
#include "forms/MaintenanceForm.h"
#include "forms/TrafficWorkZoneForm.h"
#include "forms/UnitPricesForm.h"
#include "model/SavedFields.h"
#include "risk/UncertainFields.h"

#include <algorithm>
#include <memory>

namespace velmora {
namespace {

QString LineLabel(const std::string& field, const std::vector<InputLabel>& all) {
    const bool asphalt = field.starts_with("asphalt");
    const QString option =
        asphalt ? QStringLiteral("Asphalt Option") : QStringLiteral("Concrete Option");
    const auto number = [&]() -> QString {
        const auto open = field.find('[');
        return open == std::string::npos ? QString()
                                         : QStringLiteral(" %1").arg(field[open + 1] - '0' + 1);
    };
    if (field.find("Misc") != std::string::npos) {
        const QString item =
            QStringLiteral("Unit Prices: Miscellaneous%1, %2").arg(number(), option);
        return item +
               (field.ends_with(".unit") ? QStringLiteral(" (unit)") : QStringLiteral(" ($/unit)"));
    }
    if (field.ends_with(".miscQuantity")) {
        // The stage's name as its year has it: "... Activities: Year - 1st Overlay".
        const std::string year = field.substr(0, field.rfind('.')) + ".year";
        const auto it = std::ranges::find(all, year, &InputLabel::field);
        if (it != all.end())
            return QString(it->label).replace(QStringLiteral(": Year - "),
                                              QStringLiteral(": Miscellaneous - "));
    }
    return QString::fromStdString(field);
}

} // namespace

const std::vector<InputLabel>& UncertainInputLabels() {
    static const std::vector<InputLabel> labels = [] {
        const ProjectData project;
        std::vector<std::pair<std::string, QString>> shown;
        std::unique_ptr<InputForm> forms[] = {
            std::make_unique<GeneralInfoForm>(project),
            std::make_unique<UnitPricesForm>(project),
            std::make_unique<AsphaltActivitiesForm>(project),
            std::make_unique<ConcreteActivitiesForm>(project),
            std::make_unique<TrafficWorkZoneForm>(project),
            std::make_unique<MaintenanceForm>(project),
        };
        for (auto& form : forms) std::ranges::move(form->NumberLabels(), std::back_inserter(shown));

        std::vector<InputLabel> all;
        ForEachSavedField(project, [&](const FieldName& name, const auto&) {
            using Kind = risk::FieldInfo::Kind;
            const std::string field = name.str();
            const Kind kind = risk::LookUpField(field)->kind;
            if (kind != Kind::Number && kind != Kind::Whole && kind != Kind::ListIndex) return;
            const auto it = std::ranges::find(shown, field, &decltype(shown)::value_type::first);
            all.push_back({field, it == shown.end() ? QString::fromStdString(field) : it->second});
        });
        // Numbers a form shows in a line of several cells (a miscellaneous pay item's price
        // and unit, a stage's miscellaneous quantity) take the label of their line.
        for (InputLabel& in : all)
            if (in.label == QString::fromStdString(in.field)) in.label = LineLabel(in.field, all);
        // Two fields under one label (each option's aggregate base price) are told apart by
        // their option.
        std::vector<bool> shared;
        for (const InputLabel& in : all)
            shared.push_back(std::ranges::count(all, in.label, &InputLabel::label) > 1);
        for (std::size_t k = 0; k < all.size(); ++k)
            if (shared[k])
                all[k].label += all[k].field.starts_with("asphalt")
                                    ? QStringLiteral(", Asphalt Option")
                                    : QStringLiteral(", Concrete Option");
        return all;
    }();
    return labels;
}

QString LabelOfInput(const std::string& field) {
    const auto& all = UncertainInputLabels();
    const auto it = std::ranges::find(all, field, &InputLabel::field);
    return it == all.end() ? QString::fromStdString(field) : it->label;
}

} // namespace velmora
