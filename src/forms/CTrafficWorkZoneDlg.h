#pragma once

// The traffic on the road and the layout and timing of the work zones: the inputs of the work
// zone user delay model.

#include "CInputDlg.h"

namespace velmora {

class CTrafficWorkZoneDlg : public CInputDlg {
    Q_OBJECT
public:
    static constexpr int kTemplate = 134;
    explicit CTrafficWorkZoneDlg(const ProjectData& project, QWidget* parent = nullptr);
};

} // namespace velmora
