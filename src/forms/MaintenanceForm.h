#pragma once

// The recurring maintenance of both options: four activities each, a treatment of a quantity at
// a unit price every so many years, with the number of treatments that fall within the analysis
// period kept up to date as the years are typed.

#include "forms/InputForm.h"

namespace velmora {

class MaintenanceForm : public InputForm {
    Q_OBJECT
public:
    static constexpr int kTemplate = 144;
    explicit MaintenanceForm(const ProjectData& project, QWidget* parent = nullptr);

protected:
    void FillControls() override;

private:
    // Activities 0 to 3 are the asphalt option's, 4 to 7 the concrete option's.
    MaintenanceActivity& Activity(int k);
    void UpdateTreatmentCount(int k);
};

// The edit cycle of the form; true when accepted.
bool EditMaintenance(ProjectData& project, QWidget* parent = nullptr);

} // namespace velmora
