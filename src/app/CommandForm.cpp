#include "app/CommandForm.h"

#include "app/ProjectDocument.h"
#include "forms/AsphaltActivitiesForm.h"
#include "forms/ConcreteActivitiesForm.h"
#include "forms/GeneralInfoForm.h"
#include "forms/MaintenanceForm.h"
#include "forms/TrafficWorkZoneForm.h"
#include "forms/UnitPricesForm.h"
#include "gui/DialogUnits.h"
#include "model/SavedFields.h"
#include "views/ComputedCostsForm.h"
#include "views/PrintedReport.h"
#include "views/RiskAnalysisWindow.h"
#include "views/RiskResultsView.h"
#include "views/WorkZonePlannerWindow.h"

#include <QGridLayout>
#include <QLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <vector>

namespace velmora {

namespace {

int DluX(const QWidget* widget, int units) {
    return DialogUnitSize(widget->font(), units, 0).width();
}
int DluY(const QWidget* widget, int units) {
    return DialogUnitSize(widget->font(), 0, units).height();
}

// The activity buttons are narrow and carry long texts, which they wrap onto two lines.
class WrappingButton : public QPushButton {
public:
    using QPushButton::QPushButton;

    // The narrowest width from `minimum` on at which the text takes two lines at most: a
    // wider font than the form was drawn for must not push it onto a third.
    int TwoLineWidth(int minimum) const {
        const QFontMetrics metrics = fontMetrics();
        int width = minimum;
        while (
            width < metrics.horizontalAdvance(text()) + 8 &&
            metrics.boundingRect(QRect(0, 0, width - 8, 1000), Qt::TextWordWrap, text()).height() >
                2 * metrics.lineSpacing())
            width += 2;
        return width;
    }

    QSize sizeHint() const override {
        const QRect text = fontMetrics().boundingRect(
            QRect(0, 0, width() - 8, 1000), Qt::AlignCenter | Qt::TextWordWrap, this->text());
        return {QPushButton::sizeHint().width(), text.height() + 8};
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        option.text.clear();
        painter.drawControl(QStyle::CE_PushButton, option);
        style()->drawItemText(&painter, rect().adjusted(4, 2, -4, -2),
                              Qt::AlignCenter | Qt::TextWordWrap, palette(), isEnabled(), text(),
                              QPalette::ButtonText);
    }
};

// The command form in tab order. A row holds one button, or the two activity buttons side by
// side (column 0 and 1); a column of -1 spans the row.
struct CommandButton {
    int controlId;
    const char* text;
    void (CommandForm::*handler)();
    int row;
    int column;
};

constexpr CommandButton kButtons[] = {
    {1000, "General Project Information", &CommandForm::OnGeneralInfo, 0, -1},
    {1008, "Unit Prices", &CommandForm::OnUnitPrices, 1, -1},
    {1011, "Asphalt  Option Construction Activities", &CommandForm::OnAsphaltActivities, 2, 0},
    {1012, "Compute Costs", &CommandForm::OnComputeCosts, 5, -1},
    {1013, "Traffic and Work Zone Information", &CommandForm::OnTrafficWorkZone, 3, -1},
    {1014, "Concrete  Option Construction Activities", &CommandForm::OnConcreteActivities, 2, 1},
    {1015, "Recurring Maintenance Activities", &CommandForm::OnMaintenance, 4, -1},
    // Added to the form later: after the original buttons in their original order.
    {1016, "Risk Analysis", &CommandForm::OnRiskAnalysis, 6, -1},
};

const char* const kGeneralInfoPopUp =
    "General Project Information\n\nOpens the form for the project's title and description, "
    "its length and cross-section, the speed limit, the analysis period, the discount rate, the "
    "consumer price index, and whether work zone user costs count for the initial construction "
    "and for the later stages.";

} // namespace

CommandForm::CommandForm(ProjectDocument& document, QWidget* parent)
    : QWidget(parent), document_(document) {
    connect(&document_, &ProjectDocument::projectReplaced, this, &CommandForm::ShowNewProject);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(DluX(this, 3));
    grid->setVerticalSpacing(DluY(this, 4));
    for (size_t k = 0; k < std::size(kButtons); ++k) {
        const CommandButton& entry = kButtons[k];
        QPushButton* button;
        if (entry.column >= 0) {
            auto* wrapping = new WrappingButton(entry.text, this);
            wrapping->setFixedWidth(wrapping->TwoLineWidth(DluX(this, 80)));
            wrapping->setMinimumHeight(std::max(DluY(this, 19), wrapping->sizeHint().height()));
            grid->addWidget(wrapping, entry.row, entry.column);
            button = wrapping;
        } else {
            button = new QPushButton(entry.text, this);
            button->setFixedWidth(DluX(this, 126));
            button->setMinimumHeight(DluY(this, 14));
            grid->addWidget(button, entry.row, 0, 1, 2, Qt::AlignHCenter);
        }
        button->setObjectName(QString("button%1").arg(entry.controlId));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, entry.handler);
        if (k > 0) setTabOrder(buttons_[k - 1], button);
        buttons_[k] = button;
    }
    QPushButton* first = Button(1000);
    first->setProperty("helpContextId", kGeneralInfoHelpId);
    first->setWhatsThis(kGeneralInfoPopUp);

    // The buttons keep the form's top-left corner, whatever the size of the window.
    auto* outer = new QGridLayout(this);
    outer->setContentsMargins(DluX(this, 10), DluY(this, 7), DluX(this, 10), DluY(this, 7));
    outer->addLayout(grid, 0, 0);
    outer->setRowStretch(1, 1);
    outer->setColumnStretch(1, 1);
}

QPushButton* CommandForm::Button(int controlId) const {
    for (size_t k = 0; k < std::size(kButtons); ++k)
        if (kButtons[k].controlId == controlId) return buttons_[k];
    return nullptr;
}

QSize CommandForm::sizeHint() const {
    return QSize(DluX(this, 372), DluY(this, 201)).expandedTo(minimumSizeHint());
}

void CommandForm::ShowNewProject() {
    // A project just opened or started has its own switches.
    Button(kTrafficButton)->setEnabled(document_.Project().TrafficFormAvailable());
    QWidget* frame = window();
    if (frame == this) return;
    if (frame->layout()) frame->layout()->activate();
    // Shrink only: a window larger than the form is fitted to it, a smaller one stays.
    frame->resize(frame->size().boundedTo(frame->sizeHint()));
}

void CommandForm::RunEditCycle(bool (*edit)(ProjectData&, QWidget*),
                               void (ProjectData::*prepare)()) {
    ProjectData& project = document_.Project();
    const ProjectData before = project;
    // Labels derived before a form opens stay derived when it is cancelled, without making the
    // project modified: they follow from the unit prices again next time.
    if (prepare) (project.*prepare)();
    if (edit(project, this) && !SameSavedFields(before, project)) document_.SetModified(true);
}

void CommandForm::OnGeneralInfo() {
    RunEditCycle(&EditGeneralInfo);
    // Whichever way the form closed, the switches in the record decide.
    Button(kTrafficButton)->setEnabled(document_.Project().TrafficFormAvailable());
}

void CommandForm::OnUnitPrices() {
    RunEditCycle(&EditUnitPrices);
}

void CommandForm::OnAsphaltActivities() {
    RunEditCycle(&EditAsphaltActivities);
}

void CommandForm::OnComputeCosts() {
    // The hand-off rewrites the inclusion flags and OK on the results form brings in the
    // treatment counts: either is a change worth saving.
    ProjectData& project = document_.Project();
    const ProjectData before = project;
    // Results of a risk analysis of the project as it stands go into the workbook too.
    const RiskResults* risk = document_.CurrentRiskResults();
    ComputeCosts(project, this, document_.Path(), risk ? risk->analysis : nullptr);
    if (!SameSavedFields(before, project)) document_.SetModified(true);
}

void CommandForm::OnTrafficWorkZone() {
    RunEditCycle(&EditTrafficWorkZone);
}

void CommandForm::OnConcreteActivities() {
    RunEditCycle(&EditConcreteActivities, &ProjectData::PrepareConcreteMiscLabels);
}

void CommandForm::OnMaintenance() {
    RunEditCycle(&EditMaintenance);
}

void CommandForm::OnRiskAnalysis() {
    ProjectData& project = document_.Project();
    const ProjectData before = project;
    if (EditRiskAnalysis(project, this, document_.LastRiskResults()) &&
        !SameSavedFields(before, project))
        document_.SetModified(true);
}

void CommandForm::OnWorkZonePlanner() {
    RunEditCycle(&EditWorkZonePlanner);
}

void CommandForm::Print() {
    // At the printer's own resolution, as Export PDF prints: the same pages, spaced alike.
    QPrinter printer(QPrinter::HighResolution);
    PreparePrinter(printer, document_.Project());
    QPrintDialog dialog(&printer, window());
    if (dialog.exec() != QDialog::Accepted) return;
    const RiskResults* risk = document_.CurrentRiskResults();
    PrintProject(printer, document_.Project(), risk ? risk->analysis.get() : nullptr);
}

} // namespace velmora
