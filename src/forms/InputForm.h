#pragma once

// What every input form shares: the working copy of the project that the form edits, the binding
// table that moves values between the controls and that copy in the form's exchange order, the
// checks run when a field is left, "Accept Changes" and "Cancel Changes", and the help keys. A
// form builds its controls and its layout and hands over its tables; the rest happens here.

#include "forms/Binding.h"
#include "model/ProjectData.h"

#include <QDialog>
#include <QHash>
#include <QList>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;

namespace velmora {

class DescriptionEdit;

class InputForm : public QDialog {
    Q_OBJECT
public:
    using Kind = Binding::Kind;

    // The check run when the field of control `id` is left. `refuses` tests the parsed value
    // (an integer field is tested as its exact double); on refusal the user sees `message`
    // under the form's caption and the field becomes `reset`. `accepted`, when set, runs after
    // a value that passed.
    struct Validator {
        int id;
        std::function<bool(double)> refuses;
        QString message;
        double reset;
        std::function<void()> accepted = {};
    };

    // The pop-up help text of control `id`.
    struct Popup {
        int id;
        QString text;
    };

    // "below lo", and "below lo or above hi", bounds included in what passes.
    static std::function<bool(double)> Below(double lo);
    static std::function<bool(double)> Outside(double lo, double hi);

    // A field repeated over the stages of an option or over the activities of a maintenance
    // group: the field of item k.
    using FieldAt = std::function<FieldPtr(ProjectData&, int k)>;
    template <class Item, std::size_t N, class T>
    static FieldAt Each(std::array<Item, N> ProjectData::*items, T Item::*member) {
        return
            [items, member](ProjectData& p, int k) -> FieldPtr { return &((p.*items)[k].*member); };
    }
    // Element `m` of an array member of each item, e.g. the second miscellaneous quantity.
    template <class Item, std::size_t N, class T, std::size_t M>
    static FieldAt Each(std::array<Item, N> ProjectData::*items, std::array<T, M> Item::*member,
                        int m) {
        return [items, member, m](ProjectData& p, int k) -> FieldPtr {
            return &((p.*items)[k].*member)[m];
        };
    }

    // The check that every item of a repeated field shares; see Validator.
    struct Check {
        std::function<bool(double)> refuses;
        QString message;
        double reset;
    };

    // One line of a form's table of repeated fields: the label, the control of each item, the
    // check (none for a field that is not checked), the pop-up text, in which %1 names the
    // item, and the line's place in the order the form reads its fields, its items in
    // `readOrder` (0, 1, 2, ... when empty).
    struct RepeatedField {
        QString label;
        std::vector<int> ids;
        FieldAt field;
        std::optional<Check> check = std::nullopt;
        QString popup = {};
        int read = 0;
        std::vector<int> readOrder = {};
    };

    // A field of the record: a member, or any field through an accessor.
    struct Bound {
        template <class T>
        Bound(T ProjectData::*member)
            : of([member](ProjectData& p) -> FieldPtr { return &(p.*member); }) {}
        template <class F>
        requires(!std::is_member_object_pointer_v<F> && std::is_invocable_v<F, ProjectData&>)
            Bound(F accessor)
            : of(std::move(accessor)) {}
        FieldOf of;
    };

    enum class Editor { Number, Text, Lines, Choice };

    // One row of a form's table of fields, in tab order: everything the form knows of the field.
    // `id` is the control's number within the form's template, kept only as the key of its
    // pop-up help. `read` is the field's place in the order the form reads its fields, which is
    // not the tab order (see SaveControls). `group` is the block of the form's layout it sits
    // in; within a block, rows stand in table order.
    struct Field {
        int id;
        QString label;
        QString unit;
        Bound bound;
        std::optional<Check> check;
        QString popup;
        int read;
        int group = 0;
        Editor editor = Editor::Number;
        std::span<const std::string_view> choices = {};
    };

    // Bindings of every item of `fields`, in reading order.
    static std::vector<Binding> BindingsOf(std::span<const RepeatedField> fields);
    // The pop-up of every item of `fields`, its %1 replaced by the item's name in `items`.
    static void AddPopups(std::vector<Popup>& into, std::span<const RepeatedField> fields,
                          std::span<const QString> items);

    // Copies every bound field of the working copy into `project`.
    void CommitTo(ProjectData& project);
    QWidget* Control(int id) const { return controls_.value(id); }
    // The controls of the rows labelled `label`, one per item of a repeated row, in table order.
    QList<int> IdsLabelled(const QString& label) const;
    // Every number of the form as the user finds it, keyed by the name `velmora-cli show` gives
    // its field: "Unit Prices: HMA Wearing Course ($/ton)", or with the item of a repeated row
    // "Recurring Maintenance Activities: Unit Price - concrete maintenance activity 2".
    std::vector<std::pair<std::string, QString>> NumberLabels();

    void accept() override;

protected:
    // The working copy starts as `project`. `caption` heads every range message of the form.
    InputForm(const ProjectData& project, int templateId, const QString& title,
              const QString& caption, const QString& helpTopic, QWidget* parent);

    // Controls; each is registered under its id and keeps its help context id.
    QLineEdit* NumberEdit(int id, Qt::Alignment alignment = Qt::AlignLeft);
    QLineEdit* LineEdit(int id);
    DescriptionEdit* MultiLineEdit(int id);
    QComboBox* ChoiceList(int id, std::span<const std::string_view> entries);
    QLabel* StaticText(int id);
    QPushButton* Button(int id) const;
    // "Accept Changes" and "Cancel Changes" (ids 1 and 2) in the given order, at the right.
    QLayout* ButtonRow(std::initializer_list<int> ids) const;

    // Makes the control of every row, binds it, checks it, gives it its pop-up and puts the
    // controls in tab order, "Accept Changes" and "Cancel Changes" after them. Numbers stand
    // with `alignment`.
    void SetFields(const std::vector<Field>& fields, Qt::Alignment alignment = Qt::AlignLeft);
    // The rows of `group` as label, control and unit, one row of `grid` each from `row` on.
    void LayOutGroup(QGridLayout* grid, int group, int row = 0) const;
    const std::vector<Field>& Fields() const { return fields_; }
    // Makes the rows of a table of repeated fields known by their labels, their boxes by the
    // names of `items`.
    void LabelRows(std::span<const RepeatedField> rows, std::span<const QString> items);

    // The tables. Bindings go in exchange order, which need not be the tab order.
    void SetBindings(std::vector<Binding> bindings);
    void SetValidators(std::vector<Validator> validators);
    void SetTabOrder(std::initializer_list<int> ids);
    void SetTabOrder(const std::vector<int>& ids);
    void SetPopupHelp(const std::vector<Popup>& popups);

    // The check of every item of `fields` that has one, except in a box that cannot be typed
    // into: its value cannot change there.
    std::vector<Validator> ChecksOf(std::span<const RepeatedField> fields) const;
    // The layout's size in dialog units of the form's font, as a starting size: the layout may
    // ask for more.
    void SetDialogUnitSize(int width, int height);

    // Save direction: controls to the working copy, in exchange order. A number that does not
    // parse is reported, gets the focus, and stops the numbers: it and the numbers after it
    // keep their values. Texts and choices, which always parse, are read throughout so that no
    // typed text is lost. False when a number did not parse.
    bool SaveControls();
    // Display direction: the working copy to every control.
    void ShowControls();
    // The form's opening step; the default shows every value.
    virtual void FillControls();

    double Value(int id);
    void SetValue(int id, double value);

    ProjectData work_;

    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Register(int id, QWidget* control);
    Binding* BindingOf(int id);
    const Validator* ValidatorOf(const QWidget* control) const;
    // The leave-field pattern; false when a number did not parse or the value was refused.
    bool Validate(const Validator& v);

    int templateId_;
    std::vector<Field> fields_;
    struct Labelled {
        QString label;
        std::vector<int> ids;
        std::vector<QString> items; // empty for a single field
    };
    std::vector<Labelled> labelled_;
    QString caption_;
    QHash<int, QWidget*> controls_;
    std::vector<Binding> bindings_;
    std::vector<Validator> validators_;
    bool initialised_ = false;
    std::vector<int> tabOrder_;
    // Set while a field's check runs: its message box, and the focus it hands back, make other
    // fields lose the focus, and their checks must not start on top of it.
    bool validating_ = false;
};

// The edit cycle: the form starts from a copy of `project` and, only on "Accept Changes",
// copies its fields back. True when accepted.
template <class Form>
bool RunEditCycle(ProjectData& project, QWidget* parent) {
    Form form(project, parent);
    if (form.exec() != QDialog::Accepted) return false;
    form.CommitTo(project);
    return true;
}

} // namespace velmora
