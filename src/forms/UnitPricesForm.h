#pragma once

// The unit prices of both options, their mobilization and traffic control percentages, and the
// miscellaneous pay items: one for the asphalt option, three for the concrete option.

#include "forms/InputForm.h"

namespace velmora {

class UnitPricesForm : public InputForm {
    Q_OBJECT
public:
    static constexpr int kTemplate = 131;
    explicit UnitPricesForm(const ProjectData& project, QWidget* parent = nullptr);
};

// The edit cycle of the form; true when accepted.
bool EditUnitPrices(ProjectData& project, QWidget* parent = nullptr);

} // namespace velmora
