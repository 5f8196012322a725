#pragma once

// The command form: seven buttons, one per input form plus Compute Costs. The view owns the one
// project record for the life of the program.

#include "model/ProjectData.h"

#include <QWidget>
#include <array>

class QPushButton;

namespace velmora {

class CVelmoraDoc;
struct ProjectArchive;

class CVelmoraView : public QWidget {
    Q_OBJECT

public:
    explicit CVelmoraView(CVelmoraDoc& document, QWidget* parent = nullptr);

    CVelmoraDoc& GetDocument() const { return document_; }
    ProjectData& Project() { return project_; }
    const ProjectData& Project() const { return project_; }

    // Writes the record into the archive's bytes, or reads it from them.
    void Serialize(ProjectArchive& archive);

    // Each time a project is created or opened: the traffic button follows the project's
    // switches, and the frame fits itself around the form again.
    void OnInitialUpdate();

    // The command form's buttons by control id (1000, 1008, 1011 to 1015).
    QPushButton* Button(int controlId) const;

    void OnGeneralInfo();
    void OnUnitPrices();
    void OnAsphaltActivities();
    void OnComputeCosts();
    void OnTrafficWorkZone();
    void OnConcreteActivities();
    void OnMaintenance();
    void OnFilePrint();

    // The form's size in dialog units (372 by 201), in pixels of the current font.
    QSize sizeHint() const override;

    static constexpr int kTrafficButton = 1013;
    // The help context id of the first button: 2^31 + template 101 × 65536 + control 1000.
    static constexpr quint32 kGeneralInfoHelpId = 0x80000000u + 101u * 65536u + 1000u;

private:
    // Runs one input form's edit cycle, after `prepare` derives what the form shows; an accepted
    // form that changed a saved value leaves the project modified.
    void RunEditCycle(bool (*edit)(ProjectData&, QWidget*),
                      void (ProjectData::*prepare)() = nullptr);

    CVelmoraDoc& document_;
    ProjectData project_;
    std::array<QPushButton*, 7> buttons_{};
};

} // namespace velmora
