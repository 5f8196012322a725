// The desktop application driven through its real main window: the command form, keys, views,
// help, and Compute Costs from it; the file commands New, Open, Save, Save As, the recent files,
// the question before a modified project is replaced or closed, the command line, and files that
// cannot be opened or saved.
#include "MainWindowFixture.h"
#include "app/ExampleProjects.h"
#include "app/HelpWindow.h"
#include "engine/Analysis.h"
#include "forms/ComputedCostsForm.h"
#include "forms/PrintedReport.h"
#include "gui/FormNumbers.h"
#include "model/SavedFields.h"

#include <QDir>
#include <QLineEdit>
#include <QMenuBar>
#include <QPrinter>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTextBrowser>
#include <QWhatsThis>
#include <sys/stat.h>

using namespace velmora;
using test::Encoded;
using test::ReadAll;

namespace {

QStringList MenuTexts(QMenu* menu) {
    QStringList texts;
    for (QAction* action : menu->actions())
        if (action->isVisible()) texts << (action->isSeparator() ? "-" : action->text());
    return texts;
}

} // namespace

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

    void helpAboutAndContextHelp() {
        Trigger(&MainWindow::Actions::help);
        auto* help = Frame()->findChild<HelpWindow*>();
        QVERIFY(help && help->isVisible());
        QCOMPARE(help->Browser()->documentTitle(), QString("The command form"));
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
        const QStringList menu = MenuTexts(Frame()->menuBar()->actions().value(0)->menu());
        QCOMPARE(menu.mid(3, 4), QStringList({"-", "Export &Workbook...", "Export P&DF...", "-"}));
        QVERIFY(menu[7].startsWith("&1 ") && menu[7].endsWith("p5.vlm"));
        QVERIFY(menu[10].startsWith("&4 ") && menu[10].endsWith("p2.vlm"));
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

    // Help > Open Example lists the shipped projects by title; one opens as an untitled copy,
    // after the question about a modified project, and Save asks for a name of its own.
    void anExampleOpensAsAnUntitledCopy() {
        QMenu* help = Frame()->menuBar()->actions().back()->menu();
        QMenu* examples = nullptr;
        for (QAction* action : help->actions())
            if (action->text() == "Open &Example") examples = action->menu();
        QVERIFY(examples);
        QCOMPARE(MenuTexts(examples), QStringList({
                                          "County Road 12 reconstruction, rural two-lane",
                                          "Elm Avenue, four-lane urban arterial, night work",
                                          "Interstate reconstruction, mile 118 to 122",
                                          "Route 9 reconstruction, mile 12 to 14",
                                      }));

        test::MessageRecorder messages;
        test::FileDialogAnswers files;
        SetSwitches(WzInclusion::Include, WzInclusion::Exclude, 1);
        messages.Answer(QMessageBox::No);
        examples->actions()[2]->trigger();
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].text, QString("Save changes to Untitled?"));
        QCOMPARE(QString::fromStdString(Project().projectTitle),
                 QString("Interstate reconstruction, mile 118 to 122"));
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

    // An installed example hides the source tree's copy of the same name, and a file that does
    // not open as a project is not offered.
    void theFirstFolderOfAnExampleWins() {
        QDir(dir->path()).mkpath("installed");
        QDir(dir->path()).mkpath("source");
        ProjectData project;
        project.projectTitle = "Installed";
        test::WriteAll(Path("installed/a.vlm"), Encoded(project));
        project.projectTitle = "Source";
        test::WriteAll(Path("source/a.vlm"), Encoded(project));
        test::WriteAll(Path("source/b.vlm"), Encoded(project));
        test::WriteAll(Path("source/broken.vlm"), "not a project");
        const QList<ExampleProject> found =
            FindExampleProjects({Path("installed"), Path("source")});
        QCOMPARE(found.size(), 2);
        QCOMPARE(found[0].title, QString("Installed"));
        QCOMPARE(found[0].path, Path("installed/a.vlm"));
        QCOMPARE(found[1].path, Path("source/b.vlm"));
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

    // Both exports write what the file holds without a print dialog; a replace question answered
    // No leaves the old file as it was.
    void exportWorkbookAndPdfWriteTheProjectAsItStands() {
        QVERIFY(app->OpenFile(MakeProjectFile("p.vlm", 2.5)));
        test::MessageRecorder messages;
        test::FileDialogAnswers files;
        for (const char* name : {"p.xlsx", "p.pdf", "p.pdf", "p.xlsx"}) files.Answer(Path(name));
        for (auto answer : {QMessageBox::Ok, QMessageBox::No, QMessageBox::No})
            messages.Answer(answer);
        Trigger(&MainWindow::Actions::exportWorkbook);
        Trigger(&MainWindow::Actions::exportPdf);

        ProjectData project = Project();
        QVERIFY(PrepareAnalysis(project).ok());
        const AnalysisResult run = RunAnalysisOnCopy(project);
        QCOMPARE(test::WorkbookCell(Path("p.xlsx"), 2, "B9").toDouble(), run.results[0].total);
        QCOMPARE(test::WorkbookCell(Path("p.xlsx"), 1, "C8").toDouble(), 2.5);
        const QByteArray pdf = ReadAll(Path("p.pdf"));
        QVERIFY(pdf.startsWith("%PDF"));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(Path("printed.pdf"));
        PrintProject(printer, Project());
        printer.setOutputFileName({});
        const QRegularExpression page(QStringLiteral("/Type\\s*/Page\\b"));
        QCOMPARE(QString::fromLatin1(pdf).count(page),
                 QString::fromLatin1(ReadAll(Path("printed.pdf"))).count(page));
        QVERIFY(QString::fromLatin1(pdf).count(page) > 1);

        for (const char* name : {"p.pdf", "p.xlsx"}) test::WriteAll(Path(name), "previous");
        Trigger(&MainWindow::Actions::exportPdf);
        Trigger(&MainWindow::Actions::exportWorkbook);
        QCOMPARE(ReadAll(Path("p.pdf")), QByteArray("previous"));
        QCOMPARE(ReadAll(Path("p.xlsx")), QByteArray("previous"));
        QCOMPARE(messages.shown.size(), 3);
        QCOMPARE(messages.shown[2].text, QDir::toNativeSeparators(Path("p.xlsx")) +
                                             " already exists.\nDo you want to replace it?");
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
        bool goesOn = true;
        QVERIFY(ShowsPrintDialog([&] { goesOn = Start({"/p", path}); }));
        QVERIFY(!goesOn);
        QCOMPARE(app->ExitCode(), 0);
        QVERIFY(!Frame()->isVisible());

        // Without a file there is nothing to print, and the program says what is missing.
        QVERIFY(!Start({"/p"}));
        QCOMPARE(messages.shown.size(), 2);
        QVERIFY(messages.shown[1].text.contains("velmora /p FILE.vlm"));
        QVERIFY(app->ExitCode() != 0);
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
