#include "CComputedCostsDlg.h"
#include "Forms.h"
#include "MessageBox.h"
#include "engine/Analysis.h"

namespace velmora {

void ComputeCosts(ProjectData& project, QWidget* parent) {
    if (const HandOff handOff = PrepareAnalysis(project); !handOff.ok()) {
        ShowMessage(parent, QString::fromStdString(handOff.refusal.text),
                    QString::fromStdString(handOff.refusal.caption), QMessageBox::Warning);
        return;
    }
    CComputedCostsDlg form(project, parent);
    form.OnInitDialog();
    // The run changes nothing in the project but the treatment counts, and those only on OK.
    if (form.exec() == QDialog::Accepted) ApplyTreatmentCounts(form.Run(), project);
}

} // namespace velmora
