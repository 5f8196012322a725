#pragma once

// Drives an input form as a user would: focus a field, type, leave it with Tab, press keys and
// buttons. Message boxes are answered by whichever MessageRecorder the test holds.

#include "forms/InputForm.h"

#include <QList>
#include <QString>
#include <functional>

namespace velmora::test {

class FormDriver {
public:
    // Shows the form if it is not yet shown and makes it the active window.
    explicit FormDriver(InputForm& form);

    // Replaces the text of field `id` with `text`, without leaving the field.
    void Type(int id, const QString& text);
    // Types `text` at the cursor of field `id`, whatever the characters; "\n" is Return.
    void Keys(int id, const QString& text);
    // Types into field `id` and leaves it with Tab; a drop-down list takes the entry whose
    // index `text` holds.
    void Enter(int id, const QString& text);
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void Click(int id);
    void Focus(int id);

    // What the control shows: the text of an edit or a static, the entry of a list.
    QString Text(int id) const;
    bool HasFocus(int id) const;
    // The ids of the form's controls that Tab visits, from the focused one until the focus is
    // back on it (0 for a widget that is not a control of the form).
    QList<int> TabRing();

    InputForm& form;
};

enum class Close { Accept, Enter, Cancel, Escape, CloseBox };

// Runs `edit` (one of the Edit... functions) on `project`; once its form shows, `drive` works
// on it and `close` ends it, unless `drive` closed it. Returns what `edit` returned.
bool RunForm(bool (*edit)(ProjectData&, QWidget*), ProjectData& project,
             const std::function<void(FormDriver&)>& drive, Close close = Close::Accept);

} // namespace velmora::test
