// The desktop application driven through its real main window: the command form, menus, keys,
// toolbar, status bar, help, and the file commands with their prompts and failures.
#include "CComputedCostsDlg.h"
#include "CHelpWindow.h"
#include "CInputDlg.h"
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
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
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

namespace {

// Runs `action` while any modal form that opens is cancelled: the input forms and the results
// form answer "Cancel" whether or not they exist yet.
void WithFormsCancelled(const std::function<void()>& action) {
    QTimer canceller;
    canceller.setInterval(0);
    QObject::connect(&canceller, &QTimer::timeout, [] {
        if (auto* form = qobject_cast<QDialog*>(QApplication::activeModalWidget())) form->reject();
    });
    canceller.start();
    action();
}

void Click(CVelmoraView& view, int controlId) {
    WithFormsCancelled([&] { view.Button(controlId)->click(); });
}

QStringList MenuTexts(QMenu* menu) {
    QStringList texts;
    for (QAction* action : menu->actions())
        if (action->isVisible()) texts << (action->isSeparator() ? "-" : action->text());
    return texts;
}

QMenu* Menu(CMainFrame* frame, const QString& title) {
    for (QAction* action : frame->menuBar()->actions())
        if (action->text() == title) return action->menu();
    return nullptr;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
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

    // Starts the program as the command line would, on a fresh set of settings.
    bool Start(const QStringList& arguments = {}) {
        app.reset();
        app = std::make_unique<CVelmoraApp>();
        return app->InitInstance(arguments);
    }

    void Activate() {
        QApplication::setActiveWindow(Frame());
        QVERIFY(QTest::qWaitForWindowActive(Frame()));
    }

    // A project file with one distinct value, and that value.
    QString MakeProjectFile(const QString& name, double length) {
        ProjectData project;
        project.projectLength = length;
        WriteAll(Path(name), Encoded(project));
        return Path(name);
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
        QCOMPARE(Frame()->windowTitle(), QString("Untitled[*] - Velmora"));
        QVERIFY(!Frame()->isWindowModified());
        QVERIFY(QTest::qWaitForWindowExposed(Frame()));

        const int tabOrder[] = {1000, 1008, 1011, 1012, 1013, 1014, 1015};
        const char* texts[] = {"General Project Information",
                               "Unit Prices",
                               "Asphalt  Option Construction Activities",
                               "Compute Costs",
                               "Traffic and Work Zone Information",
                               "Concrete  Option Construction Activities",
                               "Recurring Maintenance Activities"};
        for (int k = 0; k < 7; ++k) {
            QPushButton* button = View().Button(tabOrder[k]);
            QCOMPARE(button->text(), QString(texts[k]));
            QVERIFY(button->isVisible() && button->isEnabled());
            if (k > 0) QCOMPARE(View().Button(tabOrder[k - 1])->nextInFocusChain(), button);
        }
        // Seen from the top: general, prices, the two activity buttons side by side, traffic,
        // maintenance, compute.
        auto top = [&](int id) { return View().Button(id)->geometry().top(); };
        const int fromTop[] = {1000, 1008, 1011, 1013, 1015, 1012};
        for (int k = 1; k < 6; ++k) QVERIFY(top(fromTop[k - 1]) < top(fromTop[k]));
        QCOMPARE(top(1011), top(1014));
        QVERIFY(View().Button(1011)->geometry().right() < View().Button(1014)->geometry().left());
        test::SaveScreenshot(Frame(), "main-window");
    }

    void trafficButtonFollowsTheSwitchesWhenGeneralInformationCloses() {
        test::MessageRecorder messages;
        QPushButton* traffic = View().Button(CVelmoraView::kTrafficButton);
        Project().initialWzInclusion = WzInclusion::Exclude;
        Project().rehabWzInclusion = WzInclusion::Exclude;
        QVERIFY2(traffic->isEnabled(), "only the General Information form changes the button");
        Click(View(), 1000);
        QVERIFY(!traffic->isEnabled());

        // Opening or creating a project leaves the button as it is, until the form closes again.
        const QString includes = MakeProjectFile("includes.vlm", 2.0);
        QVERIFY(app->OpenDocumentFile(includes));
        app->OnFileNew();
        QVERIFY(!traffic->isEnabled());
        Click(View(), 1000);
        QVERIFY(traffic->isEnabled());

        ProjectData excluded;
        excluded.initialWzInclusion = excluded.rehabWzInclusion = WzInclusion::Exclude;
        WriteAll(Path("excludes.vlm"), Encoded(excluded));
        QVERIFY(app->OpenDocumentFile(Path("excludes.vlm")));
        QVERIFY(traffic->isEnabled());
        Click(View(), 1000);
        QVERIFY(!traffic->isEnabled());

        // Only both switches at Exclude disable it; an unknown value is not Exclude.
        Project().rehabWzInclusion = 7;
        Click(View(), 1000);
        QVERIFY(traffic->isEnabled());
    }

    void generalInformationFormDrivesTheTrafficButtonAndTheModifiedMark() {
        test::MessageRecorder messages;
        QPushButton* traffic = View().Button(CVelmoraView::kTrafficButton);
        // Sets both switches in the real form, then closes it as `close` says.
        auto setSwitches = [&](int initial, int rehab, bool accept) {
            test::WhenModalShows([=](QWidget* modal) {
                test::FormDriver driver(*qobject_cast<CInputDlg*>(modal));
                driver.Choose(1067, initial);
                driver.Choose(1068, rehab);
                driver.Click(accept ? 1 : 2);
            });
            View().Button(1000)->click();
        };
        setSwitches(WzInclusion::Exclude, WzInclusion::Exclude, true);
        QVERIFY(!traffic->isEnabled());
        QVERIFY(Frame()->isWindowModified());
        QCOMPARE(Project().rehabWzInclusion, WzInclusion::Exclude);

        // Cancel keeps both switches at Exclude, so the button stays disabled.
        QVERIFY(app->Document().DoSave(Path("saved.vlm")));
        setSwitches(WzInclusion::Include, WzInclusion::Include, false);
        QVERIFY(!traffic->isEnabled());
        QVERIFY(!Frame()->isWindowModified());

        setSwitches(WzInclusion::Exclude, WzInclusion::Include, true);
        QVERIFY(traffic->isEnabled());
        QVERIFY(Frame()->isWindowModified());
        QCOMPARE(messages.shown.size(), 0);
    }

    void buttonsAreSafeWhateverTheirFormsDo() {
        test::MessageRecorder messages;
        for (int id : {1000, 1008, 1011, 1013, 1014, 1015}) Click(View(), id);
        QVERIFY(!Frame()->isWindowModified());
        // The activity buttons derive the unit labels from the unit prices first.
        QCOMPARE(Project().concreteStage[2].miscUnitLabel[1], std::string("miles"));
    }

    // The buttons of the last three forms: the activity forms open on labels built from the unit
    // prices, and an accepted form that changed a saved field marks the project modified.
    void activityAndMaintenanceButtonsRunTheirForms() {
        test::MessageRecorder messages;
        auto run = [&](int button, const std::function<void(test::FormDriver&)>& drive, int close) {
            test::WhenModalShows([=](QWidget* modal) {
                test::FormDriver driver(*qobject_cast<CInputDlg*>(modal));
                drive(driver);
                driver.Click(close);
            });
            View().Button(button)->click();
        };
        Project().asphaltMisc.unit = UnitCode::Ton;
        Project().asphaltMisc.description = "Guardrail";
        Project().concreteMisc[1].unit = UnitCode::Cy;

        run(
            1011, [](test::FormDriver& d) { QCOMPARE(d.Text(1070), QString("Misc., ton:")); }, 1);
        QVERIFY2(!Frame()->isWindowModified(), "the caption is not saved with the project");
        QCOMPARE(Project().asphaltMiscText, std::string("Guardrail"));

        run(
            1014, [](test::FormDriver& d) { QCOMPARE(d.Text(1080), QString("cy")); }, 2);
        QVERIFY2(!Frame()->isWindowModified(), "cancelled");
        QCOMPARE(Project().concreteStage[2].miscUnitLabel[1], std::string("cy"));

        run(
            1014, [](test::FormDriver& d) { d.Enter(1049, "1200"); }, 1);
        QVERIFY(Frame()->isWindowModified());
        QCOMPARE(Project().concreteStage[1].concreteArea, 1200.0);

        QVERIFY(app->Document().DoSave(Path("maintained.vlm")));
        run(
            1015, [](test::FormDriver& d) { d.Enter(1126, "8"); }, 1);
        QVERIFY(Frame()->isWindowModified());
        QCOMPARE(Project().concreteMaintenance[0].treatmentCount, 5.0);
        QCOMPARE(messages.shown.size(), 0);
    }

    void computeCostsShowsTheRefusalOfTheHandOff() {
        test::MessageRecorder messages;
        // A work zone longer than the project, with user costs counted: a project the analysis
        // refuses. The inclusion flags that the hand-off derives differ from the record's.
        Project().wzLength = 3.0;
        Project().rehabWzInclusion = WzInclusion::Exclude;
        ProjectData probe = Project();
        const std::optional<Refusal> refusal = PrepareAnalysis(probe);
        Click(View(), 1012);
        QCOMPARE(messages.shown.size(), refusal ? 1 : 0);
        if (refusal) {
            QCOMPARE(messages.shown[0].text, QString::fromStdString(refusal->text));
            QCOMPARE(messages.shown[0].caption, QString::fromStdString(refusal->caption));
            QCOMPARE(messages.shown[0].icon, QMessageBox::Warning);
        }
        QCOMPARE(Project().asphaltStage[2].wzInclusion, int(WzInclusion::Exclude));
        QVERIFY2(Frame()->isWindowModified(), "rewritten flags are a change worth saving");
        QCOMPARE(Frame()->windowTitle(), QString("Untitled[*] - Velmora"));
    }

    void menusOfferTheirItemsAndKeys() {
        QCOMPARE(
            MenuTexts(Menu(Frame(), "&File")),
            QStringList({"&Open...", "&Save", "Save &As...", "-", "Recent File", "-", "E&xit"}));
        QCOMPARE(MenuTexts(Menu(Frame(), "&Edit")),
                 QStringList({"&Undo", "-", "Cu&t", "&Copy", "&Paste"}));
        QCOMPARE(MenuTexts(Menu(Frame(), "&View")), QStringList({"&Toolbar", "&Status Bar"}));
        QCOMPARE(MenuTexts(Menu(Frame(), "&Help")),
                 QStringList({"&Help Topics", "-", "&About Velmora..."}));
        for (QAction* action : Menu(Frame(), "&Edit")->actions())
            QVERIFY(action->isSeparator() || !action->isEnabled());
        QVERIFY(!Menu(Frame(), "&File")->actions()[4]->isEnabled());

        struct Keys {
            int command;
            QString keys;
            QString statusTip;
            QString toolTip;
        };
        const Keys keys[] = {
            {ID_FILE_NEW, "Ctrl+N", "Create a new document", "New"},
            {ID_FILE_OPEN, "Ctrl+O", "Open an existing file", "Open"},
            {ID_FILE_SAVE, "Ctrl+S", "Save the active file", "Save"},
            {ID_FILE_SAVE_AS, "", "Save the active file with a new name", "Save As"},
            {ID_FILE_PRINT, "Ctrl+P", "Print the active document", "Print"},
            {ID_EDIT_UNDO, "Ctrl+Z, Alt+Backspace", "Undo the last action", "Undo"},
            {ID_EDIT_CUT, "Ctrl+X, Shift+Del", "Cut the selection and put it on the Clipboard",
             "Cut"},
            {ID_EDIT_COPY, "Ctrl+C, Ctrl+Ins", "Copy the selection and put it on the Clipboard",
             "Copy"},
            {ID_EDIT_PASTE, "Ctrl+V, Shift+Ins", "Insert Clipboard contents", "Paste"},
            {ID_APP_EXIT, "", "Quit the application; prompts to save documents", "Exit"},
            {ID_CONTEXT_HELP, "Shift+F1", "Display help for clicked on buttons, menus and windows",
             "Help"},
            {ID_HELP, "F1", "Display help for current task or command", "Help"},
            {ID_NEXT_PANE, "F6", "Switch to the next window pane", "Next Pane"},
            {ID_PREV_PANE, "Shift+F6", "Switch back to the previous window pane", "Previous Pane"},
            {ID_VIEW_TOOLBAR, "", "Show or hide the toolbar", "Toggle ToolBar"},
            {ID_VIEW_STATUS_BAR, "", "Show or hide the status bar", "Toggle StatusBar"},
            {ID_HELP_FINDER, "", "List Help topics", "Help Topics"},
        };
        for (const Keys& k : keys) {
            QAction* action = Frame()->Action(k.command);
            QVERIFY2(action, qPrintable(QString::number(k.command)));
            QStringList shortcuts;
            for (const QKeySequence& sequence : action->shortcuts())
                shortcuts << sequence.toString(QKeySequence::PortableText);
            QCOMPARE(shortcuts.join(", "), k.keys);
            QCOMPARE(action->statusTip(), k.statusTip);
            QCOMPARE(action->toolTip(), k.toolTip);
            QVERIFY(Frame()->actions().contains(action));
        }
    }

    void keysWithoutMenuItemsStillWork() {
        test::FileDialogAnswers files;
        test::MessageRecorder messages;
        Activate();
        const QString path = MakeProjectFile("keys.vlm", 3.0);
        files.Answer(path);
        QTest::keyClick(Frame(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(files.requests.size(), 1);
        QVERIFY(!files.requests[0].save);
        QCOMPARE(files.requests[0].filter, QString("Velmora Files (*.vlm);;All Files (*)"));
        QCOMPARE(Frame()->windowTitle(), QString("keys.vlm[*] - Velmora"));

        QTest::keyClick(Frame(), Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(Frame()->windowTitle(), QString("Untitled[*] - Velmora"));

        bool printDialogShown = false;
        test::WhenModalShows([&](QWidget* modal) {
            printDialogShown = qobject_cast<QPrintDialog*>(modal) != nullptr;
            static_cast<QDialog*>(modal)->reject();
        });
        QTest::keyClick(Frame(), Qt::Key_P, Qt::ControlModifier);
        QVERIFY(printDialogShown);
        Activate();

        // Save of an untitled project asks for a name first.
        QTest::keyClick(Frame(), Qt::Key_S, Qt::ControlModifier);
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
        QCOMPARE(Frame()->toolBarArea(bar), Qt::TopToolBarArea);

        QStringList labels;
        for (QLabel* label : Frame()->statusBar()->findChildren<QLabel*>()) labels << label->text();
        QCOMPARE(labels, QStringList({"For Help, press F1", "CAP", "NUM", "SCRL"}));

        Frame()->Action(ID_VIEW_TOOLBAR)->trigger();
        Frame()->Action(ID_VIEW_STATUS_BAR)->trigger();
        QVERIFY(bar->isHidden() && Frame()->statusBar()->isHidden());
        Frame()->Action(ID_VIEW_TOOLBAR)->trigger();
        Frame()->Action(ID_VIEW_STATUS_BAR)->trigger();
        QVERIFY(!bar->isHidden() && !Frame()->statusBar()->isHidden());
    }

    void helpWindowAndContextHelp() {
        Frame()->Action(ID_HELP)->trigger();
        auto* help = Frame()->findChild<CHelpWindow*>();
        QVERIFY(help && help->isVisible());
        QCOMPARE(help->CurrentTopic(), QString("command-form"));
        QCOMPARE(help->Browser()->documentTitle(), QString("The command form"));

        Frame()->Action(ID_HELP_FINDER)->trigger();
        QCOMPARE(help->CurrentTopic(), QString("index"));
        QCOMPARE(help->Browser()->documentTitle(), QString("Help Topics"));
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

        QPushButton* first = View().Button(1000);
        QCOMPARE(first->property("helpContextId").toUInt(), 2147483648u + 101u * 65536u + 1000u);
        QVERIFY(!first->whatsThis().isEmpty());
        QVERIFY(View().Button(1008)->whatsThis().isEmpty());
        Frame()->Action(ID_CONTEXT_HELP)->trigger();
        QVERIFY(QWhatsThis::inWhatsThisMode());
        QCOMPARE(Frame()->statusBar()->currentMessage(),
                 QString("Select an object on which to get Help"));
        QWhatsThis::leaveWhatsThisMode();
        QCOMPARE(Frame()->statusBar()->currentMessage(), QString());
    }

    void aboutBox() {
        QStringList texts;
        QString caption;
        test::WhenModalShows([&](QWidget* modal) {
            caption = modal->windowTitle();
            for (QLabel* label : modal->findChildren<QLabel*>()) texts << label->text();
            static_cast<QDialog*>(modal)->accept();
        });
        Frame()->Action(ID_APP_ABOUT)->trigger();
        QCOMPARE(caption, QString("About Velmora"));
        QVERIFY(texts.contains("Velmora Version 1.0"));
        QVERIFY(texts.contains("May 2009"));
    }

    void newKeepsEveryValue() {
        QVERIFY(app->OpenDocumentFile(MakeProjectFile("kept.vlm", 4.5)));
        Project().projectTitle = "Route 9";
        Project().aadt = 12345.0;
        const ProjectData before = Project();
        app->OnFileNew();
        QVERIFY(SameSavedFields(before, Project()));
        QCOMPARE(Project().projectTitle, std::string("Route 9"));
        QCOMPARE(app->Document().GetPathName(), QString());
        QCOMPARE(Frame()->windowTitle(), QString("Untitled[*] - Velmora"));
    }

    void saveAndOpenRoundTripThroughTheWindow() {
        test::FileDialogAnswers files;
        Project().projectTitle = "Route 9 – Müllerstraße";
        Project().discountRate = 3.25;
        Project().concreteMaintenance[2].yearsBetween = 6;
        const ProjectData saved = Project();
        files.Answer(Path("route9")); // no extension: ".vlm" is added
        Frame()->Action(ID_FILE_SAVE_AS)->trigger();
        QCOMPARE(Frame()->windowTitle(), QString("route9.vlm[*] - Velmora"));
        QCOMPARE(ReadAll(Path("route9.vlm")), Encoded(saved));
        QCOMPARE(app->RecentFiles(), QStringList({Path("route9.vlm")}));

        // Save again goes to the same file without asking.
        Project().aadt = 777.0;
        Frame()->Action(ID_FILE_SAVE)->trigger();
        QCOMPARE(files.requests.size(), 1);
        QCOMPARE(ReadAll(Path("route9.vlm")), Encoded(Project()));
        const ProjectData resaved = Project();

        app->OnFileNew();
        Project() = ProjectData();
        files.Answer(Path("route9.vlm"));
        Frame()->Action(ID_FILE_OPEN)->trigger();
        QVERIFY(SameSavedFields(resaved, Project()));
        QCOMPARE(Project().projectTitle, saved.projectTitle);
        QCOMPARE(Frame()->windowTitle(), QString("route9.vlm[*] - Velmora"));
    }

    void saveAsAsksBeforeReplacingAFile() {
        test::FileDialogAnswers files;
        test::MessageRecorder messages;
        const QString existing = MakeProjectFile("old.vlm", 9.0);
        const QByteArray before = ReadAll(existing);
        files.Answer(existing);
        files.Answer(""); // the dialog again after "No": cancelled
        messages.Answer(QMessageBox::No);
        Frame()->Action(ID_FILE_SAVE_AS)->trigger();
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(messages.shown[0].text.contains("old.vlm already exists"));
        QCOMPARE(ReadAll(existing), before);
        QCOMPARE(Frame()->windowTitle(), QString("Untitled[*] - Velmora"));
    }

    void aFifthProjectPushesTheOldestOutOfTheRecentList() {
        QStringList opened;
        for (int k = 1; k <= 5; ++k) {
            opened.prepend(MakeProjectFile(QString("p%1.vlm").arg(k), k));
            QVERIFY(app->OpenDocumentFile(opened.front()));
        }
        QCOMPARE(app->RecentFiles(), opened.mid(0, 4));
        QStringList menu = MenuTexts(Menu(Frame(), "&File"));
        QCOMPARE(menu.mid(4, 4).size(), 4);
        QVERIFY(menu[4].startsWith("&1 ") && menu[4].endsWith("p5.vlm"));
        QVERIFY(menu[7].startsWith("&4 ") && menu[7].endsWith("p2.vlm"));
        QVERIFY(!menu.contains("Recent File"));

        // The list outlives the program, and its entries open their files.
        QVERIFY(Start());
        QCOMPARE(app->RecentFiles(), opened.mid(0, 4));
        Frame()->Action(ID_FILE_MRU_FILE1 + 3)->trigger();
        QCOMPARE(Project().projectLength, 2.0);
        QCOMPARE(app->RecentFiles().front(), Path("p2.vlm"));
        QCOMPARE(app->RecentFiles().size(), 4);
    }

    void aModifiedProjectAsksBeforeItIsReplacedOrClosed() {
        test::MessageRecorder messages;
        test::FileDialogAnswers files;
        const QString other = MakeProjectFile("other.vlm", 6.0);
        Project().rehabWzInclusion = WzInclusion::Exclude;
        Click(View(), 1012); // Compute Costs rewrites the stage flags
        QVERIFY(Frame()->isWindowModified());
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
        QVERIFY(!Frame()->isWindowModified());

        // No throws the changes away.
        Project().rehabWzInclusion = WzInclusion::Exclude;
        Click(View(), 1012);
        messages.Answer(QMessageBox::No);
        app->OnFileNew();
        QCOMPARE(Frame()->windowTitle(), QString("Untitled[*] - Velmora"));
        QVERIFY(!Frame()->isWindowModified());
        const qsizetype asked = messages.shown.size();
        QVERIFY(Frame()->close()); // nothing left to save: no question
        QCOMPARE(messages.shown.size(), asked);
    }

    void aFileThatCannotBeOpenedChangesNothing() {
        test::MessageRecorder messages;
        QVERIFY(app->OpenDocumentFile(MakeProjectFile("good.vlm", 7.0)));
        Project().projectTitle = "unsaved edit";
        const ProjectData before = Project();
        const QStringList recent = app->RecentFiles();
        const QString caption = Frame()->windowTitle();

        const QByteArray good = ReadAll(Path("good.vlm"));
        WriteAll(Path("cut.vlm"), good.left(good.size() / 2));
        const QString missing = Path("missing.vlm");
        for (const QString& path : {Path("cut.vlm"), missing, dir->path()}) {
            const qsizetype shown = messages.shown.size();
            QVERIFY(!app->OpenDocumentFile(path));
            QCOMPARE(messages.shown.size(), shown + 1);
            QVERIFY2(messages.shown.back().text.contains(QDir::toNativeSeparators(path)),
                     qPrintable(messages.shown.back().text));
            QCOMPARE(messages.shown.back().icon, QMessageBox::Warning);
            QVERIFY(SameSavedFields(before, Project()));
            QCOMPARE(app->RecentFiles(), recent);
            QCOMPARE(Frame()->windowTitle(), caption);
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
        Project().rehabWzInclusion = WzInclusion::Exclude;
        Click(View(), 1012);

        // A text that a project file cannot hold.
        Project().projectTitle = "Straße 中";
        Frame()->Action(ID_FILE_SAVE)->trigger();
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(messages.shown[0].text.contains("prev.vlm"));
        QVERIFY(messages.shown[0].text.contains("projectTitle"));
        QCOMPARE(ReadAll(path), previous);
        QVERIFY(Frame()->isWindowModified());
        QCOMPARE(Frame()->windowTitle(), QString("prev.vlm[*] - Velmora"));

        // A folder that does not exist.
        Project().projectTitle = "Route 9";
        files.Answer(Path("no/such/folder/x.vlm"));
        Frame()->Action(ID_FILE_SAVE_AS)->trigger();
        QCOMPARE(messages.shown.size(), 2);
        QVERIFY(messages.shown[1].text.contains("x.vlm"));
        QCOMPARE(app->Document().GetPathName(), path);
        QVERIFY(Frame()->isWindowModified());
        QCOMPARE(app->RecentFiles(), QStringList({path}));
        QCOMPARE(ReadAll(path), previous);
    }

    void computeCostsShowsTheRunAndOkKeepsItsTreatmentCounts() {
        test::MessageRecorder messages;
        // Presses Compute Costs; the results form, if it opens, is closed with OK or Cancel.
        // Returns the asphalt total it showed, or "" when no form opened.
        const auto compute = [&](bool ok) {
            QString total;
            QTimer closer;
            closer.setInterval(0);
            QObject::connect(&closer, &QTimer::timeout, [&] {
                auto* form = qobject_cast<CComputedCostsDlg*>(QApplication::activeModalWidget());
                if (!form) return;
                total = static_cast<QLineEdit*>(form->Control(1014))->text();
                ok ? form->accept() : form->reject();
            });
            closer.start();
            View().Button(1012)->click();
            return total;
        };

        // Nothing changes in an untouched project: OK leaves it unmodified.
        QCOMPARE(compute(true), QString("217"));
        QVERIFY(!Frame()->isWindowModified());

        Project().concreteMaintenance[2].yearsBetween = 10;
        QCOMPARE(compute(false), QString("217"));
        QCOMPARE(Project().concreteMaintenance[2].treatmentCount, 0.0);
        QVERIFY(!Frame()->isWindowModified());
        QCOMPARE(compute(true), QString("217"));
        QCOMPARE(Project().concreteMaintenance[2].treatmentCount, 4.0);
        QVERIFY(Frame()->isWindowModified());
        QVERIFY(messages.shown.isEmpty());

        // A refused run shows its message and no form.
        Project().wzLength = 3;
        QCOMPARE(compute(true), QString());
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].caption, QString("Work Zone Length Exceeds Project Length"));
    }

    void theCommandLineOpensOrPrints() {
        test::MessageRecorder messages;
        const QString path = MakeProjectFile("cmd.vlm", 5.5);
        QVERIFY(Start({path}));
        QCOMPARE(Frame()->windowTitle(), QString("cmd.vlm[*] - Velmora"));
        QCOMPARE(Project().projectLength, 5.5);

        // A file that cannot be opened is reported, and the default project is there instead.
        QVERIFY(Start({Path("gone.vlm")}));
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(messages.shown[0].text.contains("gone.vlm"));
        QVERIFY(Frame()->isVisible());
        QCOMPARE(Frame()->windowTitle(), QString("Untitled[*] - Velmora"));
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
