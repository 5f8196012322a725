#pragma once

// The application: start-up, the command line, the file commands that replace the project, the
// recent-file list and its settings, and the About box.

#include <QStringList>
#include <memory>

namespace velmora {

class CMainFrame;
class CVelmoraDoc;
class CVelmoraView;

class CVelmoraApp {
public:
    CVelmoraApp();
    ~CVelmoraApp();

    // Creates the QApplication, starts up and runs the message loop until Exit.
    static int Run(int argc, char** argv);

    // Start-up with the command line (program name left out): nothing, a project file, "/p FILE"
    // to print it and end. False when the program has nothing more to do; ExitCode() says how
    // it ended.
    bool InitInstance(const QStringList& arguments);
    int ExitCode() const { return exitCode_; }
    // "--quit-after-show": end as soon as the window is on the screen, to time start-up.
    bool QuitAfterShow() const { return quitAfterShow_; }

    CMainFrame* MainFrame() const { return frame_.get(); }
    CVelmoraDoc& Document() const { return *document_; }
    CVelmoraView& View() const;

    void OnFileNew();
    void OnFileOpen();
    // Opens `path` in place of the current project, after asking to save a modified one.
    bool OpenDocumentFile(const QString& path);
    // A recent-file entry: opens its file, and drops the entry when the file is gone.
    void OnOpenRecentFile(const QString& path);
    void OnAppAbout();

    const QStringList& RecentFiles() const { return recentFiles_; }
    void AddToRecentFileList(const QString& path);
    void SaveStdProfileSettings() const;

    static constexpr int kRecentFiles = 4;

private:
    void LoadStdProfileSettings();

    // Declared before the frame so that the frame, and the view that points at the document,
    // go first.
    std::unique_ptr<CVelmoraDoc> document_;
    std::unique_ptr<CMainFrame> frame_;
    QStringList recentFiles_;
    int exitCode_ = 0;
    bool quitAfterShow_ = false;
};

} // namespace velmora
