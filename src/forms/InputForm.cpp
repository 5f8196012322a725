#include "forms/InputForm.h"

#include "forms/DescriptionEdit.h"
#include "gui/Cp1252Validator.h"
#include "gui/DialogUnits.h"
#include "gui/FormNumbers.h"
#include "gui/Help.h"
#include "gui/MessageBox.h"

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

// Multi-line texts are kept with CR LF line ends, those of the program's files; the edit
// itself works with "\n".
QString ToEditLines(const std::string& text) {
    return QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

std::string FromEditLines(QString text) {
    return text.replace(u'\n', QStringLiteral("\r\n")).toStdString();
}

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

// The width at which `edit` shows `text` whole: the text, and the frame and margins that the
// edit's minimum size adds to its font's widest character.
int WidthFor(const QLineEdit* edit, const QString& text) {
    const QFontMetrics metrics = edit->fontMetrics();
    return metrics.horizontalAdvance(text) + edit->minimumSizeHint().width() - metrics.maxWidth();
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

void InputForm::ShowReadOnly(QLineEdit* edit) {
    edit->setReadOnly(true);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    edit->setPalette(palette);
}

QPushButton* InputForm::Button(int id) const {
    return static_cast<QPushButton*>(Control(id));
}

QLabel* InputForm::Label(const QString& text, Qt::Alignment alignment) {
    auto* label = new QLabel(text);
    label->setAlignment(alignment | Qt::AlignVCenter);
    return label;
}

QLayout* InputForm::ButtonRow(std::initializer_list<int> ids) const {
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (int id : ids) row->addWidget(Button(id));
    return row;
}

void InputForm::AddRow(QGridLayout* grid, int row, int column, const QString& label,
                       QWidget* control, const QString& unit) {
    if (!label.isEmpty()) grid->addWidget(Label(label), row, column);
    if (control) grid->addWidget(control, row, column + 1);
    if (!unit.isEmpty()) grid->addWidget(Label(unit), row, column + 2);
}

QGridLayout* InputForm::PanelGrid() {
    auto* grid = new QGridLayout(new QWidget(this));
    grid->setContentsMargins(0, 0, 0, 0);
    return grid;
}

QGroupBox* InputForm::FrameCells(QGridLayout* grid, const QString& title, int row, int column,
                                 int rowSpan, int columnSpan) {
    auto* box = new QGroupBox(title, this);
    // The style keeps room for the title and the border in the box's margins; the outer ring of
    // cells takes that room and a layout's spacing more, to keep the controls off the line (the
    // grid adds no spacing of its own next to cells that hold nothing).
    const QMargins frame = box->contentsMargins();
    const int across = style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing);
    const int down = style()->pixelMetric(QStyle::PM_LayoutVerticalSpacing);
    grid->setRowMinimumHeight(row, frame.top() + down);
    grid->setRowMinimumHeight(row + rowSpan - 1, frame.bottom() + down);
    grid->setColumnMinimumWidth(column, frame.left() + across);
    grid->setColumnMinimumWidth(column + columnSpan - 1, frame.right() + across);
    grid->addWidget(box, row, column, rowSpan, columnSpan);
    // Behind the controls, which must get the clicks.
    box->lower();
    return box;
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
    for (auto& b : bindings_) {
        b.control = Control(b.id);
        Q_ASSERT(b.control);
        const FieldPtr field = b.field(work_);
        if (std::holds_alternative<double*>(field))
            b.kind = Kind::Double;
        else if (std::holds_alternative<std::string*>(field))
            b.kind = Kind::Text;
        else
            b.kind = qobject_cast<QComboBox*>(b.control) ? Kind::Choice : Kind::Integer;
    }
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

std::vector<InputForm::Binding> InputForm::BindingsOf(std::span<const RepeatedField> fields) {
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

InputForm::Binding* InputForm::BindingOf(int id) {
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

bool InputForm::SaveOne(Binding& b) {
    const FieldPtr field = b.field(work_);
    switch (b.kind) {
    case Kind::Double:
    case Kind::Integer: {
        const QString text = static_cast<QLineEdit*>(b.control)->text();
        if (text == b.shownText) return true;
        if (b.kind == Kind::Double) {
            const auto value = ParseDouble(text);
            if (value) *std::get<double*>(field) = *value;
            return value.has_value();
        }
        const auto value = ParseInteger(text);
        if (value) *std::get<std::int32_t*>(field) = *value;
        return value.has_value();
    }
    case Kind::Text: {
        QString text;
        if (auto* edit = qobject_cast<QLineEdit*>(b.control))
            text = edit->text();
        else if (auto* edit = qobject_cast<DescriptionEdit*>(b.control))
            text = edit->Text();
        else
            text = static_cast<QLabel*>(b.control)->text();
        if (text != b.shownText)
            *std::get<std::string*>(field) = qobject_cast<DescriptionEdit*>(b.control)
                                                 ? FromEditLines(text)
                                                 : text.toStdString();
        return true;
    }
    case Kind::Choice: {
        const int index = static_cast<QComboBox*>(b.control)->currentIndex();
        if (index != b.shownIndex) *std::get<std::int32_t*>(field) = index;
        return true;
    }
    }
    return true;
}

void InputForm::ShowOne(Binding& b) {
    // A control that already shows the value is left alone, keeping its cursor and undo steps.
    const FieldPtr field = b.field(work_);
    auto show = [&](QLineEdit* edit, QString text) {
        b.shownText = std::move(text);
        if (edit->text() == b.shownText) return;
        edit->setText(b.shownText);
        // The start of a long number or text, not its end.
        edit->setCursorPosition(0);
    };
    switch (b.kind) {
    case Kind::Double:
        show(static_cast<QLineEdit*>(b.control), FormatDouble(*std::get<double*>(field)));
        break;
    case Kind::Integer:
        show(static_cast<QLineEdit*>(b.control), FormatInteger(*std::get<std::int32_t*>(field)));
        break;
    case Kind::Text: {
        const std::string& text = *std::get<std::string*>(field);
        if (auto* edit = qobject_cast<DescriptionEdit*>(b.control)) {
            const QString lines = ToEditLines(text);
            if (edit->Text() != lines) edit->setPlainText(lines);
            b.shownText = edit->Text();
        } else if (auto* line = qobject_cast<QLineEdit*>(b.control)) {
            show(line, QString::fromStdString(text));
        } else {
            b.shownText = QString::fromStdString(text);
            static_cast<QLabel*>(b.control)->setText(b.shownText);
        }
        break;
    }
    case Kind::Choice: {
        auto* list = static_cast<QComboBox*>(b.control);
        // An index that no entry has (a project file may hold one) leaves the list blank.
        list->setCurrentIndex(*std::get<std::int32_t*>(field));
        b.shownIndex = list->currentIndex();
        break;
    }
    }
}

bool InputForm::SaveControls() {
    QScopedValueRollback guard(validating_, true);
    bool numbersStopped = false;
    for (auto& b : bindings_) {
        const bool number = b.kind == Kind::Double || b.kind == Kind::Integer;
        if (numbersStopped && number) continue;
        if (SaveOne(b)) continue;
        numbersStopped = true;
        auto* edit = static_cast<QLineEdit*>(b.control);
        ShowMessage(this, ParseMessage(b.kind, edit->text()), kParseCaption, QMessageBox::Warning);
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
    }
    return !numbersStopped;
}

void InputForm::ShowControls() {
    for (auto& b : bindings_) ShowOne(b);
}

void InputForm::OnInitDialog() {
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
        OnInitDialog();
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
