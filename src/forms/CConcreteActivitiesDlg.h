#pragma once

// What the concrete option builds and when: the initial construction and three rehabilitation
// activities, each a column of areas, lengths, overlay and base layers, three miscellaneous
// quantities, its year and the days its work zone stays in place.

#include "CActivitiesDlg.h"

namespace velmora {

class CConcreteActivitiesDlg : public CActivitiesDlg {
    Q_OBJECT
public:
    static constexpr int kTemplate = 140;
    explicit CConcreteActivitiesDlg(const ProjectData& project, QWidget* parent = nullptr);
};

} // namespace velmora
