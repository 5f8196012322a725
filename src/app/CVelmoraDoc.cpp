#include "CVelmoraDoc.h"

#include "CVelmoraView.h"
#include "FileDialog.h"
#include "MessageBox.h"
#include "SaveFile.h"
#include "model/ProjectFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace velmora {

const QString CVelmoraDoc::kFilter = QStringLiteral("Velmora Files (*.vlm);;All Files (*)");

namespace {
const QString kCaption = QStringLiteral("Velmora");

QString Native(const QString& path) {
    return QDir::toNativeSeparators(path);
}
} // namespace

void CVelmoraDoc::Serialize(ProjectArchive& archive) {
    view_->Serialize(archive);
}

bool CVelmoraDoc::OnNewDocument() {
    SetPathName(QString());
    SetModifiedFlag(false);
    return true;
}

bool CVelmoraDoc::OnOpenDocument(const QString& path) {
    const auto cannotOpen = [&](const QString& reason) {
        ShowMessage(view_, QString("Cannot open %1.\n%2").arg(Native(path), reason), kCaption);
        return false;
    };
    // Opening a pipe would wait for a writer, and a device never ends: only a regular file of a
    // project file's size is opened, and no more of it is read than that, should it grow.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) return cannotOpen("It is not a file.");
    if (info.size() > qint64(kMaxProjectFileBytes))
        return cannotOpen(QString("It is larger than %1 MiB, far more than a project file holds.")
                              .arg(kMaxProjectFileBytes >> 20));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return cannotOpen(file.errorString());
    const QByteArray bytes = file.read(qint64(kMaxProjectFileBytes));
    if (file.error() != QFileDevice::NoError) {
        ShowMessage(view_, QString("Cannot read %1.\n%2").arg(Native(path), file.errorString()),
                    kCaption);
        return false;
    }
    ProjectArchive archive{.storing = false, .bytes = bytes.toStdString(), .error = {}};
    Serialize(archive);
    if (!archive.error.isEmpty()) {
        ShowMessage(
            view_,
            QString("Cannot open %1 as a Velmora project.\n%2").arg(Native(path), archive.error),
            kCaption);
        return false;
    }
    SetPathName(path);
    SetModifiedFlag(false);
    return true;
}

bool CVelmoraDoc::OnSaveDocument(const QString& path) {
    ProjectArchive archive{.storing = true, .bytes = {}, .error = {}};
    Serialize(archive);
    const QString reason = archive.error.isEmpty() ? SaveBytes(path, archive.bytes) : archive.error;
    if (!reason.isEmpty()) {
        ShowMessage(view_, QString("Cannot save %1.\n%2").arg(Native(path), reason), kCaption);
        return false;
    }
    SetPathName(path);
    SetModifiedFlag(false);
    return true;
}

QString CVelmoraDoc::AskSaveAsName() const {
    FileDialogRequest request;
    request.save = true;
    request.initialName = pathName_.isEmpty() ? GetTitle() + ".vlm" : pathName_;
    request.filter = kFilter;
    for (;;) {
        QString path = AskFileName(view_ ? view_->window() : nullptr, request);
        if (path.isEmpty()) return path;
        if (QFileInfo(path).suffix().isEmpty()) path += ".vlm";
        if (MayReplace(view_, path, "Save As")) return path;
        request.initialName = path;
    }
}

bool CVelmoraDoc::DoFileSave() {
    return DoSave(pathName_);
}

bool CVelmoraDoc::DoSave(QString path) {
    if (path.isEmpty()) path = AskSaveAsName();
    return !path.isEmpty() && OnSaveDocument(path);
}

bool CVelmoraDoc::SaveModified() {
    if (!modified_) return true;
    switch (ShowMessage(
        view_, QString("Save changes to %1?").arg(GetTitle()), kCaption, QMessageBox::Warning,
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes)) {
    case QMessageBox::Yes:
        return DoFileSave();
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

void CVelmoraDoc::SetModifiedFlag(bool modified) {
    if (modified_ == modified) return;
    modified_ = modified;
    emit modifiedChanged(modified);
}

QString CVelmoraDoc::GetTitle() const {
    return pathName_.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(pathName_).fileName();
}

void CVelmoraDoc::SetPathName(const QString& path) {
    pathName_ = path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
    emit titleChanged();
    if (!pathName_.isEmpty()) emit fileUsed(pathName_);
}

} // namespace velmora
