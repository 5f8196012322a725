#pragma once

// The main window: menus, keys, toolbar and status bar around the command form; the file
// commands that replace or store the project, with their questions; the recent-file list and
// its settings; the command line.

#include "app/ProjectDocument.h"

#include <QMainWindow>
#include <QStringList>
#include <array>

class QLabel;
class QToolBar;

namespace velmora {

class CommandForm;

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kRecentFiles = 4;

    struct Actions {
        QAction* newFile;
        QAction* open;
        QAction* save;
        QAction* saveAs;
        QAction* exportWorkbook;
        QAction* exportPdf;
        QAction* print;
        QAction* exit;
        std::array<QAction*, kRecentFiles> recent;
        QAction* undo;
        QAction* cut;
        QAction* copy;
        QAction* paste;
        QAction* toolBar;
        QAction* statusBar;
        QAction* riskAnalysis;
        QAction* costCharts;
        QAction* workZonePlanner;
        QAction* helpTopics;
        QAction* about;
        QAction* contextHelp;
        QAction* help;
        QAction* nextPane;
        QAction* previousPane;
    };

    MainWindow();
    ~MainWindow() override;

    // The command line, program name left out: nothing, a project file, or "/p FILE" to print
    // it and end. False when the program has nothing more to do; ExitCode() says how it ended.
    bool Start(const QStringList& arguments);
    int ExitCode() const { return exitCode_; }

    ProjectDocument& Document() { return document_; }
    CommandForm* Form() const { return form_; }
    QToolBar* ToolBar() const { return toolBar_; }
    const Actions& Commands() const { return actions_; }
    const QStringList& RecentFiles() const { return recentFiles_; }

    // Opens `path` in place of the current project, after asking to save a modified one.
    bool OpenFile(const QString& path);
    // Opens an example as an untitled project, so that Save asks for a name of its own and never
    // writes over the installed file; the recent-file list is left alone for the same reason.
    bool OpenExample(const QString& path);

public slots:
    void NewFile();
    void AskAndOpenFile();
    // Save: to the project's own file, or a name asked for first when it has none.
    bool Save();
    bool SaveAs();
    void ShowAbout();
    void OnRiskAnalysis();
    // Cost Charts: the charts of a Compute Costs run on a copy of the project.
    void OnCostCharts();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void UpdateCaption();

    // Saves to `path`, or to a name asked for when it is empty; a failure is reported.
    bool SaveTo(QString path);
    // After Open or Save: the error shown, or the file put first on the recent list.
    bool FinishFileCommand(const QString& error);
    QString AskSaveAsName();
    // Before the project is replaced or the program ends: asks whether to save a modified
    // project. False when the user cancelled or the save failed.
    bool MayDiscardChanges();

    // A recent-file entry: opens its file, and drops the entry when the file is gone.
    void OpenRecentFile(int k);
    void AddToRecentFiles(const QString& path);
    void ShowRecentFiles();
    void LoadRecentFiles();
    void SaveRecentFiles() const;

    ProjectDocument document_;
    CommandForm* form_;
    Actions actions_{};
    QToolBar* toolBar_ = nullptr;
    QAction* recentPlaceholder_ = nullptr;
    QStringList recentFiles_;
    // CAP, NUM and SCRL, lit while their lock key is on.
    std::array<QLabel*, 3> indicators_{};
    int exitCode_ = 0;
};

} // namespace velmora
