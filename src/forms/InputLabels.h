#pragma once

// The numbers a risk analysis may vary, each under the form and label the user enters it by.

#include <QString>
#include <string>
#include <vector>

namespace velmora {

struct InputLabel {
    std::string field; // as `velmora-cli show` names it
    QString label;     // "Unit Prices: HMA Wearing Course ($/ton)"
};

// Every saved number, whole number and list index that may be uncertain, in the order of the
// saved items. The labels come from the forms' own tables, so they change with the forms.
const std::vector<InputLabel>& UncertainInputLabels();
// The label of `field`, or the field's name for a number no form shows.
QString LabelOfInput(const std::string& field);

} // namespace velmora
