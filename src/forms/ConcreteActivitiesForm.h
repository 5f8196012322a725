#pragma once

// What the concrete option builds and when: the initial construction and three rehabilitation
// activities, each a column of areas, lengths, overlay and base layers, three miscellaneous
// quantities, its year and the days its work zone stays in place.

#include "forms/ActivitiesForm.h"

namespace velmora {

class ConcreteActivitiesForm : public ActivitiesForm {
    Q_OBJECT
public:
    static constexpr int kTemplate = 140;
    explicit ConcreteActivitiesForm(const ProjectData& project, QWidget* parent = nullptr);
};

// The edit cycle of the form; true when accepted. The caller first rebuilds the unit words of
// the miscellaneous rows from the unit prices (project.PrepareConcreteMiscLabels()).
bool EditConcreteActivities(ProjectData& project, QWidget* parent = nullptr);

} // namespace velmora
