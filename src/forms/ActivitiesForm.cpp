#include "forms/ActivitiesForm.h"

#include "forms/FormLayout.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

namespace velmora {
namespace {

const char* const kDescriptionPopup =
    "The description of this row's miscellaneous pay item, as entered in the Unit Prices form. "
    "It is shown here for reference and can be changed only there.";

// Columns of the grid: the labels, then per stage the frame's left border, the boxes, the unit
// words and the frame's right border.
int BoxColumn(int stage) {
    return 2 + 4 * stage;
}

} // namespace

InputForm::Check ActivitiesForm::Positive() {
    return {Below(0), QStringLiteral("Please enter a positive value."), 0};
}

InputForm::Check ActivitiesForm::UnitWeight(double reset) {
    return {Outside(50, 200), QStringLiteral("Please enter a unit weight between 50 and 200 pcf."),
            reset};
}

InputForm::RepeatedField ActivitiesForm::Inclusion(std::vector<int> ids, FieldAt field) {
    return {QStringLiteral("Include or Exclude Work Zone User Costs"),
            std::move(ids),
            std::move(field),
            std::nullopt,
            QStringLiteral("Whether the work zone user costs of %1 count: set from the switches "
                           "of the General Information form."),
            std::numeric_limits<int>::max()};
}

ActivitiesForm::ActivitiesForm(const ProjectData& project, int templateId, const QString& title,
                               const QString& helpTopic, Layout layout, QWidget* parent)
    : InputForm(project, templateId, title, QStringLiteral("Value Out of Range"), helpTopic,
                parent),
      inclusion_(layout.inclusion.field) {
    const int rowCount = int(layout.rows.size());
    auto* grid = PanelGrid(this);
    std::vector<Popup> popups;
    std::vector<int> tabOrder;
    for (int r = 0; r < rowCount; ++r) {
        const RepeatedField& row = layout.rows[r];
        const auto misc = std::find_if(layout.misc.begin(), layout.misc.end(),
                                       [r](const MiscRow& m) { return m.row == r; });
        if (misc == layout.misc.end()) {
            grid->addWidget(Label(row.label, Qt::AlignRight), r + 1, 0);
        } else {
            QLabel* label = misc->labelId ? StaticText(misc->labelId) : Label(row.label);
            label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            QLineEdit* description = LineEdit(misc->descriptionId);
            // Reads as a second line of the row label: no border, no background of its own.
            ShowReadOnly(description);
            description->setFrame(false);
            description->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            popups.push_back({misc->descriptionId, kDescriptionPopup});
            auto* cell = new QVBoxLayout;
            cell->setSpacing(0);
            cell->addWidget(label);
            cell->addWidget(description);
            grid->addLayout(cell, r + 1, 0);
            for (int s = 0; s < int(misc->unitIds.size()); ++s)
                grid->addWidget(StaticText(misc->unitIds[s]), r + 1, BoxColumn(s) + 1);
        }
        for (int s = 0; s < 4; ++s) {
            grid->addWidget(NumberEdit(row.ids[s]), r + 1, BoxColumn(s));
            tabOrder.push_back(row.ids[s]);
        }
    }
    // The initial construction lies where the project puts it; this form only shows the year.
    ShowReadOnly(static_cast<QLineEdit*>(Control(layout.rows[0].ids[0])));

    // Part of the form, but the inclusion of a stage is never chosen here. Being hidden they take
    // no room, so they stay out of the grid, which would give their empty row the spare height.
    std::vector<QWidget*> hidden{new QLabel(layout.inclusion.label, this)};
    for (int s = 0; s < 4; ++s)
        hidden.push_back(ChoiceList(layout.inclusion.ids[s], WzInclusion::kTexts));
    for (QWidget* w : hidden) {
        w->setEnabled(false);
        w->hide();
    }

    for (int s = 0; s < 4; ++s)
        FrameCells(this, grid, layout.stages[s], 0, BoxColumn(s) - 1, rowCount + 2, 4);
    // Spare height spreads the rows evenly.
    for (int r = 1; r <= rowCount; ++r) grid->setRowStretch(r, 1);

    auto* form = new QVBoxLayout(this);
    form->addWidget(grid->parentWidget(), 1);
    form->addLayout(ButtonRow({2, 1}));

    // From here on the hidden lists are one more line of the table, without a check.
    layout.rows.push_back(layout.inclusion);
    std::vector<Binding> bindings = BindingsOf(layout.rows);
    descriptions_.reserve(layout.misc.size());
    for (const MiscRow& m : layout.misc) {
        std::string* shown =
            &descriptions_.emplace_back(*std::get<std::string*>(m.description(work_)));
        bindings.emplace_back(m.descriptionId, [shown](ProjectData&) -> FieldPtr { return shown; });
        if (m.labelId) bindings.emplace_back(m.labelId, m.label);
        for (int s = 0; s < int(m.unitIds.size()); ++s)
            bindings.emplace_back(m.unitIds[s],
                                  [at = m.unit, s](ProjectData& p) { return at(p, s); });
    }
    SetBindings(std::move(bindings));
    SetValidators(ChecksOf(layout.rows));
    tabOrder.insert(tabOrder.end(), {2, 1});
    for (const auto& m : layout.misc) tabOrder.push_back(m.descriptionId);
    SetTabOrder(tabOrder);

    std::array<QString, 4> stages;
    for (int s = 0; s < 4; ++s) stages[s] = QStringLiteral("the ") + layout.stages[s].toLower();
    AddPopups(popups, layout.rows, stages);
    LabelRows(layout.rows, layout.stages);
    SetPopupHelp(popups);
    SetDialogUnitSize(layout.width, layout.height);
}

void ActivitiesForm::FillControls() {
    ShowControls();
    SaveControls();
    // What a stage counts is decided by the project's two switches alone; whatever the stages
    // held goes back into the project as their copy on "Accept Changes".
    for (int s = 0; s < 4; ++s)
        *std::get<std::int32_t*>(inclusion_(work_, s)) = work_.StageInclusion(s);
    ShowControls();
}

} // namespace velmora
