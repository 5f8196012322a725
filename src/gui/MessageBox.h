#pragma once

// Every message box of the program goes through ShowMessage, so that tests can answer and record
// them instead of a person.

#include <QMessageBox>
#include <QString>
#include <functional>

class QWidget;

namespace velmora {

struct ShownMessage {
    QString text;
    QString caption;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    // The window the box is centred on.
    QWidget* parent;
};

QMessageBox::StandardButton
ShowMessage(QWidget* parent, const QString& text, const QString& caption,
            QMessageBox::Icon icon = QMessageBox::Warning,
            QMessageBox::StandardButtons buttons = QMessageBox::Ok,
            QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

// While a hook is set it answers every message box in place of the real one. An empty hook
// restores the real box. Returns the hook it replaces.
using MessageHook = std::function<QMessageBox::StandardButton(const ShownMessage&)>;
MessageHook SetMessageHook(MessageHook hook);

} // namespace velmora
