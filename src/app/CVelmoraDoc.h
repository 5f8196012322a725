#pragma once

// The one document of the program. It holds no project data: the record lives in the view, and
// the document decides about the file it belongs to, whether it has unsaved changes, and how
// opening and saving are reported.

#include <QObject>
#include <QString>
#include <string>

namespace velmora {

class CVelmoraView;

// What goes between the document and the view when a project is stored or loaded: the bytes of
// the project file, and why they could not be made or read.
struct ProjectArchive {
    bool storing = false;
    std::string bytes;
    QString error; // empty on success
};

class CVelmoraDoc : public QObject {
    Q_OBJECT

public:
    void SetView(CVelmoraView* view) { view_ = view; }
    CVelmoraView* GetFirstView() const { return view_; }

    // The record belongs to the view; the document only hands the archive on.
    void Serialize(ProjectArchive& archive);

    // An untitled document without changes; the record keeps its values.
    bool OnNewDocument();
    // Reads `path` into the record. A file that cannot be read is reported, naming the file and
    // the fault, and changes nothing.
    bool OnOpenDocument(const QString& path);
    // Writes the record to `path` through a temporary file. A failed write is reported and
    // leaves the previous file, the document's name and its modified state as they were.
    bool OnSaveDocument(const QString& path);

    // Save: the document's own file, or a name asked for first when it has none.
    bool DoFileSave();
    // Save As (empty `path`) or Save to a known file.
    bool DoSave(QString path);
    // Before the project is replaced or the program ends: asks whether to save a modified
    // project. False when the user cancelled or the save failed.
    bool SaveModified();

    bool IsModified() const { return modified_; }
    void SetModifiedFlag(bool modified = true);

    QString GetPathName() const { return pathName_; }
    // The file name shown in the caption and in messages ("Untitled" for a new project).
    QString GetTitle() const;
    void SetPathName(const QString& path);

    static const QString kFilter;

signals:
    void titleChanged();
    void modifiedChanged(bool modified);
    // A file the document was opened from or saved to, for the recent-file list.
    void fileUsed(const QString& path);

private:
    QString AskSaveAsName() const;

    CVelmoraView* view_ = nullptr;
    QString pathName_;
    bool modified_ = false;
};

} // namespace velmora
