#include "CComputedCostsDlg.h"
#include "Forms.h"
#include "MessageBox.h"
#include "engine/Analysis.h"

namespace velmora {

void ComputeCosts(ProjectData& project, QWidget* parent, const QString& projectFile) {
    if (const std::optional<Refusal> refusal = PrepareAnalysis(project)) {
        ShowMessage(parent, QString::fromStdString(refusal->text),
                    QString::fromStdString(refusal->caption), QMessageBox::Warning);
        return;
    }
    CComputedCostsDlg form(project, parent, projectFile);
    form.OnInitDialog();
    // The run changes nothing in the project but the treatment counts, and those only on OK.
    if (form.exec() == QDialog::Accepted) ApplyTreatmentCounts(form.Run(), project);
}

} // namespace velmora
