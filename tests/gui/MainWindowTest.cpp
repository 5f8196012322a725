// The desktop application through its real main window: the command form, the file commands, the
// recent files, the save question, the command line, and files that fail.
#include "MainWindowFixture.h"
#include "app/ExampleProjects.h"
#include "app/HelpWindow.h"
#include "engine/Analysis.h"
#include "model/SavedFields.h"
#include "views/ComputedCostsForm.h"

#include <QDir>
#include <QMenuBar>
#include <QRegularExpression>
#include <sys/stat.h>

using namespace velmora;
using test::Encoded;
using test::ReadAll;

class MainWindowTest : public test::MainWindowFixture {
    Q_OBJECT
private slots:
    void init() { StartClean(); }
    void cleanup() { Stop(); }

    // The General Information form and a project opened, started or made new set the traffic
    // button: disabled when both switches are Exclude.
    void trafficButtonFollowsTheSwitchesOfTheProject() {
        test::MessageRecorder messages;
        QPushButton* traffic = View().Button(CommandForm::kTrafficButton);
        SetSwitches(WzInclusion::Exclude, WzInclusion::Exclude, 1);
        QVERIFY(!traffic->isEnabled());
        messages.Answer(QMessageBox::No);
        QVERIFY(app->OpenFile(MakeProjectFile("includes.vlm", 2.0)));
        QVERIFY(traffic->isEnabled());
        // New keeps the record, and with it the switches.
        Project().initialWzInclusion = Project().rehabWzInclusion = WzInclusion::Exclude;
        app->NewFile();
        QVERIFY(!traffic->isEnabled());
        // An unknown value, which only a damaged file holds, is not Exclude; a form cancelled
        // sets the button too.
        Project().rehabWzInclusion = 7;
        Press(1000);
        QVERIFY(traffic->isEnabled());
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(Start({MakeProjectFile("excludes.vlm", 2.0, WzInclusion::Exclude)}));
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
        QCOMPARE(Project().asphaltStage[2].wzInclusion, int(WzInclusion::Exclude));
        QVERIFY(Frame()->isWindowModified());
    }

    // Print has no menu item: its key is the way to it.
    void printIsOnItsKey() {
        Activate();
        test::SaveScreenshot(Frame(), "main-window");
        QVERIFY(
            ShowsPrintDialog([&] { QTest::keyClick(Frame(), Qt::Key_P, Qt::ControlModifier); }));
    }

    // Help asked for from a modal form belongs to that form: a window outside it could not be
    // scrolled or followed until the form closes.
    void helpAskedForFromAFormOpensAboveIt() {
        QDialog form(Frame());
        HelpWindow* help = nullptr;
        test::WhenModalShows([&](QWidget* modal) {
            ShowHelpTopic("general-info");
            help = modal->findChild<HelpWindow*>();
            static_cast<QDialog*>(modal)->reject();
        });
        form.exec();
        QVERIFY(help && help->CurrentTopic() == "general-info");
    }

    // Export All Data on the results form keeps off the file of the open project.
    void computeCostsExportKeepsOffTheOpenProjectsFile() {
        const QString path = MakeProjectFile("open.vlm", 2.0);
        const QByteArray bytes = ReadAll(path);
        QVERIFY(app->OpenFile(path));
        test::MessageRecorder messages;
        test::FileDialogAnswers files;
        files.Answer(path);
        Press(1012, 2,
              [](QDialog* form) { static_cast<ComputedCostsForm*>(form)->OnExportAllData(); });
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(messages.shown[0].text.startsWith("Cannot export to " +
                                                  QDir::toNativeSeparators(path)));
        QCOMPARE(ReadAll(path), bytes);
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
        // The list outlives the program, and its entries open their files.
        QVERIFY(Start());
        QCOMPARE(app->RecentFiles(), opened.mid(0, 4));
        app->Commands().recent[3]->trigger();
        QCOMPARE(Project().projectLength, 2.0);
        QCOMPARE(app->RecentFiles(), QStringList({opened[3], opened[0], opened[1], opened[2]}));

        // An entry whose file is gone says so when chosen, and goes.
        test::MessageRecorder messages;
        QVERIFY(QFile::remove(opened[0]));
        app->Commands().recent[1]->trigger();
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(messages.shown[0].text.contains("p5.vlm"));
        QCOMPARE(app->RecentFiles(), QStringList({opened[3], opened[1], opened[2]}));
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

    // Help > Open Example lists the shipped projects by title; one opens as an untitled copy,
    // after the question about a modified project, and Save asks for a name of its own.
    void anExampleOpensAsAnUntitledCopy() {
        QMenu* help = Frame()->menuBar()->actions().back()->menu();
        QMenu* examples = nullptr;
        for (QAction* action : help->actions())
            if (action->text() == "Open &Example") examples = action->menu();
        QVERIFY(examples);
        QCOMPARE(examples->actions()[2]->text(),
                 QString("Interstate reconstruction, mile 118 to 122"));
        test::MessageRecorder messages;
        test::FileDialogAnswers files;
        SetSwitches(WzInclusion::Include, WzInclusion::Exclude, 1);
        messages.Answer(QMessageBox::No);
        examples->actions()[2]->trigger();
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].text, QString("Save changes to Untitled?"));
        QCOMPARE(Project().aadt, 46000.0);
        QCOMPARE(Caption(), QString("Untitled[*] - Velmora"));
        QVERIFY(app->RecentFiles().isEmpty());

        const QString shipped = QString(VELMORA_EXAMPLES) + "/interstate.vlm";
        const QByteArray before = ReadAll(shipped);
        files.Answer(Path("mine"));
        QVERIFY(app->Save());
        QCOMPARE(ReadAll(Path("mine.vlm")), before);
        QCOMPARE(ReadAll(shipped), before);
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
        QCOMPARE(ReadAll(Path("damaged.vlm")), Encoded(Project()));
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
        QVERIFY(Frame()->isWindowModified());
        QCOMPARE(Caption(), QString("prev.vlm[*] - Velmora"));
        QCOMPARE(app->RecentFiles(), QStringList({path}));
    }

    // Both exports write what the file holds without a print dialog; a replace question answered
    // No leaves the old file as it was.
    void exportWorkbookAndPdfWriteTheProjectAsItStands() {
        QVERIFY(app->OpenFile(MakeProjectFile("p.vlm", 2.5)));
        test::MessageRecorder messages;
        test::FileDialogAnswers files;
        // A bare name gets the extension of the file type asked for.
        for (const char* name : {"p", "p", "p.pdf", "p.xlsx"}) files.Answer(Path(name));
        for (auto answer : {QMessageBox::Ok, QMessageBox::No, QMessageBox::No})
            messages.Answer(answer);
        Trigger(&MainWindow::Actions::exportWorkbook);
        Trigger(&MainWindow::Actions::exportPdf);

        ProjectData project = Project();
        QVERIFY(PrepareAnalysis(project).ok());
        const AnalysisResult run = RunAnalysisOnCopy(project);
        QCOMPARE(test::WorkbookCell(Path("p.xlsx"), 3, "B9").toDouble(), run.results[0].total);
        QCOMPARE(test::WorkbookCell(Path("p.xlsx"), 2, "C8").toDouble(), 2.5);
        const QRegularExpression page(QStringLiteral("/Type\\s*/Page\\b"));
        QVERIFY(QString::fromLatin1(ReadAll(Path("p.pdf"))).count(page) > 1);

        for (const char* name : {"p.pdf", "p.xlsx"}) test::WriteAll(Path(name), "previous");
        Trigger(&MainWindow::Actions::exportPdf);
        Trigger(&MainWindow::Actions::exportWorkbook);
        QCOMPARE(ReadAll(Path("p.pdf")) + ReadAll(Path("p.xlsx")), QByteArray("previousprevious"));
        QCOMPARE(messages.shown.size(), 3);
        QVERIFY(!QFile::exists(Path("p")));
    }

    // The command form's buttons keep their original tab order; Risk Analysis comes after them.
    void theCommandFormKeepsItsTabOrder() {
        QWidget* button = Frame()->findChild<QWidget*>("button1000");
        QStringList order;
        for (int k = 0; k < 8; ++k, button = button->nextInFocusChain())
            order << button->objectName().mid(6);
        QCOMPARE(order.join(' '), QStringLiteral("1000 1008 1011 1012 1013 1014 1015 1016"));
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
        QVERIFY(SameSavedFields(ProjectData(), Project()));

        // Printing from the command line shows the print dialog and ends.
        bool goesOn = true;
        QVERIFY(ShowsPrintDialog([&] { goesOn = Start({"/p", path}); }));
        QVERIFY(!goesOn && app->ExitCode() == 0);

        // Without a file there is nothing to print, and the program says what is missing.
        QVERIFY(!Start({"/p"}));
        QVERIFY(messages.shown.back().text.contains("velmora /p FILE.vlm"));
        QVERIFY(app->ExitCode() != 0);
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
