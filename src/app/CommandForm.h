#pragma once

// The command form: eight buttons, one per input form plus Compute Costs and Risk Analysis, top
// down in the order they are filled. It edits the document's record; an accepted form that
// changed a saved value leaves the project modified.

#include "model/ProjectData.h"

#include <QWidget>
#include <array>

class QPushButton;

namespace velmora {

class ProjectDocument;

class CommandForm : public QWidget {
    Q_OBJECT

public:
    explicit CommandForm(ProjectDocument& document, QWidget* parent = nullptr);

    // The buttons by control id (1000, 1008, 1011 to 1016), which their help context ids carry.
    QPushButton* Button(int controlId) const;

    void OnGeneralInfo();
    void OnUnitPrices();
    void OnAsphaltActivities();
    void OnComputeCosts();
    void OnTrafficWorkZone();
    void OnConcreteActivities();
    void OnMaintenance();
    void OnRiskAnalysis();
    // The Work Zone Planner: OK brings its settings and closure timing edits into the project.
    void OnWorkZonePlanner();
    void Print();

    // The form's size in dialog units (372 by 201), in pixels of the current font.
    QSize sizeHint() const override;

    static constexpr int kTrafficButton = 1013;
    // The help context id of the first button: 2^31 + template 101 × 65536 + control 1000.
    static constexpr quint32 kGeneralInfoHelpId = 0x80000000u + 101u * 65536u + 1000u;

private:
    // Each time a project is started or opened: the traffic button follows its switches, and
    // the window fits itself around the form again.
    void ShowNewProject();
    // Runs one input form's edit cycle, after `prepare` derives what the form shows.
    void RunEditCycle(bool (*edit)(ProjectData&, QWidget*),
                      void (ProjectData::*prepare)() = nullptr);

    ProjectDocument& document_;
    std::array<QPushButton*, 8> buttons_{};
};

} // namespace velmora
