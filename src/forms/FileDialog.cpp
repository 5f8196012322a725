#include "FileDialog.h"

#include <QFileDialog>

namespace velmora {
namespace {
FileDialogHook& Hook() {
    static FileDialogHook hook;
    return hook;
}
} // namespace

QString AskFileName(QWidget* parent, const FileDialogRequest& request) {
    if (Hook()) return Hook()(request);
    if (request.save) {
        // The caller decides about extensions and replacing files; the dialog only asks.
        return QFileDialog::getSaveFileName(parent, request.caption, request.initialName,
                                            request.filter, nullptr,
                                            QFileDialog::DontConfirmOverwrite);
    }
    return QFileDialog::getOpenFileName(parent, request.caption, QString(), request.filter);
}

void SetFileDialogHook(FileDialogHook hook) {
    Hook() = std::move(hook);
}

} // namespace velmora
