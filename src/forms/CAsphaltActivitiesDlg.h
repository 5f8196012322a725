#pragma once

// What the asphalt option builds and when: the initial construction and three overlays, each a
// column of layer thicknesses and unit weights, quantities, its year and the days its work zone
// stays in place.

#include "CActivitiesDlg.h"

namespace velmora {

class CAsphaltActivitiesDlg : public CActivitiesDlg {
    Q_OBJECT
public:
    static constexpr int kTemplate = 132;
    explicit CAsphaltActivitiesDlg(const ProjectData& project, QWidget* parent = nullptr);
};

} // namespace velmora
