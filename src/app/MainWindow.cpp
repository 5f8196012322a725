#include "app/MainWindow.h"

#include "app/AboutDialog.h"
#include "app/CommandForm.h"
#include "app/ExampleProjects.h"
#include "app/HelpWindow.h"
#include "app/LockKeys.h"
#include "gui/FileDialog.h"
#include "gui/Help.h"
#include "gui/MessageBox.h"
#include "gui/WindowGeometry.h"
#include "views/CostChartsForm.h"
#include "views/ProjectExport.h"
#include "views/RiskAnalysisWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>
#include <QWhatsThis>

namespace velmora {

namespace {

const QString kCaption = QStringLiteral("Velmora");
const QString kIdlePrompt = QStringLiteral("For Help, press F1");
const QString kContextHelpPrompt = QStringLiteral("Select an object on which to get Help");

// The status-bar prompt before "\n", the tool tip after it.
void SetPrompt(QAction* action, const QString& prompt) {
    const qsizetype newline = prompt.indexOf('\n');
    action->setStatusTip(prompt.left(newline));
    if (newline >= 0) action->setToolTip(prompt.mid(newline + 1));
}

// `keys` lists alternatives with "; " between them.
QAction* MakeAction(QObject* parent, const char* text, const char* prompt, const char* keys = "",
                    const char* icon = nullptr) {
    auto* action = new QAction(QString::fromLatin1(text), parent);
    SetPrompt(action, QString::fromLatin1(prompt));
    action->setShortcuts(
        QKeySequence::listFromString(QString::fromLatin1(keys), QKeySequence::PortableText));
    if (icon) action->setIcon(QIcon(QStringLiteral(":/icons/%1.png").arg(icon)));
    action->setIconVisibleInMenu(false);
    return action;
}

} // namespace

MainWindow::MainWindow() : form_(new CommandForm(document_, this)) {
    setCentralWidget(form_);
    setWindowIcon(QIcon(":/icons/velmora.png"));
    LoadRecentFiles();
    CreateActions();
    CreateToolBar();
    CreateStatusBar();
    CreateMenus();
    ShowRecentFiles();
    connect(&document_, &ProjectDocument::pathChanged, this, &MainWindow::UpdateCaption);
    connect(&document_, &ProjectDocument::modifiedChanged, this, &MainWindow::UpdateCaption);
    connect(&document_, &ProjectDocument::openedWithLoss, this,
            [this](const QString& text) { ShowMessage(this, text, kCaption); });
    UpdateCaption();
    qApp->installEventFilter(this);
    RestoreGeometry(this, QStringLiteral("MainWindow"), sizeHint());
    HelpWindow::Install(this);
}

MainWindow::~MainWindow() {
    // Help requests after this point have no window to go to.
    SetHelpTopicHandler({});
}

void MainWindow::CreateActions() {
    Actions& a = actions_;
    a.newFile = MakeAction(this, "&New", "Create a new document\nNew", "Ctrl+N");
    a.open = MakeAction(this, "&Open...", "Open an existing file\nOpen", "Ctrl+O", "open");
    a.save = MakeAction(this, "&Save", "Save the active file\nSave", "Ctrl+S", "save");
    a.saveAs = MakeAction(this, "Save &As...", "Save the active file with a new name\nSave As", "",
                          "saveas");
    a.exportWorkbook =
        MakeAction(this, "Export &Workbook...",
                   "Write the inputs, the computed costs and the cash flow as a workbook\n"
                   "Export Workbook");
    a.exportPdf =
        MakeAction(this, "Export P&DF...", "Write the printed report as a PDF file\nExport PDF");
    a.print = MakeAction(this, "&Print...", "Print the active document\nPrint", "Ctrl+P");
    a.exit = MakeAction(this, "E&xit", "Quit the application; prompts to save documents\nExit");
    a.undo = MakeAction(this, "&Undo", "Undo the last action\nUndo", "Ctrl+Z; Alt+Backspace");
    a.cut = MakeAction(this, "Cu&t", "Cut the selection and put it on the Clipboard\nCut",
                       "Ctrl+X; Shift+Del", "cut");
    a.copy = MakeAction(this, "&Copy", "Copy the selection and put it on the Clipboard\nCopy",
                        "Ctrl+C; Ctrl+Ins", "copy");
    a.paste = MakeAction(this, "&Paste", "Insert Clipboard contents\nPaste", "Ctrl+V; Shift+Ins",
                         "paste");
    a.statusBar = MakeAction(this, "&Status Bar", "Show or hide the status bar\nToggle StatusBar");
    a.riskAnalysis = MakeAction(
        this, "&Risk Analysis...",
        "Define the uncertain inputs and simulate the spread of both options' costs\nRisk Analysis",
        "Ctrl+R", "risk");
    a.costCharts =
        MakeAction(this, "Cost &Charts...",
                   "Chart both options' costs by stage and their cash flows by year\nCost Charts",
                   "Ctrl+G", "charts");
    a.workZonePlanner = MakeAction(
        this, "&Work Zone Planner...",
        "Find the closure hours that cost road users least, stage by stage\nWork Zone Planner",
        "Ctrl+Shift+W", "planner");
    a.helpTopics = MakeAction(this, "&Help Topics", "List Help topics\nHelp Topics");
    a.about =
        MakeAction(this, "&About Velmora...",
                   "Display program information, version number and copyright\nAbout", "", "about");
    a.contextHelp =
        MakeAction(this, "Help", "Display help for clicked on buttons, menus and windows\nHelp",
                   "Shift+F1", "contexthelp");
    a.help = MakeAction(this, "Help", "Display help for current task or command\nHelp", "F1");
    // The command form has no panes to switch between: the keys are taken and do nothing.
    a.nextPane = MakeAction(this, "Next Pane", "Switch to the next window pane\nNext Pane", "F6");
    a.previousPane =
        MakeAction(this, "Previous Pane", "Switch back to the previous window pane\nPrevious Pane",
                   "Shift+F6");
    // Nothing to undo or cut on a form of buttons: shown, but disabled.
    for (QAction* action : {a.undo, a.cut, a.copy, a.paste}) action->setEnabled(false);

    connect(a.newFile, &QAction::triggered, this, &MainWindow::NewFile);
    connect(a.open, &QAction::triggered, this, &MainWindow::AskAndOpenFile);
    connect(a.save, &QAction::triggered, this, &MainWindow::Save);
    connect(a.saveAs, &QAction::triggered, this, &MainWindow::SaveAs);
    connect(a.exportWorkbook, &QAction::triggered, this, [this] {
        const RiskResults* risk = document_.CurrentRiskResults();
        ExportProjectWorkbook(this, document_.Project(), document_.Path(),
                              risk ? risk->analysis.get() : nullptr);
    });
    connect(a.exportPdf, &QAction::triggered, this, [this] {
        const RiskResults* risk = document_.CurrentRiskResults();
        ExportPdf(this, document_.Project(), document_.Path(),
                  risk ? risk->analysis.get() : nullptr);
    });
    connect(a.print, &QAction::triggered, form_, &CommandForm::Print);
    connect(a.exit, &QAction::triggered, this, &QWidget::close);
    connect(a.helpTopics, &QAction::triggered, this, [] { ShowHelpTopic("index"); });
    connect(a.about, &QAction::triggered, this, &MainWindow::ShowAbout);
    connect(a.riskAnalysis, &QAction::triggered, this, &MainWindow::OnRiskAnalysis);
    connect(a.costCharts, &QAction::triggered, this, &MainWindow::OnCostCharts);
    connect(a.workZonePlanner, &QAction::triggered, form_, &CommandForm::OnWorkZonePlanner);
    connect(a.contextHelp, &QAction::triggered, this, [] { QWhatsThis::enterWhatsThisMode(); });
    connect(a.help, &QAction::triggered, this, [] { ShowHelpTopic("command-form"); });
    for (int k = 0; k < kRecentFiles; ++k) {
        a.recent[k] = new QAction(this);
        a.recent[k]->setStatusTip("Open this document");
        connect(a.recent[k], &QAction::triggered, this, [this, k] { OpenRecentFile(k); });
    }
    // Keys without a menu item still need their action on the window.
    addActions({a.newFile,        a.open,         a.save,        a.saveAs,
                a.exportWorkbook, a.exportPdf,    a.print,       a.exit,
                a.undo,           a.cut,          a.copy,        a.paste,
                a.statusBar,      a.riskAnalysis, a.costCharts,  a.workZonePlanner,
                a.helpTopics,     a.about,        a.contextHelp, a.help,
                a.nextPane,       a.previousPane});
}

void MainWindow::CreateMenus() {
    const Actions& a = actions_;
    QMenu* file = menuBar()->addMenu("&File");
    file->addActions({a.open, a.save, a.saveAs});
    file->addSeparator();
    file->addActions({a.exportWorkbook, a.exportPdf});
    file->addSeparator();
    recentPlaceholder_ = file->addAction("Recent File");
    recentPlaceholder_->setEnabled(false);
    for (QAction* entry : a.recent) file->addAction(entry);
    file->addSeparator();
    file->addAction(a.exit);

    QMenu* edit = menuBar()->addMenu("&Edit");
    edit->addAction(a.undo);
    edit->addSeparator();
    edit->addActions({a.cut, a.copy, a.paste});

    menuBar()->addMenu("&View")->addActions({a.toolBar, a.statusBar});
    menuBar()->addMenu("&Analysis")->addActions({a.riskAnalysis, a.costCharts, a.workZonePlanner});

    QMenu* help = menuBar()->addMenu("&Help");
    help->addAction(a.helpTopics);
    QMenu* examples = help->addMenu("Open &Example");
    for (const ExampleProject& example : FindExampleProjects(ExampleFolders())) {
        QString text = example.title;
        QAction* entry = examples->addAction(text.replace('&', "&&"));
        entry->setStatusTip("Open this example as a new, untitled project");
        connect(entry, &QAction::triggered, this,
                [this, path = example.path] { OpenExample(path); });
    }
    examples->setEnabled(!examples->isEmpty());
    help->addSeparator();
    help->addAction(a.about);
}

void MainWindow::CreateToolBar() {
    const Actions& a = actions_;
    toolBar_ = new QToolBar("Toolbar", this);
    toolBar_->setObjectName("toolbar");
    toolBar_->setIconSize(QSize(16, 16));
    toolBar_->setMovable(true);
    toolBar_->setFloatable(true);
    toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
    toolBar_->addActions({a.open, a.save, a.saveAs});
    toolBar_->addSeparator();
    toolBar_->addActions({a.cut, a.copy, a.paste});
    toolBar_->addSeparator();
    toolBar_->addActions({a.riskAnalysis, a.costCharts, a.workZonePlanner});
    toolBar_->addSeparator();
    toolBar_->addActions({a.about, a.contextHelp});
    addToolBar(Qt::TopToolBarArea, toolBar_);

    // The toolbar's own toggle keeps its check mark true however the bar was hidden.
    actions_.toolBar = toolBar_->toggleViewAction();
    actions_.toolBar->setText("&Toolbar");
    SetPrompt(actions_.toolBar, "Show or hide the toolbar\nToggle ToolBar");
    addAction(actions_.toolBar);
}

void MainWindow::CreateStatusBar() {
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
    actions_.statusBar->setCheckable(true);
    actions_.statusBar->setChecked(true);
    connect(actions_.statusBar, &QAction::toggled, statusBar(), &QWidget::setVisible);
}

bool MainWindow::Start(const QStringList& arguments) {
    bool print = false;
    QString file;
    for (const QString& argument : arguments) {
        if (argument == "/p" || argument == "-p")
            print = true;
        else if (argument != "--quit-after-show" && file.isEmpty())
            file = argument;
    }

    document_.New();
    if (print) {
        // Printing from the command line prints and ends without showing the window.
        if (file.isEmpty()) {
            ShowMessage(nullptr,
                        "No project file to print was named.\nStart Velmora as: velmora /p "
                        "FILE.vlm",
                        kCaption);
            exitCode_ = 2;
            return false;
        }
        const bool opened = OpenFile(file);
        if (opened) form_->Print();
        exitCode_ = opened ? 0 : 1;
        return false;
    }
    // A file that cannot be opened has been reported; the program starts on the default
    // project rather than ending without a word.
    if (!file.isEmpty()) OpenFile(file);
    show();
    return true;
}

void MainWindow::ShowAbout() {
    AboutDialog about(this);
    about.exec();
}

void MainWindow::OnRiskAnalysis() {
    form_->OnRiskAnalysis();
}

void MainWindow::OnCostCharts() {
    CostCharts(document_.Project(), this);
}

void MainWindow::UpdateCaption() {
    setWindowTitle(document_.Title() + "[*] - Velmora");
    setWindowModified(document_.IsModified());
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!MayDiscardChanges()) {
        event->ignore();
        return;
    }
    SaveRecentFiles();
    SaveGeometry(this, QStringLiteral("MainWindow"));
    event->accept();
}

bool MainWindow::event(QEvent* event) {
    if (event->type() == QEvent::EnterWhatsThisMode)
        statusBar()->showMessage(kContextHelpPrompt);
    else if (event->type() == QEvent::LeaveWhatsThisMode)
        statusBar()->clearMessage();
    return QMainWindow::event(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
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
