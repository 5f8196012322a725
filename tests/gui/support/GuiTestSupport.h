#pragma once

// Shared by the GUI tests: answer message boxes, file dialogs and modal forms in place of a
// person, record what the program showed, and read the results form.

#include "gui/FileDialog.h"
#include "gui/Help.h"
#include "gui/MessageBox.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

class QWidget;

namespace velmora {
class ComputedCostsForm;
}

namespace velmora::test {

// Answers every message box while alive: with the queued buttons in turn, then with OK (or the
// first button offered). Every box shown is kept in `shown`.
class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    void Answer(QMessageBox::StandardButton button) { answers_.push_back(button); }
    QList<ShownMessage> shown;

private:
    std::deque<QMessageBox::StandardButton> answers_;
};

// Answers every file dialog while alive with the queued paths in turn ("" cancels); every
// request is kept in `requests`. With nothing queued the dialog is cancelled.
class FileDialogAnswers {
public:
    FileDialogAnswers();
    ~FileDialogAnswers();
    void Answer(const QString& path) { answers_.push_back(path); }
    QList<FileDialogRequest> requests;

private:
    std::deque<QString> answers_;
};

// Records the full help topics (F1) and the pop-up help (Shift+F1) asked for while alive.
class HelpRecorder {
public:
    HelpRecorder();
    ~HelpRecorder();
    QStringList topics;
    struct Popup {
        quint32 contextId;
        QString text;
    };
    QList<Popup> popups;
};

// Runs `action` on the next modal widget that becomes active (from a zero-delay timer, so call
// this before the code that calls exec()). Fails the running test if none shows within 10 s.
void WhenModalShows(std::function<void(QWidget* modal)> action);

// Saves a picture of `widget` (offscreen grab()) as <name>.png in the folder that
// VELMORA_SCREENSHOT_DIR names; does nothing when it is not set.
void SaveScreenshot(QWidget* widget, const QString& name);

QByteArray ReadAll(const QString& path);
void WriteAll(const QString& path, const QByteArray& bytes);
// A report without its "Date and Time:" line, the one line two exports of a run may differ in.
QByteArray WithoutDateLine(QByteArray report);

// The cell `ref` ("B9") of the n-th sheet (from 1) of the workbook at `path`: a number as it is
// stored, a text as it reads; empty when the cell is empty or the file no workbook.
QString WorkbookCell(const QString& path, int sheet, const QString& ref);

// The 24 results on the form in the order velmora-cli compute lists them; with `overlays`, the
// "Excluded" over a user delay field in place of its number.
QStringList ResultCells(const ComputedCostsForm& form, bool overlays = true);

} // namespace velmora::test
