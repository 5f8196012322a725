#include "forms/Binding.h"

#include "forms/DescriptionEdit.h"
#include "gui/FormNumbers.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace velmora {
namespace {

// Multi-line texts are kept with CR LF line ends, those of the program's files; the edit
// itself works with "\n".
QString ToEditLines(const std::string& text) {
    return QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

std::string FromEditLines(QString text) {
    return text.replace(u'\n', QStringLiteral("\r\n")).toStdString();
}

} // namespace

void Binding::Attach(QWidget* control, ProjectData& record) {
    this->control = control;
    Q_ASSERT(control);
    const FieldPtr field = this->field(record);
    if (std::holds_alternative<double*>(field))
        kind = Kind::Double;
    else if (std::holds_alternative<std::string*>(field))
        kind = Kind::Text;
    else
        kind = qobject_cast<QComboBox*>(control) ? Kind::Choice : Kind::Integer;
}

bool Binding::Save(ProjectData& record) {
    const FieldPtr field = this->field(record);
    switch (kind) {
    case Kind::Double:
    case Kind::Integer: {
        const QString text = static_cast<QLineEdit*>(control)->text();
        if (text == shownText) return true;
        if (kind == Kind::Double) {
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
        if (auto* edit = qobject_cast<QLineEdit*>(control))
            text = edit->text();
        else if (auto* edit = qobject_cast<DescriptionEdit*>(control))
            text = edit->Text();
        else
            text = static_cast<QLabel*>(control)->text();
        if (text != shownText)
            *std::get<std::string*>(field) =
                qobject_cast<DescriptionEdit*>(control) ? FromEditLines(text) : text.toStdString();
        return true;
    }
    case Kind::Choice: {
        const int index = static_cast<QComboBox*>(control)->currentIndex();
        if (index != shownIndex) *std::get<std::int32_t*>(field) = index;
        return true;
    }
    }
    return true;
}

void Binding::Show(ProjectData& record) {
    // A control that already shows the value is left alone, keeping its cursor and undo steps.
    const FieldPtr field = this->field(record);
    auto show = [this](QLineEdit* edit, QString text) {
        shownText = std::move(text);
        if (edit->text() == shownText) return;
        edit->setText(shownText);
        // The start of a long number or text, not its end.
        edit->setCursorPosition(0);
    };
    switch (kind) {
    case Kind::Double:
        show(static_cast<QLineEdit*>(control), FormatDouble(*std::get<double*>(field)));
        break;
    case Kind::Integer:
        show(static_cast<QLineEdit*>(control), FormatInteger(*std::get<std::int32_t*>(field)));
        break;
    case Kind::Text: {
        const std::string& text = *std::get<std::string*>(field);
        if (auto* edit = qobject_cast<DescriptionEdit*>(control)) {
            const QString lines = ToEditLines(text);
            if (edit->Text() != lines) edit->setPlainText(lines);
            shownText = edit->Text();
        } else if (auto* line = qobject_cast<QLineEdit*>(control)) {
            show(line, QString::fromStdString(text));
        } else {
            shownText = QString::fromStdString(text);
            static_cast<QLabel*>(control)->setText(shownText);
        }
        break;
    }
    case Kind::Choice: {
        auto* list = static_cast<QComboBox*>(control);
        // An index that no entry has (a project file may hold one) leaves the list blank.
        list->setCurrentIndex(*std::get<std::int32_t*>(field));
        shownIndex = list->currentIndex();
        break;
    }
    }
}

} // namespace velmora
