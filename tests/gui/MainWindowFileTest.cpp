// The main window's file commands: New, Open, Save, Save As, the recent files, the question
// before a modified project is replaced or closed, the command line, and files that cannot be
// opened or saved.
#include "MainWindowFixture.h"
#include "engine/Analysis.h"
#include "forms/PrintedReport.h"
#include "model/SavedFields.h"

#include <QDir>
#include <QMenuBar>
#include <QPrinter>
#include <QRegularExpression>
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

class MainWindowFileTest : public test::MainWindowFixture {
    Q_OBJECT
private slots:
    void init() { StartClean(); }
    void cleanup() { Stop(); }

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

QTEST_MAIN(MainWindowFileTest)
#include "MainWindowFileTest.moc"
