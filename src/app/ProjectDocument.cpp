#include "app/ProjectDocument.h"

#include "gui/SaveBytes.h"
#include "model/ProjectFile.h"
#include "model/SavedFields.h"
#include "planner/PlannerSettings.h"
#include "risk/RiskDefinitions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace velmora {

void ProjectDocument::New() {
    riskResults_.reset();
    SetPath({});
    SetModified(false);
    emit projectReplaced();
}

QString ProjectDocument::Open(const QString& path) {
    const QString native = QDir::toNativeSeparators(path);
    const auto cannotOpen = [&](const QString& reason) {
        return QStringLiteral("Cannot open %1.\n%2").arg(native, reason);
    };
    // Opening a pipe would wait for a writer, and a device never ends: only a regular file of a
    // project file's size is opened, and no more of it is read than that, should it grow.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) return cannotOpen(QStringLiteral("It is not a file."));
    if (info.size() > qint64(kMaxProjectFileBytes))
        return cannotOpen(
            QStringLiteral("It is larger than %1 MiB, far more than a project file holds.")
                .arg(kMaxProjectFileBytes >> 20));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return cannotOpen(file.errorString());
    const QByteArray bytes = file.read(qint64(kMaxProjectFileBytes));
    if (file.error() != QFileDevice::NoError)
        return QStringLiteral("Cannot read %1.\n%2").arg(native, file.errorString());
    DecodeResult result = risk::DecodeProjectAndDefinitions(bytes.toStdString(), project_);
    planner::DropUnreadableSettings(project_, result);
    if (!result.ok())
        return QStringLiteral("Cannot open %1 as a Velmora project.\n%2")
            .arg(native, QString::fromStdString(result.message));
    riskResults_.reset();
    SetPath(path);
    SetModified(false);
    emit projectReplaced();
    if (!result.warning.empty())
        emit openedWithLoss(QStringLiteral("%1 was opened, but part of it could not be read and "
                                           "was left out.\n%2")
                                .arg(native, QString::fromStdString(result.warning)));
    return {};
}

QString ProjectDocument::Save(const QString& path) {
    const EncodedProject encoded = EncodeProject(project_);
    const QString reason =
        encoded.ok() ? SaveBytes(path, encoded.bytes)
                     : QStringLiteral("The field %1 holds a character that a project file cannot "
                                      "hold.")
                           .arg(QString::fromStdString(encoded.unencodableField));
    if (!reason.isEmpty())
        return QStringLiteral("Cannot save %1.\n%2").arg(QDir::toNativeSeparators(path), reason);
    SetPath(path);
    SetModified(false);
    return {};
}

const RiskResults* ProjectDocument::CurrentRiskResults() const {
    return riskResults_ && SameSavedFields(riskResults_->project, project_) ? &*riskResults_
                                                                            : nullptr;
}

QString ProjectDocument::Title() const {
    return path_.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(path_).fileName();
}

void ProjectDocument::SetModified(bool modified) {
    if (modified_ == modified) return;
    modified_ = modified;
    emit modifiedChanged(modified);
}

void ProjectDocument::SetPath(const QString& path) {
    path_ = path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
    emit pathChanged();
}

} // namespace velmora
