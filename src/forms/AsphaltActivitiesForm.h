#pragma once

// What the asphalt option builds and when: the initial construction and three overlays, each a
// column of layer thicknesses and unit weights, quantities, its year and the days its work zone
// stays in place.

#include "forms/ActivitiesForm.h"

namespace velmora {

class AsphaltActivitiesForm : public ActivitiesForm {
    Q_OBJECT
public:
    static constexpr int kTemplate = 132;
    explicit AsphaltActivitiesForm(const ProjectData& project, QWidget* parent = nullptr);
};

// The edit cycle of the form; true when accepted. The label of the miscellaneous row follows the
// unit of the pay item.
bool EditAsphaltActivities(ProjectData& project, QWidget* parent = nullptr);

} // namespace velmora
