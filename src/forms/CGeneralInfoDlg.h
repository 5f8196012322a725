#pragma once

// The project's identity, geometry, analysis period, economic parameters and the two switches
// that include or exclude work zone user costs.

#include "CInputDlg.h"

namespace velmora {

class CGeneralInfoDlg : public CInputDlg {
    Q_OBJECT
public:
    static constexpr int kTemplate = 130;
    explicit CGeneralInfoDlg(const ProjectData& project, QWidget* parent = nullptr);
};

} // namespace velmora
