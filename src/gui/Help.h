#pragma once

// Help requests of the forms. F1 asks for the form's full topic by name; the application installs
// the help window that shows it. Shift+F1 pops up the text of the control that has the focus,
// found through the help context id that the control keeps. Tests install handlers that record
// both kinds of request.

#include <QString>
#include <QtGlobal>
#include <functional>

class QWidget;

namespace velmora {

void ShowHelpTopic(const QString& topic);

using HelpTopicHandler = std::function<void(const QString& topic)>;
void SetHelpTopicHandler(HelpTopicHandler handler);

// The key of a control's pop-up text: 2^31 + dialog template id x 65536 + control id. A form
// itself carries 0.
constexpr quint32 HelpContextId(int templateId, int controlId) {
    return 0x80000000u + quint32(templateId) * 65536u + quint32(controlId);
}

// Keeps `contextId` on `control` and files `popup` under it.
void SetHelpContext(QWidget* control, quint32 contextId, const QString& popup);
// The id kept by `control` or the nearest parent that keeps one; 0 when none does.
quint32 HelpContextIdOf(const QWidget* control);
QString PopupHelpText(quint32 contextId);

// Shows the pop-up text of `control` beside it; nothing when it has none.
void ShowPopupHelp(QWidget* control);
using PopupHelpHandler = std::function<void(quint32 contextId, const QString& text)>;
void SetPopupHelpHandler(PopupHelpHandler handler);

// F1 on `form` opens `topic`; Shift+F1 pops up the help of the focused control.
void InstallHelpKeys(QWidget* form, const QString& topic);

} // namespace velmora
