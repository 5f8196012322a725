#pragma once

// Drives an input form as a user would: focus a field, type, leave it with Tab, press keys and
// buttons. Message boxes are answered by whichever MessageRecorder the test holds.

#include "CInputDlg.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace velmora::test {

class FormDriver {
public:
    // Shows the form if it is not yet shown and makes it the active window.
    explicit FormDriver(CInputDlg& form);

    // Replaces the text of field `id` with `text`, without leaving the field.
    void Type(int id, const QString& text);
    // Types `text` at the cursor of field `id`, whatever the characters.
    void Keys(int id, const QString& text);
    // Types into field `id` and leaves it with Tab.
    void Enter(int id, const QString& text);
    void Choose(int id, int index);
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void Click(int id);
    void Focus(int id);

    // What the control shows: the text of an edit or a static, the entry of a list.
    QString Text(int id) const;
    bool HasFocus(int id) const;
    // The ids of the form's controls that the focus visits, from the focused one, with Tab.
    QList<int> TabWalk(int steps);

    CInputDlg& form;
};

class MessageRecorder;

// Types each of `accepted` into field `id` and leaves it: no message, the text stays as typed
// (so give values in their shortest form). Then each of `refused`: one message with `message`,
// `caption`, the warning icon and OK; the field shows `reset` and keeps the focus.
void CheckBounds(FormDriver& driver, MessageRecorder& messages, int id, const QStringList& accepted,
                 const QStringList& refused, const QString& message, const QString& caption,
                 const QString& reset);

enum class Close { Accept, Enter, Cancel, Escape, CloseBox };

// One field of a form: what to type into control `id` (the index of an entry for a drop-down
// list) and the normalised text the control shows when the form is opened again. `field` is
// the saved field's name as velmora-cli show prints it.
struct FieldEntry {
    int id;
    const char* field;
    QString typed;
    QString shown;
};

// Enters every entry into a default project's form through `edit` and accepts; each named
// field must then hold its value and no other saved field may have changed. Opening the form
// again must show every `shown`.
void CheckAcceptStores(bool (*edit)(ProjectData&, QWidget*), const QList<FieldEntry>& entries);

// Runs `edit` (one of the Edit... functions) on `project`; once its form shows, `drive` works
// on it and `close` ends it. Returns what `edit` returned.
bool RunForm(bool (*edit)(ProjectData&, QWidget*), ProjectData& project,
             const std::function<void(FormDriver&)>& drive, Close close);

} // namespace velmora::test
