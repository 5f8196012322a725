// The desktop application driven through its real main window: the command form, keys, views,
// help, and Compute Costs from it. The file commands have a test of their own.
#include "MainWindowFixture.h"
#include "app/HelpWindow.h"
#include "engine/Analysis.h"
#include "forms/ComputedCostsForm.h"
#include "gui/FormNumbers.h"

#include <QDir>
#include <QLineEdit>
#include <QStatusBar>
#include <QTextBrowser>
#include <QToolBar>
#include <QWhatsThis>

using namespace velmora;
using test::Encoded;
using test::ReadAll;

class MainWindowTest : public test::MainWindowFixture {
    Q_OBJECT
private slots:
    void init() { StartClean(); }
    void cleanup() { Stop(); }

    void startsUntitledOnTheCommandForm() {
        QCOMPARE(Caption(), QString("Untitled[*] - Velmora"));
        QVERIFY(!Frame()->isWindowModified());
        QVERIFY(QTest::qWaitForWindowExposed(Frame()));
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

    // The keys of the file commands, Print among them, which has no menu item, and Cost Charts.
    void keys() {
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
        QString charts;
        test::WhenModalShows([&](QWidget* modal) {
            charts = modal->windowTitle();
            modal->close();
        });
        QTest::keyClick(Frame(), Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(charts, QString("Cost Charts"));
        Activate();
        QVERIFY(
            ShowsPrintDialog([&] { QTest::keyClick(Frame(), Qt::Key_P, Qt::ControlModifier); }));
        Activate();
        QTest::keyClick(Frame(), Qt::Key_S, Qt::ControlModifier); // untitled: asks for a name
        QCOMPARE(files.requests.size(), 2);
        QVERIFY(files.requests[1].save);
        QVERIFY(messages.shown.isEmpty());
    }

    void toolbarAndStatusBarCanBeHidden() {
        QToolBar* bar = Frame()->ToolBar();
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

        Trigger(&MainWindow::Actions::contextHelp);
        QVERIFY(QWhatsThis::inWhatsThisMode());
        QWhatsThis::leaveWhatsThisMode();
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
    // with room for a title bar and a panel.
    void everyFormFitsA1024By768Screen() {
        test::MessageRecorder messages;
        for (int button : {1000, 1008, 1011, 1012, 1013, 1014, 1015})
            Press(button, 2, [](QDialog* form) {
                QVERIFY2(form->width() <= 1024 && form->height() <= 768 - 64,
                         qPrintable(form->windowTitle()));
            });
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
