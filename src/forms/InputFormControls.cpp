// The controls of an input form: made, registered under their ids, laid out in rows and
// groups, and put in tab order.
#include "forms/InputForm.h"

#include "forms/FormLayout.h"

#include "forms/DescriptionEdit.h"
#include "gui/Cp1252Validator.h"
#include "gui/DialogUnits.h"
#include "gui/Help.h"
#include "gui/MessageBox.h"
#include "model/SavedFields.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QStyle>
#include <algorithm>
#include <limits>

namespace velmora {

void InputForm::Register(int id, QWidget* control) {
    Q_ASSERT(!controls_.contains(id));
    controls_.insert(id, control);
    SetHelpContext(control, HelpContextId(templateId_, id), {});
    control->installEventFilter(this);
}

QLineEdit* InputForm::NumberEdit(int id, Qt::Alignment alignment) {
    auto* edit = new QLineEdit(this);
    edit->setAlignment(alignment | Qt::AlignVCenter);
    // Room for a number of 15 significant digits with its sign and point; spare width goes to
    // texts. Longer forms (small fractions, exponents) scroll.
    edit->setFixedWidth(WidthFor(edit, QStringLiteral("-0.00000000000000")));
    // Text dragged in from elsewhere would pass no check on the way: a number is typed or
    // pasted, and checked when the box is left or the form accepted.
    edit->setAcceptDrops(false);
    Register(id, edit);
    return edit;
}

QLineEdit* InputForm::LineEdit(int id) {
    auto* edit = new QLineEdit(this);
    // A record text has no length limit; QLineEdit's default of 32767 would cut a long one.
    edit->setMaxLength(std::numeric_limits<int>::max());
    edit->setValidator(new Cp1252Validator(edit));
    Register(id, edit);
    return edit;
}

DescriptionEdit* InputForm::MultiLineEdit(int id) {
    auto* edit = new DescriptionEdit(this);
    Register(id, edit);
    return edit;
}

QComboBox* InputForm::ChoiceList(int id, std::span<const std::string_view> entries) {
    auto* list = new QComboBox(this);
    // The wheel turns a list only once it has the focus (see eventFilter), and does not give it.
    list->setFocusPolicy(Qt::StrongFocus);
    for (auto entry : entries) list->addItem(QString::fromUtf8(entry.data(), entry.size()));
    Register(id, list);
    return list;
}

QLabel* InputForm::StaticText(int id) {
    auto* label = new QLabel(this);
    Register(id, label);
    return label;
}

QPushButton* InputForm::Button(int id) const {
    return static_cast<QPushButton*>(Control(id));
}

QLayout* InputForm::ButtonRow(std::initializer_list<int> ids) const {
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (int id : ids) row->addWidget(Button(id));
    return row;
}

void InputForm::SetFields(const std::vector<Field>& fields, Qt::Alignment alignment) {
    fields_ = fields;
    std::vector<const Field*> byRead;
    std::vector<Validator> validators;
    std::vector<Popup> popups;
    std::vector<int> tabOrder;
    for (const Field& f : fields_) {
        switch (f.editor) {
        case Editor::Number:
            NumberEdit(f.id, alignment);
            break;
        case Editor::Text:
            LineEdit(f.id);
            break;
        case Editor::Lines:
            MultiLineEdit(f.id);
            break;
        case Editor::Choice:
            ChoiceList(f.id, f.choices);
            break;
        }
        byRead.push_back(&f);
        if (f.check)
            validators.push_back({f.id, f.check->refuses, f.check->message, f.check->reset});
        popups.push_back({f.id, f.popup});
        labelled_.push_back({f.label, {f.id}, {}});
        tabOrder.push_back(f.id);
    }
    std::stable_sort(byRead.begin(), byRead.end(),
                     [](const Field* a, const Field* b) { return a->read < b->read; });
    std::vector<Binding> bindings;
    for (const Field* f : byRead) bindings.emplace_back(f->id, f->bound.of);
    SetBindings(std::move(bindings));
    SetValidators(std::move(validators));
    tabOrder.insert(tabOrder.end(), {1, 2});
    SetTabOrder(tabOrder);
    SetPopupHelp(popups);
}

void InputForm::LabelRows(std::span<const RepeatedField> rows, std::span<const QString> items) {
    for (const auto& r : rows)
        labelled_.push_back({r.label, r.ids, std::vector<QString>(items.begin(), items.end())});
}

QList<int> InputForm::IdsLabelled(const QString& label) const {
    QList<int> ids;
    for (const auto& row : labelled_)
        if (row.label == label) ids.append(QList<int>(row.ids.begin(), row.ids.end()));
    return ids;
}

std::vector<std::pair<std::string, QString>> InputForm::NumberLabels() {
    std::vector<std::pair<const void*, std::string>> names;
    ForEachSavedField(work_, [&](const FieldName& name, const auto& member) {
        names.emplace_back(&member, name.str());
    });
    const QString title = windowTitle().section(QStringLiteral(" ("), 0, 0);
    const auto plain = [](QString label) {
        label = label.simplified();
        return label.endsWith(':') ? label.chopped(1) : label;
    };
    std::vector<std::pair<std::string, QString>> labels;
    for (const Binding& b : bindings_) {
        if (b.kind != Kind::Double && b.kind != Kind::Integer && b.kind != Kind::Choice) continue;
        const FieldPtr field = b.field(work_);
        const void* address = std::visit([](auto* p) -> const void* { return p; }, field);
        const auto name = std::ranges::find(names, address, &decltype(names)::value_type::first);
        if (name == names.end() || std::holds_alternative<std::string*>(field)) continue;
        for (const Labelled& row : labelled_) {
            const auto at = std::ranges::find(row.ids, b.id);
            if (at == row.ids.end() || row.label.isEmpty()) continue;
            QString text = title + QStringLiteral(": ") + plain(row.label);
            if (!row.items.empty()) {
                text += QStringLiteral(" - ") + row.items[at - row.ids.begin()];
            } else if (const auto f = std::ranges::find(fields_, b.id, &Field::id);
                       f != fields_.end() && !f->unit.isEmpty()) {
                // A unit that brings its own brackets, "(Two Direction, All Lanes)", keeps them.
                text +=
                    f->unit.startsWith('(') ? ' ' + f->unit : QStringLiteral(" (") + f->unit + ')';
            }
            labels.emplace_back(name->second, text);
            break;
        }
    }
    return labels;
}

void InputForm::LayOutGroup(QGridLayout* grid, int group, int row) const {
    for (const Field& f : fields_) {
        if (f.group != group) continue;
        QWidget* control = Control(f.id);
        if (f.editor == Editor::Lines) {
            // A box of several lines: its label stands at the top, beside its first line.
            grid->addWidget(Label(f.label, Qt::AlignTop), row, 0, Qt::AlignTop | Qt::AlignLeft);
            grid->addWidget(control, row, 1);
        } else {
            AddRow(grid, row, 0, f.label, control, f.unit);
        }
        ++row;
    }
}

void InputForm::SetBindings(std::vector<Binding> bindings) {
    bindings_ = std::move(bindings);
    for (auto& b : bindings_) b.Attach(Control(b.id), work_);
}

void InputForm::SetValidators(std::vector<Validator> validators) {
    validators_ = std::move(validators);
    for ([[maybe_unused]] const auto& v : validators_) Q_ASSERT(BindingOf(v.id));
}

void InputForm::SetTabOrder(std::initializer_list<int> ids) {
    SetTabOrder(std::vector<int>(ids));
}

void InputForm::SetTabOrder(const std::vector<int>& ids) {
    tabOrder_ = ids;
    for (std::size_t k = 1; k < ids.size(); ++k) setTabOrder(Control(ids[k - 1]), Control(ids[k]));
}

} // namespace velmora
