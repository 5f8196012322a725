#pragma once

// The unit prices of both options, their mobilization and traffic control percentages, and the
// miscellaneous pay items: one for the asphalt option, three for the concrete option.

#include "CInputDlg.h"

namespace velmora {

class CUnitPricesDlg : public CInputDlg {
    Q_OBJECT
public:
    static constexpr int kTemplate = 131;
    explicit CUnitPricesDlg(const ProjectData& project, QWidget* parent = nullptr);
};

} // namespace velmora
