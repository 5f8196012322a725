#pragma once

// The multi-line text field of the forms. Like the single-line ones it refuses, as they are
// typed, pasted or dropped, characters that a project file cannot hold; Tab moves to the next
// field as in every other field of a form.

#include <QPlainTextEdit>

namespace velmora {

class DescriptionEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit DescriptionEdit(QWidget* parent = nullptr);

    // The text with "\n" line ends, and non-breaking spaces kept (toPlainText() would turn them
    // into plain blanks, which a project file can tell apart).
    QString Text() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
};

} // namespace velmora
