#pragma once

// Drives an input form as a user would: focus, type, leave with Tab, press keys and buttons.

#include "forms/InputForm.h"

#include <QList>
#include <QString>
#include <functional>

namespace velmora::test {

class FormDriver {
public:
    explicit FormDriver(InputForm& form);

    // Replaces the text of field `id` with `text`, without leaving the field; "\n" is Return.
    void Type(int id, const QString& text);
    // Types and leaves with Tab; a drop-down list takes the entry of index `text`.
    void Enter(int id, const QString& text);
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void Click(int id);
    void Focus(int id);

    QString Text(int id) const;
    bool HasFocus(int id) const;
    // The ids Tab visits from the focused control round to it (0: not a control of the form).
    QList<int> TabRing();

    InputForm& form;
};

enum class Close { Accept, Enter, Cancel, Escape, CloseBox };

// Runs `edit` on `project`; `drive` works on the form, then `close` ends it unless closed.
bool RunForm(bool (*edit)(ProjectData&, QWidget*), ProjectData& project,
             const std::function<void(FormDriver&)>& drive, Close close = Close::Accept);

} // namespace velmora::test
