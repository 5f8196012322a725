#pragma once

// The main window: menus, keys, toolbar and status bar around the command form.

#include <QHash>
#include <QMainWindow>
#include <QStringList>
#include <array>

class QLabel;
class QToolBar;

namespace velmora {

class CVelmoraApp;
class CVelmoraDoc;
class CVelmoraView;

// The program's commands, numbered as their string-table prompts are.
enum Command : int {
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_FILE_PRINT = 57607,
    ID_FILE_MRU_FILE1 = 57616,
    ID_EDIT_COPY = 57634,
    ID_EDIT_CUT = 57635,
    ID_EDIT_PASTE = 57637,
    ID_EDIT_UNDO = 57643,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_HELP_FINDER = 57667,
    ID_CONTEXT_HELP = 57669,
    ID_HELP = 57670,
    ID_NEXT_PANE = 57680,
    ID_PREV_PANE = 57681,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
};

class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    CMainFrame(CVelmoraApp& app, CVelmoraDoc& document);

    // Menus, keys, toolbar and status bar, then the caption of the current document.
    void OnCreate();

    CVelmoraView* View() const { return view_; }
    QToolBar* ToolBar() const { return toolBar_; }
    // The action of a command; the recent-file entries are ID_FILE_MRU_FILE1 + 0 to 3.
    QAction* Action(int command) const;

    void UpdateRecentFileMenu(const QStringList& paths);
    // Caption "NAME - Velmora", with the modified mark when there are unsaved changes.
    void OnUpdateFrameTitle();
    void OnContextHelp();

    static constexpr int kRecentFiles = 4;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* AddAction(int command);
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void OnCommand(int command);

    CVelmoraApp& app_;
    CVelmoraDoc& document_;
    CVelmoraView* view_;
    QToolBar* toolBar_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QAction* recentPlaceholder_ = nullptr;
    std::array<QAction*, kRecentFiles> recentActions_{};
    QStringList recentPaths_;
    QHash<int, QAction*> actions_;
    // CAP, NUM and SCRL, lit while their lock key is on.
    std::array<QLabel*, 3> indicators_{};
};

} // namespace velmora
