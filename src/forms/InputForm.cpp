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
namespace {

const char* const kParseCaption = "Invalid Number";

QString ParseMessage(InputForm::Kind kind, const QString& typed) {
    const QString what =
        typed.trimmed().isEmpty()
            ? QStringLiteral("The field is empty.")
            : QStringLiteral("\"%1\" is not a %2.")
                  .arg(typed, kind == InputForm::Kind::Integer ? QStringLiteral("whole number")
                                                               : QStringLiteral("number"));
    return what + "\n" +
           (kind == InputForm::Kind::Integer
                ? QStringLiteral("Please enter a whole number, such as 2, without a decimal "
                                 "point.")
                : QStringLiteral("Please enter a number such as 12.5 or 1.5E3, with a point "
                                 "for the decimals and no thousands separators."));
}

const char* const kAcceptPopup =
    "Accept Changes: keeps every value of this form in the project and closes it. Enter does "
    "the same.";
const char* const kCancelPopup =
    "Cancel Changes: closes this form and leaves the project exactly as it was before the form "
    "opened. Esc and the close box do the same.";

} // namespace

std::function<bool(double)> InputForm::Below(double lo) {
    return [lo](double v) { return v < lo; };
}

std::function<bool(double)> InputForm::Outside(double lo, double hi) {
    return [lo, hi](double v) { return v < lo || v > hi; };
}

InputForm::InputForm(const ProjectData& project, int templateId, const QString& title,
                     const QString& caption, const QString& helpTopic, QWidget* parent)
    : QDialog(parent), work_(project), templateId_(templateId), caption_(caption) {
    setWindowTitle(title);
    SetHelpContext(this, 0, {});
    InstallHelpKeys(this, helpTopic);

    auto* accept = new QPushButton(QStringLiteral("Accept Changes"), this);
    accept->setDefault(true);
    connect(accept, &QPushButton::clicked, this, &InputForm::accept);
    auto* cancel = new QPushButton(QStringLiteral("Cancel Changes"), this);
    connect(cancel, &QPushButton::clicked, this, &InputForm::reject);
    Register(1, accept);
    Register(2, cancel);
    SetPopupHelp({{1, kAcceptPopup}, {2, kCancelPopup}});
}

std::vector<Binding> InputForm::BindingsOf(std::span<const RepeatedField> fields) {
    std::vector<const RepeatedField*> byRead;
    for (const auto& f : fields) byRead.push_back(&f);
    std::stable_sort(byRead.begin(), byRead.end(),
                     [](auto* a, auto* b) { return a->read < b->read; });
    std::vector<Binding> bindings;
    for (const RepeatedField* f : byRead) {
        std::vector<int> order = f->readOrder;
        for (int k = int(order.size()); k < int(f->ids.size()); ++k) order.push_back(k);
        for (int k : order)
            bindings.emplace_back(f->ids[k],
                                  [at = f->field, k](ProjectData& p) { return at(p, k); });
    }
    return bindings;
}

std::vector<InputForm::Validator> InputForm::ChecksOf(std::span<const RepeatedField> fields) const {
    std::vector<Validator> validators;
    for (const auto& f : fields) {
        if (!f.check) continue;
        for (int id : f.ids) {
            auto* edit = qobject_cast<QLineEdit*>(Control(id));
            if (edit && edit->isReadOnly()) continue;
            validators.push_back({id, f.check->refuses, f.check->message, f.check->reset});
        }
    }
    return validators;
}

void InputForm::AddPopups(std::vector<Popup>& into, std::span<const RepeatedField> fields,
                          std::span<const QString> items) {
    for (const auto& f : fields)
        for (std::size_t k = 0; k < f.ids.size(); ++k)
            into.push_back({f.ids[k], f.popup.arg(items[k])});
}

void InputForm::SetPopupHelp(const std::vector<Popup>& popups) {
    for (const auto& p : popups)
        SetHelpContext(Control(p.id), HelpContextId(templateId_, p.id), p.text);
}

void InputForm::SetDialogUnitSize(int width, int height) {
    resize(FormSize(*this, width, height));
}

Binding* InputForm::BindingOf(int id) {
    for (auto& b : bindings_)
        if (b.id == id) return &b;
    return nullptr;
}

const InputForm::Validator* InputForm::ValidatorOf(const QWidget* control) const {
    if (!control) return nullptr;
    for (const auto& v : validators_)
        if (Control(v.id) == control) return &v;
    return nullptr;
}

bool InputForm::SaveControls() {
    QScopedValueRollback guard(validating_, true);
    bool numbersStopped = false;
    for (auto& b : bindings_) {
        const bool number = b.kind == Kind::Double || b.kind == Kind::Integer;
        if (numbersStopped && number) continue;
        if (b.Save(work_)) continue;
        numbersStopped = true;
        auto* edit = static_cast<QLineEdit*>(b.control);
        ShowMessage(this, ParseMessage(b.kind, edit->text()), kParseCaption, QMessageBox::Warning);
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
    }
    return !numbersStopped;
}

void InputForm::ShowControls() {
    for (auto& b : bindings_) b.Show(work_);
}

void InputForm::FillControls() {
    ShowControls();
}

double InputForm::Value(int id) {
    const FieldPtr field = BindingOf(id)->field(work_);
    if (auto* d = std::get_if<double*>(&field)) return **d;
    return *std::get<std::int32_t*>(field);
}

void InputForm::SetValue(int id, double value) {
    const FieldPtr field = BindingOf(id)->field(work_);
    if (auto* d = std::get_if<double*>(&field))
        **d = value;
    else
        *std::get<std::int32_t*>(field) = static_cast<std::int32_t>(value);
}

bool InputForm::Validate(const Validator& v) {
    QScopedValueRollback guard(validating_, true);
    const bool parsed = SaveControls();
    const bool refused = v.refuses(Value(v.id));
    auto* control = Control(v.id);
    if (refused) {
        ShowMessage(this, v.message, caption_, QMessageBox::Warning);
        control->setFocus(Qt::OtherFocusReason);
        SetValue(v.id, v.reset);
    } else if (v.accepted) {
        v.accepted();
    }
    ShowControls();
    if (auto* edit = qobject_cast<QLineEdit*>(control); refused && edit) edit->selectAll();
    return parsed && !refused;
}

void InputForm::CommitTo(ProjectData& project) {
    for (auto& b : bindings_) {
        const FieldPtr from = b.field(work_);
        std::visit([&](auto* to) { *to = *std::get<decltype(to)>(from); }, b.field(project));
    }
}

void InputForm::accept() {
    if (validating_) return;
    // Enter accepts without leaving the field it was pressed in, so that field is checked as
    // if it had been left. Then every other: text dropped or pasted into a field that never had
    // the focus has not been checked.
    if (const auto* v = ValidatorOf(focusWidget()); v && !Validate(*v)) return;
    for (int id : tabOrder_)
        if (const auto* v = ValidatorOf(Control(id)); v && !Validate(*v)) return;
    if (!SaveControls()) return;
    QDialog::accept();
}

void InputForm::showEvent(QShowEvent* event) {
    if (!initialised_) {
        initialised_ = true;
        FillControls();
        // The tab order is a ring; where it starts is up to the form, not to the order in which
        // the controls were made.
        if (!tabOrder_.empty()) Control(tabOrder_.front())->setFocus();
    }
    QDialog::showEvent(event);
}

bool InputForm::eventFilter(QObject* watched, QEvent* event) {
    // A wheel turned over the form, meant to scroll or by mistake, would change a choice unseen.
    if (auto* list = qobject_cast<QComboBox*>(watched);
        list && event->type() == QEvent::Wheel && !list->hasFocus()) {
        event->ignore();
        return true;
    }
    if (event->type() != QEvent::FocusOut || validating_ || !isVisible())
        return QDialog::eventFilter(watched, event);
    // Switching to another window or opening a context menu is not leaving the field.
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    const Validator* v = ValidatorOf(qobject_cast<QWidget*>(watched));
    if (!v || reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
        return QDialog::eventFilter(watched, event);
    // The field finishes losing the focus first, so that the focus handed back to it by a
    // refusal is not undone by its own focus-out handling.
    watched->event(event);
    Validate(*v);
    return true;
}

} // namespace velmora
