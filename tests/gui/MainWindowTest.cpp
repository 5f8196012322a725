// The desktop application driven through its real main window: the command form, menus, keys,
// toolbar, status bar, help, and the file commands with their prompts and failures.
#include "app/MainWindow.h"
#include "FormDriver.h"
#include "GuiTestSupport.h"
#include "app/CommandForm.h"
#include "app/HelpWindow.h"
#include "app/ProjectDocument.h"
#include "engine/Analysis.h"
#include "forms/ComputedCostsForm.h"
#include "gui/FormNumbers.h"
#include "model/ProjectFile.h"
#include "model/SavedFields.h"

#include <QApplication>
#include <QDir>
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
#include <sys/stat.h>

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

    std::unique_ptr<MainWindow> app;
    std::unique_ptr<QTemporaryDir> dir;

    MainWindow* Frame() const { return app.get(); }
    CommandForm& View() const { return *app->Form(); }
    ProjectData& Project() const { return app->Document().Project(); }
    QString Path(const QString& name) const { return dir->filePath(name); }
    QString Caption() const { return Frame()->windowTitle(); }
    void Trigger(QAction* MainWindow::Actions::*action) { (app->Commands().*action)->trigger(); }
    QMenu* Menu(const QString& title) const {
        for (QAction* action : Frame()->menuBar()->actions())
            if (action->text() == title) return action->menu();
        return nullptr;
    }

    // Starts the program as the command line would, on the settings left by the last start.
    bool Start(const QStringList& arguments = {}) {
        app.reset();
        app = std::make_unique<MainWindow>();
        return app->Start(arguments);
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
            test::FormDriver driver(*static_cast<InputForm*>(form));
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

    // The General Information form, when it closes whichever way, and a project opened or
    // started set the traffic button: disabled when both switches are Exclude.
    void trafficButtonFollowsTheSwitchesOfTheProject() {
        test::MessageRecorder messages;
        QPushButton* traffic = View().Button(CommandForm::kTrafficButton);
        SetSwitches(WzInclusion::Exclude, WzInclusion::Exclude, 1);
        QVERIFY(!traffic->isEnabled());
        QVERIFY(Frame()->isWindowModified());

        QCOMPARE(app->Document().Save(Path("saved.vlm")), QString());
        SetSwitches(WzInclusion::Include, WzInclusion::Include, 2);
        QVERIFY(!traffic->isEnabled());
        QVERIFY(!Frame()->isWindowModified());

        QVERIFY(app->OpenFile(MakeProjectFile("includes.vlm", 2.0)));
        QVERIFY(traffic->isEnabled());
        QVERIFY(app->OpenFile(MakeProjectFile("excludes.vlm", 2.0, WzInclusion::Exclude)));
        QVERIFY(!traffic->isEnabled());
        app->Commands().recent[1]->trigger(); // includes.vlm
        QVERIFY(traffic->isEnabled());
        // New keeps the record, and with it the switches.
        Project().initialWzInclusion = Project().rehabWzInclusion = WzInclusion::Exclude;
        app->NewFile();
        QVERIFY(!traffic->isEnabled());

        SetSwitches(WzInclusion::Exclude, WzInclusion::Include, 1);
        QVERIFY(traffic->isEnabled());
        QVERIFY(Frame()->isWindowModified());
        // An unknown value, which only a damaged file holds, is not Exclude.
        Project().rehabWzInclusion = 7;
        Press(1000);
        QVERIFY(traffic->isEnabled());
        QCOMPARE(messages.shown.size(), 0);

        QVERIFY(Start({Path("excludes.vlm")}));
        QVERIFY(!View().Button(CommandForm::kTrafficButton)->isEnabled());
    }

    void computeCostsShowsTheRunAndOkKeepsItsTreatmentCounts() {
        test::MessageRecorder messages;
        // Returns the asphalt total the results form showed, or "" when none opened.
        const auto compute = [&](int close) {
            QString total;
            Press(1012, close, [&](QDialog* form) {
                total = test::ResultCells(*static_cast<ComputedCostsForm*>(form))[11];
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
        QCOMPARE(app->Document().Save(Path("saved.vlm")), QString());
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

        const std::pair<QAction * MainWindow::Actions::*, const char*> keys[] = {
            {&MainWindow::Actions::newFile, "Ctrl+N"},
            {&MainWindow::Actions::open, "Ctrl+O"},
            {&MainWindow::Actions::save, "Ctrl+S"},
            {&MainWindow::Actions::saveAs, ""},
            {&MainWindow::Actions::print, "Ctrl+P"},
            {&MainWindow::Actions::undo, "Ctrl+Z, Alt+Backspace"},
            {&MainWindow::Actions::cut, "Ctrl+X, Shift+Del"},
            {&MainWindow::Actions::copy, "Ctrl+C, Ctrl+Ins"},
            {&MainWindow::Actions::paste, "Ctrl+V, Shift+Ins"},
            {&MainWindow::Actions::exit, ""},
            {&MainWindow::Actions::contextHelp, "Shift+F1"},
            {&MainWindow::Actions::help, "F1"},
            {&MainWindow::Actions::nextPane, "F6"},
            {&MainWindow::Actions::previousPane, "Shift+F6"},
        };
        for (auto [command, expected] : keys) {
            QAction* action = app->Commands().*command;
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
        Trigger(&MainWindow::Actions::toolBar);
        Trigger(&MainWindow::Actions::statusBar);
        QVERIFY(bar->isHidden() && Frame()->statusBar()->isHidden());
        Trigger(&MainWindow::Actions::toolBar);
        Trigger(&MainWindow::Actions::statusBar);
        QVERIFY(!bar->isHidden() && !Frame()->statusBar()->isHidden());
    }

    void helpAboutAndContextHelp() {
        Trigger(&MainWindow::Actions::help);
        auto* help = Frame()->findChild<HelpWindow*>();
        QVERIFY(help && help->isVisible());
        QCOMPARE(help->Browser()->documentTitle(), QString("The command form"));
        Trigger(&MainWindow::Actions::helpTopics);
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
        HelpWindow* formHelp = nullptr;
        test::WhenModalShows([&](QWidget* modal) {
            ShowHelpTopic("general-info");
            formHelp = modal->findChild<HelpWindow*>();
            static_cast<QDialog*>(modal)->reject();
        });
        form.exec();
        QVERIFY(formHelp && formHelp->CurrentTopic() == "general-info");

        QString about;
        test::WhenModalShows([&](QWidget* modal) {
            about = modal->windowTitle();
            static_cast<QDialog*>(modal)->accept();
        });
        Trigger(&MainWindow::Actions::about);
        QCOMPARE(about, QString("About Velmora"));

        QCOMPARE(View().Button(1000)->property("helpContextId").toUInt(), HelpContextId(101, 1000));
        Trigger(&MainWindow::Actions::contextHelp);
        QVERIFY(QWhatsThis::inWhatsThisMode());
        QCOMPARE(Frame()->statusBar()->currentMessage(),
                 QString("Select an object on which to get Help"));
        QWhatsThis::leaveWhatsThisMode();
        QCOMPARE(Frame()->statusBar()->currentMessage(), QString());
    }

    void newKeepsEveryValue() {
        QVERIFY(app->OpenFile(MakeProjectFile("kept.vlm", 4.5)));
        Project().projectTitle = "Route 9";
        const ProjectData before = Project();
        app->NewFile();
        QVERIFY(SameSavedFields(before, Project()));
        QCOMPARE(app->Document().Path(), QString());
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
        Trigger(&MainWindow::Actions::saveAs);
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(messages.shown[0].text.contains("old.vlm already exists"));
        QCOMPARE(ReadAll(existing), before);
        QCOMPARE(Caption(), QString("Untitled[*] - Velmora"));
    }

    void aFifthProjectPushesTheOldestOutOfTheRecentList() {
        QStringList opened;
        for (int k = 1; k <= 5; ++k) {
            opened.prepend(MakeProjectFile(QString("p%1.vlm").arg(k), k));
            QVERIFY(app->OpenFile(opened.front()));
        }
        QCOMPARE(app->RecentFiles(), opened.mid(0, 4));
        const QStringList menu = MenuTexts(Menu("&File"));
        QVERIFY(menu[4].startsWith("&1 ") && menu[4].endsWith("p5.vlm"));
        QVERIFY(menu[7].startsWith("&4 ") && menu[7].endsWith("p2.vlm"));
        QVERIFY(!menu.contains("Recent File"));

        // The list outlives the program, and its entries open their files.
        QVERIFY(Start());
        QCOMPARE(app->RecentFiles(), opened.mid(0, 4));
        app->Commands().recent[3]->trigger();
        QCOMPARE(Project().projectLength, 2.0);
        QCOMPARE(app->RecentFiles(), QStringList({opened[3], opened[0], opened[1], opened[2]}));

        // A name with "&" reads as it is, not as the mark of a key. An entry whose file is gone
        // says so when chosen, and goes.
        const QString ampersand = MakeProjectFile("R&D.vlm", 6.0);
        QVERIFY(app->OpenFile(ampersand));
        QCOMPARE(app->Commands().recent[0]->iconText(), "1 " + QDir::toNativeSeparators(ampersand));
        test::MessageRecorder messages;
        QVERIFY(QFile::remove(opened[0]));
        app->Commands().recent[2]->trigger();
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(messages.shown[0].text.contains("p5.vlm"));
        QCOMPARE(app->RecentFiles(), QStringList({ampersand, opened[3], opened[1]}));
    }

    void aModifiedProjectAsksBeforeItIsReplacedOrClosed() {
        test::MessageRecorder messages;
        test::FileDialogAnswers files;
        const QString other = MakeProjectFile("other.vlm", 6.0);
        SetSwitches(WzInclusion::Include, WzInclusion::Exclude, 1);
        const ProjectData changed = Project();

        messages.Answer(QMessageBox::Cancel);
        QVERIFY(!app->OpenFile(other));
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
        QVERIFY(app->OpenFile(other));
        QCOMPARE(ReadAll(Path("kept.vlm")), Encoded(changed));
        QCOMPARE(Project().projectLength, 6.0);

        // No throws the changes away, before Open as before New, and saves nothing; then there
        // is nothing left to ask about.
        SetSwitches(WzInclusion::Include, WzInclusion::Exclude, 1);
        const QByteArray otherBytes = ReadAll(other);
        messages.Answer(QMessageBox::No);
        QVERIFY(app->OpenFile(other));
        QCOMPARE(Project().rehabWzInclusion, int(WzInclusion::Include));
        QCOMPARE(ReadAll(other), otherBytes);
        SetSwitches(WzInclusion::Include, WzInclusion::Exclude, 1);
        messages.Answer(QMessageBox::No);
        app->NewFile();
        QVERIFY(!Frame()->isWindowModified());
        const qsizetype asked = messages.shown.size();
        QVERIFY(Frame()->close());
        QCOMPARE(messages.shown.size(), asked);
    }

    void aFileThatCannotBeOpenedChangesNothing() {
        test::MessageRecorder messages;
        QVERIFY(app->OpenFile(MakeProjectFile("good.vlm", 7.0)));
        Project().projectTitle = "unsaved edit";
        const ProjectData before = Project();
        const QStringList recent = app->RecentFiles();
        const QString caption = Caption();
        const QByteArray good = ReadAll(Path("good.vlm"));
        test::WriteAll(Path("cut.vlm"), good.left(good.size() / 2));
        test::WriteAll(Path("empty.vlm"), {});
        // Neither a pipe nor a device may be read from, nor a file larger than any project.
        QVERIFY(::mkfifo(QFile::encodeName(Path("pipe.vlm")).constData(), 0600) == 0);
        QFile huge(Path("huge.vlm"));
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(qint64(kMaxProjectFileBytes) + 1));
        huge.close();
        for (const QString& path :
             {Path("cut.vlm"), Path("missing.vlm"), dir->path(), Path("empty.vlm"),
              Path("pipe.vlm"), QString("/dev/zero"), Path("huge.vlm")}) {
            const qsizetype shown = messages.shown.size();
            QVERIFY(!app->OpenFile(path));
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
        QVERIFY(messages.shown[3].text.contains("empty"));
    }

    // Damaged risk definitions cost the user them alone, are reported, and are never saved back.
    void damagedRiskDefinitionsOpenTheProjectWithoutThem() {
        test::MessageRecorder messages;
        QByteArray bytes = ReadAll(QStringLiteral(VELMORA_TEST_DATA "/risk-default.vlm"));
        bytes[bytes.size() - 1] = char(bytes[bytes.size() - 1] ^ 0x01); // the checksum
        test::WriteAll(Path("damaged.vlm"), bytes);
        QVERIFY(app->OpenFile(Path("damaged.vlm")));
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(messages.shown[0].text.contains(QDir::toNativeSeparators(Path("damaged.vlm"))));
        QVERIFY(messages.shown[0].text.contains("checksum"));
        QVERIFY(Project().riskDefinitions.empty());
        Trigger(&MainWindow::Actions::save);
        QCOMPARE(ReadAll(Path("damaged.vlm")),
                 QByteArray::fromStdString(EncodeProject(Project()).bytes));
        QVERIFY(!ReadAll(Path("damaged.vlm")).contains("VRSK"));
    }

    void aFailedSaveKeepsThePreviousFileAndTheDocument() {
        test::MessageRecorder messages;
        test::FileDialogAnswers files;
        const QString path = MakeProjectFile("prev.vlm", 8.0);
        const QByteArray previous = ReadAll(path);
        QVERIFY(app->OpenFile(path));
        SetSwitches(WzInclusion::Include, WzInclusion::Exclude, 1);

        Project().projectTitle = "Stra\u00dfe \u4e2d"; // a text a project file cannot hold
        Trigger(&MainWindow::Actions::save);
        Project().projectTitle = "Route 9";
        files.Answer(Path("no/such/folder/x.vlm"));
        Trigger(&MainWindow::Actions::saveAs);
        QCOMPARE(messages.shown.size(), 2);
        QVERIFY(messages.shown[0].text.contains("prev.vlm"));
        QVERIFY(messages.shown[0].text.contains("projectTitle"));
        QVERIFY(messages.shown[1].text.contains("x.vlm"));
        QCOMPARE(ReadAll(path), previous);
        QCOMPARE(app->Document().Path(), path);
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

        // Without a file there is nothing to print, and the program says what is missing.
        QVERIFY(!Start({"/p"}));
        QCOMPARE(messages.shown.size(), 2);
        QVERIFY(messages.shown[1].text.contains("velmora /p FILE.vlm"));
        QVERIFY(app->ExitCode() != 0);
    }

    // A gridlock message comes before the results form is up, so it stands over the main
    // window. Export All Data keeps off the open project's file.
    void computeCostsOnAnOpenGridlockedProject() {
        ProjectData jam;
        jam.aadt = 20000;
        jam.trafficGrowth = 10;
        const QString path = Path("jam.vlm");
        test::WriteAll(path, Encoded(jam));
        QVERIFY(app->OpenFile(path));
        test::MessageRecorder messages;
        test::FileDialogAnswers files;
        files.Answer(path);
        Press(1012, 2,
              [](QDialog* form) { static_cast<ComputedCostsForm*>(form)->OnExportAllData(); });
        QCOMPARE(messages.shown.size(), 2);
        QCOMPARE(messages.shown[0].caption, QString(kGridlockCaption));
        QVERIFY(messages.shown[0].parent && messages.shown[0].parent->window() == Frame());
        QVERIFY(messages.shown[1].text.startsWith("Cannot export to " +
                                                  QDir::toNativeSeparators(path)));
        QCOMPARE(ReadAll(path), Encoded(jam));
    }

    // Every form and the results form open at a size that a 1024 x 768 screen shows whole,
    // with room for a title bar and a panel; widened, a form gives the room to its texts.
    void everyFormFitsA1024By768Screen() {
        test::MessageRecorder messages;
        for (int button : {1000, 1008, 1011, 1012, 1013, 1014, 1015})
            Press(button, 2, [](QDialog* form) {
                QVERIFY2(form->width() <= 1024 && form->height() <= 768 - 64,
                         qPrintable(form->windowTitle()));
                QHash<QLineEdit*, int> texts;
                for (QLineEdit* edit : form->findChildren<QLineEdit*>())
                    if (!edit->isReadOnly() && !ParseDouble(edit->text()))
                        texts.insert(edit, edit->width());
                form->resize(form->width() + 100, form->height());
                for (auto [edit, width] : texts.asKeyValueRange())
                    QVERIFY2(edit->width() > width, qPrintable(edit->text()));
            });
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
