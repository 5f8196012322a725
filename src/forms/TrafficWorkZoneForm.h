#pragma once

// The traffic on the road and the layout and timing of the work zones: the inputs of the work
// zone user delay model.

#include "forms/InputForm.h"

namespace velmora {

class TrafficWorkZoneForm : public InputForm {
    Q_OBJECT
public:
    static constexpr int kTemplate = 134;
    explicit TrafficWorkZoneForm(const ProjectData& project, QWidget* parent = nullptr);
};

// The edit cycle of the form; true when accepted.
bool EditTrafficWorkZone(ProjectData& project, QWidget* parent = nullptr);

} // namespace velmora
