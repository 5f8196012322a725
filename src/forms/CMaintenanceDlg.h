#pragma once

// The recurring maintenance of both options: four activities each, a treatment of a quantity at
// a unit price every so many years, with the number of treatments that fall within the analysis
// period kept up to date as the years are typed.

#include "CInputDlg.h"

namespace velmora {

class CMaintenanceDlg : public CInputDlg {
    Q_OBJECT
public:
    static constexpr int kTemplate = 144;
    explicit CMaintenanceDlg(const ProjectData& project, QWidget* parent = nullptr);

protected:
    void OnInitDialog() override;

private:
    // Activities 0 to 3 are the asphalt option's, 4 to 7 the concrete option's.
    MaintenanceActivity& Activity(int k);
    void UpdateTreatmentCount(int k);
};

} // namespace velmora
