#pragma once

// The open project: its record, the file it belongs to and whether it has unsaved changes. Open
// and save return the reason of a failure as the text the user is shown; asking the user
// anything is the main window's business.

#include "model/ProjectData.h"
#include "views/RiskAnalysisWindow.h"

#include <QObject>
#include <QString>

namespace velmora {

class ProjectDocument : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    ProjectData& Project() { return project_; }
    const ProjectData& Project() const { return project_; }

    // An untitled project without changes; the record keeps its values.
    void New();
    // Reads `path` into the record. A file that cannot be read changes nothing; the text names
    // the file and the fault. Empty on success.
    QString Open(const QString& path);
    // Writes the record to `path` through a temporary file. A failed write leaves the previous
    // file, the path and the modified state as they were. Empty on success.
    QString Save(const QString& path);

    // Absolute, or empty for a project never saved.
    QString Path() const { return path_; }
    // The file name shown in the caption and in messages ("Untitled" for a new project).
    QString Title() const;
    bool IsModified() const { return modified_; }
    void SetModified(bool modified);

    // The last risk analysis run, kept while the project is the one it ran on; New and Open
    // drop it.
    std::optional<RiskResults>& LastRiskResults() { return riskResults_; }
    // The last run when it still describes the record as it stands, or null.
    const RiskResults* CurrentRiskResults() const;

signals:
    void pathChanged();
    void modifiedChanged(bool modified);
    // After New or a successful Open: the record is another project's.
    void projectReplaced();
    // A project opened, but part of its file was damaged and left out; `text` says which.
    void openedWithLoss(const QString& text);

private:
    void SetPath(const QString& path);

    ProjectData project_;
    QString path_;
    bool modified_ = false;
    std::optional<RiskResults> riskResults_;
};

} // namespace velmora
