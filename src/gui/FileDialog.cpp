#include "gui/FileDialog.h"

#include "gui/MessageBox.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

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

bool MayReplace(QWidget* parent, const QString& path, const QString& caption) {
    // A folder is not replaced: writing to it fails, and says so.
    const QFileInfo info(path);
    return !info.exists() || info.isDir() ||
           ShowMessage(parent,
                       QStringLiteral("%1 already exists.\nDo you want to replace it?")
                           .arg(QDir::toNativeSeparators(path)),
                       caption, QMessageBox::Warning, QMessageBox::Yes | QMessageBox::No,
                       QMessageBox::No) == QMessageBox::Yes;
}

void SetFileDialogHook(FileDialogHook hook) {
    Hook() = std::move(hook);
}

} // namespace velmora
