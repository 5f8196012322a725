// The desktop application driven through its real main window: the command form, menus, keys,
// toolbar, status bar, help, and the file commands with their prompts and failures.
#include "CComputedCostsDlg.h"
#include "CHelpWindow.h"
#include "CMainFrame.h"
#include "CVelmoraApp.h"
#include "CVelmoraDoc.h"
#include "CVelmoraView.h"
#include "FormDriver.h"
#include "GuiTestSupport.h"
#include "engine/Analysis.h"
#include "model/ProjectFile.h"
#include "model/SavedFields.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QWhatsThis>
#include <memory>

using namespace velmora;
using test::ReadAll;

namespace {

QStringList MenuTexts(QMenu* menu) {
    QStringList texts;
    for (QAction* action : menu->actions())
        if (action->isVisible()) texts << (action->isSeparator() ? "-" : action->text());
    return texts;
}

QByteArray Encoded(const ProjectData& project) {
    return QByteArray::fromStdString(EncodeProject(project).bytes);
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<CVelmoraApp> app;
    std::unique_ptr<QTemporaryDir> dir;

    CMainFrame* Frame() const { return app->MainFrame(); }
    CVelmoraView& View() const { return app->View(); }
    ProjectData& Project() const { return View().Project(); }
    QString Path(const QString& name) const { return dir->filePath(name); }
    QString Caption() const { return Frame()->windowTitle(); }
    void Trigger(int command) { Frame()->Action(command)->trigger(); }
    QMenu* Menu(const QString& title) const {
        for (QAction* action : Frame()->menuBar()->actions())
            if (action->text() == title) return action->menu();
        return nullptr;
    }

    // Starts the program as the command line would, on the settings left by the last start.
    bool Start(const QStringList& arguments = {}) {
        app.reset();
        app = std::make_unique<CVelmoraApp>();
        return app->InitInstance(arguments);
    }

    void Activate() {
        QApplication::setActiveWindow(Frame());
        QVERIFY(QTest::qWaitForWindowActive(Frame()));
    }

    // A project file with one distinct value.
    QString MakeProjectFile(const QString& name, double length, int switches = 0) {
        ProjectData project;
        project.projectLength = length;
        project.initialWzInclusion = project.rehabWzInclusion = switches;
        test::WriteAll(Path(name), Encoded(project));
        return Path(name);
    }

    // Presses a button of the command form; the form it opens, if any, gets `drive` and is
    // then closed with its button `close` (1 accepts, 2 cancels, on every form).
    void Press(int button, int close = 2, const std::function<void(QDialog*)>& drive = {}) {
        QTimer closer;
        closer.setInterval(0);
        QObject::connect(&closer, &QTimer::timeout, [&] {
            auto* form = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!form) return;
            closer.stop();
            if (drive) drive(form);
            close == 1 ? form->accept() : form->reject();
        });
        closer.start();
        View().Button(button)->click();
    }

    // The General Information form with both switches set, closed with `close`.
    void SetSwitches(int initial, int rehab, int close) {
        Press(1000, close, [&](QDialog* form) {
            test::FormDriver driver(*static_cast<CInputDlg*>(form));
            driver.Enter(1067, QString::number(initial));
            driver.Enter(1068, QString::number(rehab));
        });
    }

private slots:
    void init() {
        QSettings("Local AppWizard-Generated Applications", "Velmora").clear();
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(Start());
    }
    void cleanup() {
        if (app && Frame()) Frame()->hide();
        app.reset();
    }

    void startsUntitledOnTheCommandForm() {
        QCOMPARE(Caption(), QString("Untitled[*] - Velmora"));
        QVERIFY(!Frame()->isWindowModified());
        QVERIFY(QTest::qWaitForWindowExposed(Frame()));
        const int tabOrder[] = {1000, 1008, 1011, 1012, 1013, 1014, 1015};
        for (int k = 0; k < 7; ++k) {
            QPushButton* button = View().Button(tabOrder[k]);
            QVERIFY(button->isVisible() && button->isEnabled());
            if (k > 0) QCOMPARE(View().Button(tabOrder[k - 1])->nextInFocusChain(), button);
        }
        test::SaveScreenshot(Frame(), "main-window");
    }

    // Only the General Information form, when it closes whichever way, sets the traffic button:
    // disabled when both switches are Exclude.
    void trafficButtonFollowsTheSwitchesWhenGeneralInformationCloses() {
        test::MessageRecorder messages;
        QPushButton* traffic = View().Button(CVelmoraView::kTrafficButton);
        SetSwitches(WzInclusion::Exclude, WzInclusion::Exclude, 1);
        QVERIFY(!traffic->isEnabled());
        QVERIFY(Frame()->isWindowModified());

        QVERIFY(app->Document().DoSave(Path("saved.vlm")));
        SetSwitches(WzInclusion::Include, WzInclusion::Include, 2);
        QVERIFY(!traffic->isEnabled());
        QVERIFY(!Frame()->isWindowModified());

        // Opening or creating a project leaves the button as it is, until the form closes.
        QVERIFY(app->OpenDocumentFile(MakeProjectFile("includes.vlm", 2.0)));
        app->OnFileNew();
        QVERIFY(!traffic->isEnabled());
        Press(1000);
        QVERIFY(traffic->isEnabled());
        QVERIFY(app->OpenDocumentFile(MakeProjectFile("excludes.vlm", 2.0, WzInclusion::Exclude)));
        QVERIFY(traffic->isEnabled());

        SetSwitches(WzInclusion::Exclude, WzInclusion::Include, 1);
        QVERIFY(traffic->isEnabled());
        QVERIFY(Frame()->isWindowModified());
        // An unknown value, which only a damaged file holds, is not Exclude.
        Project().rehabWzInclusion = 7;
        Press(1000);
        QVERIFY(traffic->isEnabled());
        QCOMPARE(messages.shown.size(), 0);
    }

    void computeCostsShowsTheRunAndOkKeepsItsTreatmentCounts() {
        test::MessageRecorder messages;
        // Returns the asphalt total the results form showed, or "" when none opened.
        const auto compute = [&](int close) {
            QString total;
            Press(1012, close, [&](QDialog* form) {
                total = test::ResultCells(*static_cast<CComputedCostsDlg*>(form))[11];
            });
            return total;
        };
        QCOMPARE(compute(1), QString("217"));
        QVERIFY2(!Frame()->isWindowModified(), "nothing changed");

        Project().concreteMaintenance[2].yearsBetween = 10;
        ProjectData expected = Project();
        expected.ApplyInclusionRule();
        expected.concreteMaintenance[2].treatmentCount = 4;
        QCOMPARE(compute(2), QString("217"));
        QCOMPARE(Project().concreteMaintenance[2].treatmentCount, 0.0);
        QVERIFY(!Frame()->isWindowModified());
        QCOMPARE(compute(1), QString("217"));
        QCOMPARE(Encoded(Project()), Encoded(expected));
        QVERIFY(Frame()->isWindowModified());
        QVERIFY(messages.shown.isEmpty());

        // A refused run shows its message and no form; the stage flags it rewrote stay, a
        // change worth saving.
        QVERIFY(app->Document().DoSave(Path("saved.vlm")));
        Project().wzLength = 3.0;
        Project().rehabWzInclusion = WzInclusion::Exclude;
        ProjectData probe = Project();
        const HandOff handOff = PrepareAnalysis(probe);
        QVERIFY(!handOff.ok());
        QCOMPARE(compute(1), QString());
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].text, QString::fromStdString(handOff.refusal.text));
        QCOMPARE(messages.shown[0].caption, QString("Work Zone Length Exceeds Project Length"));
        QCOMPARE(messages.shown[0].icon, QMessageBox::Warning);
        QCOMPARE(Project().asphaltStage[2].wzInclusion, int(WzInclusion::Exclude));
        QVERIFY(Frame()->isWindowModified());
    }

    void menusAndKeys() {
        QCOMPARE(MenuTexts(Menu("&File")), QStringList({"&Open...", "&Save", "Save &As...", "-",
                                                        "Recent File", "-", "E&xit"}));
        QCOMPARE(MenuTexts(Menu("&Edit")), QStringList({"&Undo", "-", "Cu&t", "&Copy", "&Paste"}));
        QCOMPARE(MenuTexts(Menu("&View")), QStringList({"&Toolbar", "&Status Bar"}));
        QCOMPARE(MenuTexts(Menu("&Help")), QStringList({"&Help Topics", "-", "&About Velmora..."}));
        for (QAction* action : Menu("&Edit")->actions())
            QVERIFY(action->isSeparator() || !action->isEnabled());
        QVERIFY(!Menu("&File")->actions()[4]->isEnabled());

        const std::pair<int, const char*> keys[] = {
            {ID_FILE_NEW, "Ctrl+N"},
            {ID_FILE_OPEN, "Ctrl+O"},
            {ID_FILE_SAVE, "Ctrl+S"},
            {ID_FILE_SAVE_AS, ""},
            {ID_FILE_PRINT, "Ctrl+P"},
            {ID_EDIT_UNDO, "Ctrl+Z, Alt+Backspace"},
            {ID_EDIT_CUT, "Ctrl+X, Shift+Del"},
            {ID_EDIT_COPY, "Ctrl+C, Ctrl+Ins"},
            {ID_EDIT_PASTE, "Ctrl+V, Shift+Ins"},
            {ID_APP_EXIT, ""},
            {ID_CONTEXT_HELP, "Shift+F1"},
            {ID_HELP, "F1"},
            {ID_NEXT_PANE, "F6"},
            {ID_PREV_PANE, "Shift+F6"},
        };
        for (auto [command, expected] : keys) {
            QAction* action = Frame()->Action(command);
            QVERIFY(action && Frame()->actions().contains(action));
            QStringList shortcuts;
            for (const QKeySequence& sequence : action->shortcuts())
                shortcuts << sequence.toString(QKeySequence::PortableText);
            QCOMPARE(shortcuts.join(", "), QString(expected));
        }

        // The keys of the commands that have no menu item still work.
        test::FileDialogAnswers files;
        test::MessageRecorder messages;
        Activate();
        files.Answer(MakeProjectFile("keys.vlm", 3.0));
        QTest::keyClick(Frame(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(files.requests.size(), 1);
        QCOMPARE(files.requests[0].filter, QString("Velmora Files (*.vlm);;All Files (*)"));
        QCOMPARE(Caption(), QString("keys.vlm[*] - Velmora"));
        QTest::keyClick(Frame(), Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(Caption(), QString("Untitled[*] - Velmora"));
        bool printDialogShown = false;
        test::WhenModalShows([&](QWidget* modal) {
            printDialogShown = qobject_cast<QPrintDialog*>(modal) != nullptr;
            static_cast<QDialog*>(modal)->reject();
        });
        QTest::keyClick(Frame(), Qt::Key_P, Qt::ControlModifier);
        QVERIFY(printDialogShown);
        Activate();
        QTest::keyClick(Frame(), Qt::Key_S, Qt::ControlModifier); // untitled: asks for a name
        QCOMPARE(files.requests.size(), 2);
        QVERIFY(files.requests[1].save);
        QVERIFY(messages.shown.isEmpty());
    }

    void toolbarAndStatusBar() {
        QToolBar* bar = Frame()->ToolBar();
        QStringList tips;
        for (QAction* action : bar->actions())
            tips << (action->isSeparator() ? "-" : action->toolTip());
        QCOMPARE(tips, QStringList({"Open", "Save", "Save As", "-", "Cut", "Copy", "Paste", "-",
                                    "About", "Help"}));
        QVERIFY(bar->isMovable() && bar->isFloatable());
        QCOMPARE(bar->allowedAreas(), Qt::AllToolBarAreas);

        QStringList labels;
        for (QLabel* label : Frame()->statusBar()->findChildren<QLabel*>()) labels << label->text();
        QCOMPARE(labels, QStringList({"For Help, press F1", "CAP", "NUM", "SCRL"}));
        Trigger(ID_VIEW_TOOLBAR);
        Trigger(ID_VIEW_STATUS_BAR);
        QVERIFY(bar->isHidden() && Frame()->statusBar()->isHidden());
        Trigger(ID_VIEW_TOOLBAR);
        Trigger(ID_VIEW_STATUS_BAR);
        QVERIFY(!bar->isHidden() && !Frame()->statusBar()->isHidden());
    }

    void helpAboutAndContextHelp() {
        Trigger(ID_HELP);
        auto* help = Frame()->findChild<CHelpWindow*>();
        QVERIFY(help && help->isVisible());
        QCOMPARE(help->Browser()->documentTitle(), QString("The command form"));
        Trigger(ID_HELP_FINDER);
        const QString contents = help->Browser()->toHtml();
        for (const char* topic :
             {"command-form", "general-info", "unit-prices", "traffic-work-zone",
              "asphalt-activities", "concrete-activities", "maintenance", "computed-costs"})
            QVERIFY2(contents.contains(QString("href=\"%1.html\"").arg(topic)), topic);
        // A topic still to be written says so instead of showing an empty page.
        help->ShowTopic("no-such-topic");
        QVERIFY(help->Browser()->toPlainText().contains("has not been written yet"));

        // Asked for from a modal form, the window belongs to that form: a window outside it
        // could not be scrolled or followed until the form closes.
        QDialog form(Frame());
        CHelpWindow* formHelp = nullptr;
        test::WhenModalShows([&](QWidget* modal) {
            ShowHelpTopic("general-info");
            formHelp = modal->findChild<CHelpWindow*>();
            static_cast<QDialog*>(modal)->reject();
        });
        form.exec();
        QVERIFY(formHelp && formHelp->CurrentTopic() == "general-info");

        QString about;
        test::WhenModalShows([&](QWidget* modal) {
            about = modal->windowTitle();
            static_cast<QDialog*>(modal)->accept();
        });
        Trigger(ID_APP_ABOUT);
        QCOMPARE(about, QString("About Velmora"));

        QCOMPARE(View().Button(1000)->property("helpContextId").toUInt(), HelpContextId(101, 1000));
        Trigger(ID_CONTEXT_HELP);
        QVERIFY(QWhatsThis::inWhatsThisMode());
        QCOMPARE(Frame()->statusBar()->currentMessage(),
                 QString("Select an object on which to get Help"));
        QWhatsThis::leaveWhatsThisMode();
        QCOMPARE(Frame()->statusBar()->currentMessage(), QString());
    }

    void newKeepsEveryValue() {
        QVERIFY(app->OpenDocumentFile(MakeProjectFile("kept.vlm", 4.5)));
        Project().projectTitle = "Route 9";
        const ProjectData before = Project();
        app->OnFileNew();
        QVERIFY(SameSavedFields(before, Project()));
        QCOMPARE(app->Document().GetPathName(), QString());
        QCOMPARE(Caption(), QString("Untitled[*] - Velmora"));
    }

    void saveAsAsksBeforeReplacingAFile() {
        test::FileDialogAnswers files;
        test::MessageRecorder messages;
        const QString existing = MakeProjectFile("old.vlm", 9.0);
        const QByteArray before = ReadAll(existing);
        files.Answer(existing);
        files.Answer(""); // the dialog again after "No": cancelled
        messages.Answer(QMessageBox::No);
        Trigger(ID_FILE_SAVE_AS);
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(messages.shown[0].text.contains("old.vlm already exists"));
        QCOMPARE(ReadAll(existing), before);
        QCOMPARE(Caption(), QString("Untitled[*] - Velmora"));
    }

    void aFifthProjectPushesTheOldestOutOfTheRecentList() {
        QStringList opened;
        for (int k = 1; k <= 5; ++k) {
            opened.prepend(MakeProjectFile(QString("p%1.vlm").arg(k), k));
            QVERIFY(app->OpenDocumentFile(opened.front()));
        }
        QCOMPARE(app->RecentFiles(), opened.mid(0, 4));
        const QStringList menu = MenuTexts(Menu("&File"));
        QVERIFY(menu[4].startsWith("&1 ") && menu[4].endsWith("p5.vlm"));
        QVERIFY(menu[7].startsWith("&4 ") && menu[7].endsWith("p2.vlm"));
        QVERIFY(!menu.contains("Recent File"));

        // The list outlives the program, and its entries open their files.
        QVERIFY(Start());
        QCOMPARE(app->RecentFiles(), opened.mid(0, 4));
        Trigger(ID_FILE_MRU_FILE1 + 3);
        QCOMPARE(Project().projectLength, 2.0);
        QCOMPARE(app->RecentFiles(), QStringList({opened[3], opened[0], opened[1], opened[2]}));
    }

    void aModifiedProjectAsksBeforeItIsReplacedOrClosed() {
        test::MessageRecorder messages;
        test::FileDialogAnswers files;
        const QString other = MakeProjectFile("other.vlm", 6.0);
        SetSwitches(WzInclusion::Include, WzInclusion::Exclude, 1);
        const ProjectData changed = Project();

        messages.Answer(QMessageBox::Cancel);
        QVERIFY(!app->OpenDocumentFile(other));
        QCOMPARE(messages.shown.back().text, QString("Save changes to Untitled?"));
        QCOMPARE(messages.shown.back().buttons,
                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QVERIFY(SameSavedFields(changed, Project()));
        messages.Answer(QMessageBox::Cancel);
        QVERIFY(!Frame()->close());
        QVERIFY(Frame()->isWindowModified());

        // Yes saves first (asking for a name), then the other project opens.
        messages.Answer(QMessageBox::Yes);
        files.Answer(Path("kept"));
        QVERIFY(app->OpenDocumentFile(other));
        QCOMPARE(ReadAll(Path("kept.vlm")), Encoded(changed));
        QCOMPARE(Project().projectLength, 6.0);

        // No throws the changes away; then there is nothing left to ask about.
        SetSwitches(WzInclusion::Include, WzInclusion::Exclude, 1);
        messages.Answer(QMessageBox::No);
        app->OnFileNew();
        QVERIFY(!Frame()->isWindowModified());
        const qsizetype asked = messages.shown.size();
        QVERIFY(Frame()->close());
        QCOMPARE(messages.shown.size(), asked);
    }

    void aFileThatCannotBeOpenedChangesNothing() {
        test::MessageRecorder messages;
        QVERIFY(app->OpenDocumentFile(MakeProjectFile("good.vlm", 7.0)));
        Project().projectTitle = "unsaved edit";
        const ProjectData before = Project();
        const QStringList recent = app->RecentFiles();
        const QString caption = Caption();
        const QByteArray good = ReadAll(Path("good.vlm"));
        test::WriteAll(Path("cut.vlm"), good.left(good.size() / 2));
        for (const QString& path : {Path("cut.vlm"), Path("missing.vlm"), dir->path()}) {
            const qsizetype shown = messages.shown.size();
            QVERIFY(!app->OpenDocumentFile(path));
            QCOMPARE(messages.shown.size(), shown + 1);
            QVERIFY2(messages.shown.back().text.contains(QDir::toNativeSeparators(path)),
                     qPrintable(messages.shown.back().text));
            QCOMPARE(messages.shown.back().icon, QMessageBox::Warning);
            QVERIFY(SameSavedFields(before, Project()));
            QCOMPARE(app->RecentFiles(), recent);
            QCOMPARE(Caption(), caption);
        }
        // The message says what is wrong with the file, not just that it failed.
        QVERIFY(messages.shown[0].text.contains("incomplete"));
    }

    void aFailedSaveKeepsThePreviousFileAndTheDocument() {
        test::MessageRecorder messages;
        test::FileDialogAnswers files;
        const QString path = MakeProjectFile("prev.vlm", 8.0);
        const QByteArray previous = ReadAll(path);
        QVERIFY(app->OpenDocumentFile(path));
        SetSwitches(WzInclusion::Include, WzInclusion::Exclude, 1);

        Project().projectTitle = "Stra\u00dfe \u4e2d"; // a text a project file cannot hold
        Trigger(ID_FILE_SAVE);
        Project().projectTitle = "Route 9";
        files.Answer(Path("no/such/folder/x.vlm"));
        Trigger(ID_FILE_SAVE_AS);
        QCOMPARE(messages.shown.size(), 2);
        QVERIFY(messages.shown[0].text.contains("prev.vlm"));
        QVERIFY(messages.shown[0].text.contains("projectTitle"));
        QVERIFY(messages.shown[1].text.contains("x.vlm"));
        QCOMPARE(ReadAll(path), previous);
        QCOMPARE(app->Document().GetPathName(), path);
        QVERIFY(Frame()->isWindowModified());
        QCOMPARE(Caption(), QString("prev.vlm[*] - Velmora"));
        QCOMPARE(app->RecentFiles(), QStringList({path}));
    }

    void theCommandLineOpensOrPrints() {
        test::MessageRecorder messages;
        const QString path = MakeProjectFile("cmd.vlm", 5.5);
        QVERIFY(Start({path}));
        QCOMPARE(Caption(), QString("cmd.vlm[*] - Velmora"));
        QCOMPARE(Project().projectLength, 5.5);

        // A file that cannot be opened is reported, and the default project is there instead.
        QVERIFY(Start({Path("gone.vlm")}));
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(messages.shown[0].text.contains("gone.vlm"));
        QVERIFY(Frame()->isVisible());
        QCOMPARE(Caption(), QString("Untitled[*] - Velmora"));
        QVERIFY(SameSavedFields(ProjectData(), Project()));

        // Printing from the command line shows the print dialog and ends.
        bool printDialogShown = false;
        test::WhenModalShows([&](QWidget* modal) {
            printDialogShown = qobject_cast<QPrintDialog*>(modal) != nullptr;
            static_cast<QDialog*>(modal)->reject();
        });
        QVERIFY(!Start({"/p", path}));
        QVERIFY(printDialogShown);
        QCOMPARE(app->ExitCode(), 0);
        QVERIFY(!Frame()->isVisible());
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
