#include "CMainFrame.h"

#include "CVelmoraApp.h"
#include "CVelmoraDoc.h"
#include "CVelmoraView.h"
#include "Help.h"
#include "LockKeys.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QWhatsThis>

namespace velmora {

namespace {

// The string table of the commands: menu text, then the status-bar prompt and the tooltip
// separated by "\n", then the keys and the toolbar image.
struct CommandText {
    int command;
    const char* text;
    const char* prompt;
    const char* keys; // QKeySequence list, "; " between alternatives
    const char* icon;
};

constexpr CommandText kCommands[] = {
    {ID_FILE_NEW, "&New", "Create a new document\nNew", "Ctrl+N", nullptr},
    {ID_FILE_OPEN, "&Open...", "Open an existing file\nOpen", "Ctrl+O", "open"},
    {ID_FILE_SAVE, "&Save", "Save the active file\nSave", "Ctrl+S", "save"},
    {ID_FILE_SAVE_AS, "Save &As...", "Save the active file with a new name\nSave As", "", "saveas"},
    {ID_FILE_PRINT, "&Print...", "Print the active document\nPrint", "Ctrl+P", nullptr},
    {ID_APP_EXIT, "E&xit", "Quit the application; prompts to save documents\nExit", "", nullptr},
    {ID_EDIT_UNDO, "&Undo", "Undo the last action\nUndo", "Ctrl+Z; Alt+Backspace", nullptr},
    {ID_EDIT_CUT, "Cu&t", "Cut the selection and put it on the Clipboard\nCut", "Ctrl+X; Shift+Del",
     "cut"},
    {ID_EDIT_COPY, "&Copy", "Copy the selection and put it on the Clipboard\nCopy",
     "Ctrl+C; Ctrl+Ins", "copy"},
    {ID_EDIT_PASTE, "&Paste", "Insert Clipboard contents\nPaste", "Ctrl+V; Shift+Ins", "paste"},
    {ID_VIEW_STATUS_BAR, "&Status Bar", "Show or hide the status bar\nToggle StatusBar", "",
     nullptr},
    {ID_HELP_FINDER, "&Help Topics", "List Help topics\nHelp Topics", "", nullptr},
    {ID_APP_ABOUT, "&About Velmora...",
     "Display program information, version number and copyright\nAbout", "", "about"},
    {ID_CONTEXT_HELP, "Help", "Display help for clicked on buttons, menus and windows\nHelp",
     "Shift+F1", "contexthelp"},
    {ID_HELP, "Help", "Display help for current task or command\nHelp", "F1", nullptr},
    {ID_NEXT_PANE, "Next Pane", "Switch to the next window pane\nNext Pane", "F6", nullptr},
    {ID_PREV_PANE, "Previous Pane", "Switch back to the previous window pane\nPrevious Pane",
     "Shift+F6", nullptr},
};

// Commands the program has no handler for: shown, but disabled.
constexpr int kUnhandled[] = {ID_EDIT_UNDO, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE};

void SetPrompt(QAction* action, const QString& prompt) {
    const qsizetype newline = prompt.indexOf('\n');
    action->setStatusTip(prompt.left(newline));
    if (newline >= 0) action->setToolTip(prompt.mid(newline + 1));
}

const QString kIdlePrompt = QStringLiteral("For Help, press F1");
const QString kContextHelpPrompt = QStringLiteral("Select an object on which to get Help");

// The recent-file entry as the menu shows it: the bare name for a file in the working folder,
// the full path otherwise; an "&" doubled, which the menu would otherwise take for the mark of
// the entry's key.
QString MenuName(const QString& path) {
    const QFileInfo info(path);
    return QDir::toNativeSeparators(info.absolutePath() == QDir::currentPath() ? info.fileName()
                                                                               : path)
        .replace(u'&', QStringLiteral("&&"));
}

} // namespace

CMainFrame::CMainFrame(CVelmoraApp& app, CVelmoraDoc& document)
    : app_(app), document_(document), view_(new CVelmoraView(document, this)) {
    setCentralWidget(view_);
    setWindowIcon(QIcon(":/icons/velmora.png"));
}

void CMainFrame::OnCreate() {
    for (const CommandText& command : kCommands) AddAction(command.command);
    for (int command : kUnhandled) Action(command)->setEnabled(false);
    CreateToolBar();
    CreateStatusBar();
    CreateMenus();
    // Keys without a menu item still need their action on the window.
    addActions(actions_.values());
    UpdateRecentFileMenu({});
    connect(&document_, &CVelmoraDoc::titleChanged, this, &CMainFrame::OnUpdateFrameTitle);
    connect(&document_, &CVelmoraDoc::modifiedChanged, this, &CMainFrame::OnUpdateFrameTitle);
    OnUpdateFrameTitle();
    qApp->installEventFilter(this);
    resize(sizeHint());
}

QAction* CMainFrame::AddAction(int command) {
    for (const CommandText& text : kCommands) {
        if (text.command != command) continue;
        auto* action = new QAction(QString::fromLatin1(text.text), this);
        SetPrompt(action, QString::fromLatin1(text.prompt));
        action->setShortcuts(QKeySequence::listFromString(QString::fromLatin1(text.keys),
                                                          QKeySequence::PortableText));
        if (text.icon) action->setIcon(QIcon(QString(":/icons/%1.png").arg(text.icon)));
        action->setIconVisibleInMenu(false);
        connect(action, &QAction::triggered, this, [this, command] { OnCommand(command); });
        actions_.insert(command, action);
        return action;
    }
    return nullptr;
}

QAction* CMainFrame::Action(int command) const {
    return actions_.value(command);
}

void CMainFrame::CreateMenus() {
    fileMenu_ = menuBar()->addMenu("&File");
    fileMenu_->addActions({Action(ID_FILE_OPEN), Action(ID_FILE_SAVE), Action(ID_FILE_SAVE_AS)});
    fileMenu_->addSeparator();
    recentPlaceholder_ = fileMenu_->addAction("Recent File");
    recentPlaceholder_->setEnabled(false);
    for (int k = 0; k < kRecentFiles; ++k) {
        QAction* entry = fileMenu_->addAction(QString());
        entry->setStatusTip("Open this document");
        connect(entry, &QAction::triggered, this, [this, k] {
            if (k < recentPaths_.size()) app_.OnOpenRecentFile(recentPaths_[k]);
        });
        recentActions_[k] = entry;
        actions_.insert(ID_FILE_MRU_FILE1 + k, entry);
    }
    fileMenu_->addSeparator();
    fileMenu_->addAction(Action(ID_APP_EXIT));

    QMenu* edit = menuBar()->addMenu("&Edit");
    edit->addAction(Action(ID_EDIT_UNDO));
    edit->addSeparator();
    edit->addActions({Action(ID_EDIT_CUT), Action(ID_EDIT_COPY), Action(ID_EDIT_PASTE)});

    QMenu* view = menuBar()->addMenu("&View");
    view->addActions({Action(ID_VIEW_TOOLBAR), Action(ID_VIEW_STATUS_BAR)});

    QMenu* help = menuBar()->addMenu("&Help");
    help->addAction(Action(ID_HELP_FINDER));
    help->addSeparator();
    help->addAction(Action(ID_APP_ABOUT));
}

void CMainFrame::CreateToolBar() {
    toolBar_ = new QToolBar("Toolbar", this);
    toolBar_->setObjectName("toolbar");
    toolBar_->setIconSize(QSize(16, 16));
    toolBar_->setMovable(true);
    toolBar_->setFloatable(true);
    toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
    toolBar_->addActions({Action(ID_FILE_OPEN), Action(ID_FILE_SAVE), Action(ID_FILE_SAVE_AS)});
    toolBar_->addSeparator();
    toolBar_->addActions({Action(ID_EDIT_CUT), Action(ID_EDIT_COPY), Action(ID_EDIT_PASTE)});
    toolBar_->addSeparator();
    toolBar_->addActions({Action(ID_APP_ABOUT), Action(ID_CONTEXT_HELP)});
    addToolBar(Qt::TopToolBarArea, toolBar_);

    // The toolbar's own toggle keeps its check mark true however the bar was hidden.
    QAction* toggle = toolBar_->toggleViewAction();
    toggle->setText("&Toolbar");
    SetPrompt(toggle, "Show or hide the toolbar\nToggle ToolBar");
    actions_.insert(ID_VIEW_TOOLBAR, toggle);
}

void CMainFrame::CreateStatusBar() {
    // A normal widget: the status bar hides it while a prompt is shown and brings it back after.
    statusBar()->addWidget(new QLabel(kIdlePrompt), 1);
    const char* names[] = {"CAP", "NUM", "SCRL"};
    for (int k = 0; k < 3; ++k) {
        auto* indicator = new QLabel(names[k]);
        indicator->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        indicator->setAlignment(Qt::AlignCenter);
        indicator->setMinimumWidth(indicator->fontMetrics().horizontalAdvance("SCRL") + 8);
        statusBar()->addPermanentWidget(indicator);
        indicators_[k] = indicator;
    }
    const std::optional<std::array<bool, 3>> locks = LockKeyStates();
    for (int k = 0; k < 3; ++k) indicators_[k]->setEnabled(locks && (*locks)[k]);
    QAction* toggle = Action(ID_VIEW_STATUS_BAR);
    toggle->setCheckable(true);
    toggle->setChecked(true);
}

void CMainFrame::OnCommand(int command) {
    switch (command) {
    case ID_FILE_NEW:
        app_.OnFileNew();
        break;
    case ID_FILE_OPEN:
        app_.OnFileOpen();
        break;
    case ID_FILE_SAVE:
        document_.DoFileSave();
        break;
    case ID_FILE_SAVE_AS:
        document_.DoSave(QString());
        break;
    case ID_FILE_PRINT:
        view_->OnFilePrint();
        break;
    case ID_APP_EXIT:
        close();
        break;
    case ID_VIEW_STATUS_BAR:
        statusBar()->setVisible(Action(command)->isChecked());
        break;
    case ID_HELP_FINDER:
        ShowHelpTopic("index");
        break;
    case ID_APP_ABOUT:
        app_.OnAppAbout();
        break;
    case ID_CONTEXT_HELP:
        OnContextHelp();
        break;
    case ID_HELP:
        ShowHelpTopic("command-form");
        break;
    default:
        break; // the form has no panes to switch between
    }
}

void CMainFrame::OnContextHelp() {
    QWhatsThis::enterWhatsThisMode();
}

void CMainFrame::UpdateRecentFileMenu(const QStringList& paths) {
    recentPaths_ = paths.mid(0, kRecentFiles);
    recentPlaceholder_->setVisible(recentPaths_.isEmpty());
    for (int k = 0; k < kRecentFiles; ++k) {
        QAction* entry = recentActions_[k];
        entry->setVisible(k < recentPaths_.size());
        if (k < recentPaths_.size())
            entry->setText(QString("&%1 %2").arg(k + 1).arg(MenuName(recentPaths_[k])));
    }
}

void CMainFrame::OnUpdateFrameTitle() {
    setWindowTitle(document_.GetTitle() + "[*] - Velmora");
    setWindowModified(document_.IsModified());
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!document_.SaveModified()) {
        event->ignore();
        return;
    }
    app_.SaveStdProfileSettings();
    event->accept();
}

bool CMainFrame::event(QEvent* event) {
    if (event->type() == QEvent::EnterWhatsThisMode)
        statusBar()->showMessage(kContextHelpPrompt);
    else if (event->type() == QEvent::LeaveWhatsThisMode)
        statusBar()->clearMessage();
    return QMainWindow::event(event);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    // Key events are seen once, where they reach a window; activation covers lock keys pressed
    // while another program had the keyboard.
    const QEvent::Type type = event->type();
    if (watched->isWindowType() &&
        (type == QEvent::KeyPress || type == QEvent::KeyRelease || type == QEvent::FocusIn)) {
        const std::optional<std::array<bool, 3>> locks = LockKeyStates();
        if (locks) {
            for (int k = 0; k < 3; ++k) indicators_[k]->setEnabled((*locks)[k]);
        } else if (type == QEvent::KeyPress) {
            // Without a way to ask the keyboard, follow the lock keys as they are pressed.
            const auto* key = static_cast<QKeyEvent*>(event);
            const int lockKeys[] = {Qt::Key_CapsLock, Qt::Key_NumLock, Qt::Key_ScrollLock};
            for (int k = 0; k < 3; ++k)
                if (key->key() == lockKeys[k] && !key->isAutoRepeat())
                    indicators_[k]->setEnabled(!indicators_[k]->isEnabled());
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace velmora
