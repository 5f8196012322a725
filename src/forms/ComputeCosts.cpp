#include "Forms.h"
#include "MessageBox.h"
#include "engine/Analysis.h"

namespace velmora {

void ComputeCosts(ProjectData& project, QWidget* parent) {
    if (const std::optional<Refusal> refusal = PrepareAnalysis(project)) {
        ShowMessage(parent, QString::fromStdString(refusal->text),
                    QString::fromStdString(refusal->caption), QMessageBox::Warning);
        return;
    }
    // The analysis and its results form follow here.
}

} // namespace velmora
