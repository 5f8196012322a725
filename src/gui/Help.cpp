#include "gui/Help.h"

#include <QApplication>
#include <QHash>
#include <QShortcut>
#include <QWhatsThis>
#include <QWidget>

namespace velmora {
namespace {
const char* const kContextProperty = "helpContextId";

HelpTopicHandler& Handler() {
    static HelpTopicHandler handler;
    return handler;
}

PopupHelpHandler& PopupHandler() {
    static PopupHelpHandler handler;
    return handler;
}

QHash<quint32, QString>& PopupTexts() {
    static QHash<quint32, QString> texts;
    return texts;
}
} // namespace

void ShowHelpTopic(const QString& topic) {
    if (Handler()) Handler()(topic);
}

void SetHelpTopicHandler(HelpTopicHandler handler) {
    Handler() = std::move(handler);
}

void SetHelpContext(QWidget* control, quint32 contextId, const QString& popup) {
    control->setProperty(kContextProperty, contextId);
    if (!popup.isEmpty()) PopupTexts().insert(contextId, popup);
}

quint32 HelpContextIdOf(const QWidget* control) {
    for (const QWidget* w = control; w; w = w->parentWidget()) {
        const QVariant id = w->property(kContextProperty);
        if (id.isValid()) return id.toUInt();
    }
    return 0;
}

QString PopupHelpText(quint32 contextId) {
    return PopupTexts().value(contextId);
}

void ShowPopupHelp(QWidget* control) {
    if (!control) return;
    const quint32 id = HelpContextIdOf(control);
    const QString text = PopupHelpText(id);
    if (PopupHandler()) return PopupHandler()(id, text);
    if (!text.isEmpty())
        QWhatsThis::showText(control->mapToGlobal(QPoint(0, control->height())), text, control);
}

void SetPopupHelpHandler(PopupHelpHandler handler) {
    PopupHandler() = std::move(handler);
}

void InstallHelpKeys(QWidget* form, const QString& topic) {
    QObject::connect(new QShortcut(QKeySequence(Qt::Key_F1), form), &QShortcut::activated, form,
                     [topic] { ShowHelpTopic(topic); });
    QObject::connect(new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F1), form),
                     &QShortcut::activated, form, [form] {
                         QWidget* focus = QApplication::focusWidget();
                         ShowPopupHelp(focus && form->isAncestorOf(focus) ? focus : form);
                     });
}

} // namespace velmora
