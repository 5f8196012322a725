#include "forms/MaintenanceForm.h"

#include "forms/FormLayout.h"

#include "engine/Maintenance.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace velmora {
namespace {

using P = ProjectData;
using M = MaintenanceActivity;

// A field of the eight activities: the asphalt option's 0 to 3, then the concrete option's.
InputForm::FieldAt Activities(auto M::*member) {
    return [member](P& p, int k) -> FieldPtr {
        return &((k < 4 ? p.asphaltMaintenance[k] : p.concreteMaintenance[k - 4]).*member);
    };
}

enum Column { Description, Quantity, UnitPrice, YearsBetween, TreatmentCountColumn };

std::vector<InputForm::RepeatedField> Columns() {
    using D = InputForm;
    // clang-format off
    return {
        {"Activity", {1103, 1108, 1113, 1118, 1123, 1128, 1133, 1138}, Activities(&M::description),
            std::nullopt,
            "Activity: what %1 is, for example crack sealing or joint resealing. Any text; it "
            "appears in the report.", 0},
        {"Quantity", {1104, 1109, 1114, 1119, 1124, 1129, 1134, 1139}, Activities(&M::quantity),
            D::Check{D::Below(0), "Please enter a non-negative maintenance quantity.", 0},
            "Quantity of %1 for the whole project, in whatever unit its unit price is given. 0 "
            "or more; 0 leaves the activity out. Default 0.", 3},
        {"Unit Price", {1105, 1112, 1117, 1122, 1127, 1132, 1137, 1142}, Activities(&M::unitPrice),
            D::Check{D::Below(0), "Please enter a non-negative maintenance unit price.", 0},
            "Unit Price of %1, in dollars per unit of its quantity. 0 or more; default 0.", 4},
        // Checked together with its count: see the constructor.
        {"Years between treatments", {1106, 1111, 1116, 1121, 1126, 1131, 1136, 1141},
            Activities(&M::yearsBetween), std::nullopt,
            "Years between treatments of %1, a whole number: the first treatment falls this "
            "many years after the start, and one follows every interval up to the end of the "
            "analysis period. 0 or more; 0 means no treatment. Default 0.", 1},
        {"Number of Treatments in Analysis", {1107, 1110, 1115, 1120, 1125, 1130, 1135, 1140},
            Activities(&M::treatmentCount), std::nullopt,
            "Number of treatments of %1 within the analysis period of the General Information "
            "form, worked out from the years between treatments; it cannot be typed into.", 2},
    };
    // clang-format on
}

} // namespace

MaintenanceForm::MaintenanceForm(const ProjectData& project, QWidget* parent)
    : InputForm(
          project, kTemplate,
          QStringLiteral("Recurring Maintenance Activities (Shift+F1=Pop-Up Help; F1=Full Help)"),
          QStringLiteral("Number Out of Range"), QStringLiteral("maintenance"), parent) {
    const std::vector<RepeatedField> columns = Columns();

    // Columns of the grid: the frames' left border, the five fields, the right border. Rows:
    // the headings, then per option its title, its four activities and its bottom border.
    auto* grid = PanelGrid(this);
    for (int c = 0; c < int(columns.size()); ++c) {
        QLabel* heading = Label(columns[c].label, Qt::AlignLeft | Qt::AlignBottom);
        heading->setWordWrap(true);
        heading->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        grid->addWidget(heading, 0, c + 1);
    }
    for (int k = 0; k < 8; ++k) {
        const int row = k < 4 ? 2 + k : 4 + k;
        // Wide enough for a treatment's usual name, since the number boxes take their fixed
        // share of the form's width first.
        QLineEdit* description = LineEdit(columns[Description].ids[k]);
        description->setMinimumWidth(
            WidthFor(description, QStringLiteral("Partial-depth patching")));
        grid->addWidget(description, row, 1);
        for (int c = Quantity; c <= TreatmentCountColumn; ++c)
            grid->addWidget(NumberEdit(columns[c].ids[k]), row, c + 1);
        ShowReadOnly(static_cast<QLineEdit*>(Control(columns[TreatmentCountColumn].ids[k])));
    }
    FrameCells(this, grid, QStringLiteral("Asphalt Option"), 1, 0, 6, 7);
    FrameCells(this, grid, QStringLiteral("Concrete Option"), 7, 0, 6, 7);
    grid->setColumnStretch(1, 1);
    // Spare height spreads the activities evenly.
    for (int row : {2, 3, 4, 5, 8, 9, 10, 11}) grid->setRowStretch(row, 1);

    auto* form = new QVBoxLayout(this);
    form->addWidget(grid->parentWidget(), 1);
    form->addLayout(ButtonRow({1, 2}));

    SetBindings(BindingsOf(columns));

    std::vector<Validator> validators = ChecksOf(columns);
    for (int k = 0; k < 8; ++k)
        validators.push_back({columns[YearsBetween].ids[k], Below(0),
                              "Please enter a non-negative years between treatments.", 0,
                              [this, k] { UpdateTreatmentCount(k); }});
    SetValidators(std::move(validators));

    std::vector<int> tabOrder;
    for (int k = 0; k < 8; ++k)
        for (int c : {Description, Quantity, UnitPrice, YearsBetween})
            tabOrder.push_back(columns[c].ids[k]);
    tabOrder.insert(tabOrder.end(), {1, 2});
    for (int id : columns[TreatmentCountColumn].ids) tabOrder.push_back(id);
    SetTabOrder(tabOrder);

    std::vector<QString> activities;
    for (const char* option : {"asphalt", "concrete"})
        for (int k = 1; k <= 4; ++k)
            activities.push_back(QStringLiteral("%1 maintenance activity %2").arg(option).arg(k));
    std::vector<Popup> popups;
    AddPopups(popups, columns, activities);
    LabelRows(columns, activities);
    SetPopupHelp(popups);
    SetDialogUnitSize(367, 250);
}

MaintenanceActivity& MaintenanceForm::Activity(int k) {
    return k < 4 ? work_.asphaltMaintenance[k] : work_.concreteMaintenance[k - 4];
}

void MaintenanceForm::UpdateTreatmentCount(int k) {
    Activity(k).treatmentCount = TreatmentCount(work_.analysisPeriod, Activity(k).yearsBetween);
}

void MaintenanceForm::FillControls() {
    ShowControls();
    SaveControls();
    // The analysis period may have changed since the counts were stored.
    for (int k = 0; k < 8; ++k) UpdateTreatmentCount(k);
    ShowControls();
}

bool EditMaintenance(ProjectData& project, QWidget* parent) {
    return RunEditCycle<MaintenanceForm>(project, parent);
}

} // namespace velmora
