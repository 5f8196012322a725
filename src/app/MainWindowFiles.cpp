// The main window's file commands: New, Open, an example, Save, Save As, and the question
// before a modified project is replaced or closed.
#include "app/MainWindow.h"

#include "app/ExampleProjects.h"
#include "gui/FileDialog.h"
#include "gui/MessageBox.h"

#include <QDir>
#include <QFileInfo>

namespace velmora {
namespace {

const QString kCaption = QStringLiteral("Velmora");
const QString kFilter = QStringLiteral("Velmora Files (*.vlm);;All Files (*)");

} // namespace

void MainWindow::NewFile() {
    if (MayDiscardChanges()) document_.New();
}

void MainWindow::AskAndOpenFile() {
    const QString path =
        AskFileName(this, {.save = false, .caption = {}, .initialName = {}, .filter = kFilter});
    if (!path.isEmpty()) OpenFile(path);
}

bool MainWindow::OpenFile(const QString& path) {
    return MayDiscardChanges() && FinishFileCommand(document_.Open(path));
}

bool MainWindow::OpenExample(const QString& path) {
    if (!MayDiscardChanges()) return false;
    if (const QString error = document_.Open(path); !error.isEmpty()) {
        ShowMessage(this, error, kCaption);
        return false;
    }
    document_.New();
    return true;
}

bool MainWindow::FinishFileCommand(const QString& error) {
    if (!error.isEmpty()) {
        ShowMessage(this, error, kCaption);
        return false;
    }
    AddToRecentFiles(document_.Path());
    return true;
}

bool MainWindow::Save() {
    return SaveTo(document_.Path());
}

bool MainWindow::SaveAs() {
    return SaveTo({});
}

bool MainWindow::SaveTo(QString path) {
    if (path.isEmpty()) path = AskSaveAsName();
    return !path.isEmpty() && FinishFileCommand(document_.Save(path));
}

QString MainWindow::AskSaveAsName() {
    FileDialogRequest request;
    request.save = true;
    request.initialName =
        document_.Path().isEmpty() ? document_.Title() + ".vlm" : document_.Path();
    request.filter = kFilter;
    for (;;) {
        QString path = AskFileName(this, request);
        if (path.isEmpty()) return path;
        if (QFileInfo(path).suffix().isEmpty()) path += ".vlm";
        if (MayReplace(this, path, "Save As")) return path;
        request.initialName = path;
    }
}

bool MainWindow::MayDiscardChanges() {
    if (!document_.IsModified()) return true;
    switch (ShowMessage(
        this, QString("Save changes to %1?").arg(document_.Title()), kCaption, QMessageBox::Warning,
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes)) {
    case QMessageBox::Yes:
        return Save();
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

} // namespace velmora
