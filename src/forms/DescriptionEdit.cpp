#include "forms/DescriptionEdit.h"

#include "gui/Cp1252Validator.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMimeData>

namespace velmora {

DescriptionEdit::DescriptionEdit(QWidget* parent) : QPlainTextEdit(parent) {
    setTabChangesFocus(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

QString DescriptionEdit::Text() const {
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    return text;
}

void DescriptionEdit::keyPressEvent(QKeyEvent* event) {
    if (!FitsProjectFile(event->text())) {
        QApplication::beep();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void DescriptionEdit::inputMethodEvent(QInputMethodEvent* event) {
    if (!FitsProjectFile(event->commitString())) {
        QApplication::beep();
        QInputMethodEvent kept(event->preeditString(), event->attributes());
        QPlainTextEdit::inputMethodEvent(&kept);
        return;
    }
    QPlainTextEdit::inputMethodEvent(event);
}

void DescriptionEdit::insertFromMimeData(const QMimeData* source) {
    if (source->hasText() && !FitsProjectFile(source->text())) {
        QApplication::beep();
        return;
    }
    QPlainTextEdit::insertFromMimeData(source);
}

} // namespace velmora
