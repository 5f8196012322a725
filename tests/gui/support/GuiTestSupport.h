#pragma once

// Answer message boxes, file dialogs and modal forms in place of a person, and record them.

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

// Answers every message box while alive with the queued buttons, then OK or the first offered;
// one made inside another's life hands the boxes back to it when it goes.
class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    void Answer(QMessageBox::StandardButton button) { answers_.push_back(button); }
    QList<ShownMessage> shown;

private:
    std::deque<QMessageBox::StandardButton> answers_;
    MessageHook previous_;
};

// Answers every file dialog while alive with the queued paths; "" or none queued cancels.
class FileDialogAnswers {
public:
    FileDialogAnswers();
    ~FileDialogAnswers();
    void Answer(const QString& path) { answers_.push_back(path); }
    QList<FileDialogRequest> requests;

private:
    std::deque<QString> answers_;
};

class HelpRecorder {
public:
    HelpRecorder();
    ~HelpRecorder();
    QStringList topics;
    QStringList popups; // the texts of Shift+F1
};

// Runs `action` on the next modal widget to show (call it before exec()); fails after 10 s.
void WhenModalShows(std::function<void(QWidget* modal)> action);

// Saves `widget` as <name>.png in $VELMORA_SCREENSHOT_DIR, when it is set.
void SaveScreenshot(QWidget* widget, const QString& name);

QByteArray ReadAll(const QString& path);
void WriteAll(const QString& path, const QByteArray& bytes);

// The cell `ref` ("B9") of the n-th sheet (from 1) of a workbook, as stored; "" when none.
QString WorkbookCell(const QString& path, int sheet, const QString& ref);

// What `program` writes on stdout; fails the test when it does not run or fails.
QString Output(const QString& program, const QStringList& arguments);
// The text of a PDF file as pdftotext lays it out (-layout), pages apart by form feeds; fails the
// test when pdftotext does not run.
QString PdfText(const QString& path);
// The page count pdfinfo reads in a PDF file; -1 when it reads none.
int PdfPages(const QString& path);

// The 24 results on the form in velmora-cli compute's order; `overlays`: "Excluded" shows.
QStringList ResultCells(const ComputedCostsForm& form, bool overlays = true);

} // namespace velmora::test
