#pragma once

// The Open and Save As dialogs of the program, behind one seam that tests can answer.

#include <QString>
#include <functional>

class QWidget;

namespace velmora {

struct FileDialogRequest {
    bool save = false;   // Save As rather than Open
    QString caption;     // empty: the platform's own
    QString initialName; // proposed file name (Save As)
    QString filter;      // entries separated by ";;", e.g. "Velmora Files (*.vlm);;All Files (*)"
};

// The chosen path, or an empty string when the user cancelled.
QString AskFileName(QWidget* parent, const FileDialogRequest& request);

// True when nothing is at `path`, or when the user agrees to replace the file there; the
// question goes under `caption`, with No as its default.
bool MayReplace(QWidget* parent, const QString& path, const QString& caption);

// While a hook is set it answers every file dialog. An empty hook restores the real dialogs.
using FileDialogHook = std::function<QString(const FileDialogRequest&)>;
void SetFileDialogHook(FileDialogHook hook);

} // namespace velmora
