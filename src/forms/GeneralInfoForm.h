#pragma once

// The project's identity, geometry, analysis period, economic parameters and the two switches
// that include or exclude work zone user costs.

#include "forms/InputForm.h"

namespace velmora {

class GeneralInfoForm : public InputForm {
    Q_OBJECT
public:
    static constexpr int kTemplate = 130;
    explicit GeneralInfoForm(const ProjectData& project, QWidget* parent = nullptr);
};

// The edit cycle of the form; true when accepted. Whichever way it closed, the caller then
// enables its "Traffic and Work Zone Information" button as project.TrafficFormAvailable() says.
bool EditGeneralInfo(ProjectData& project, QWidget* parent = nullptr);

} // namespace velmora
