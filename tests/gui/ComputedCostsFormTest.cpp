// The Computed Costs form through Compute Costs: the numbers it shows, the "Excluded" overlays,
// the gridlock messages, and its exports.
#include "views/ComputedCostsForm.h"
#include "../core/CoreTestSupport.h"
#include "GuiTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace velmora;

namespace {

// Runs Compute Costs on `project`, opened from `projectFile`; once the results form shows, `act`
// works on it and Cancel closes it. Returns the cells the form showed, empty when it did not
// open.
QStringList RunCompute(ProjectData& project,
                       const std::function<void(ComputedCostsForm&)>& act = {},
                       const QString& projectFile = {}) {
    QStringList cells;
    test::WhenModalShows([&](QWidget* modal) {
        auto* form = static_cast<ComputedCostsForm*>(modal);
        cells = test::ResultCells(*form);
        if (act) act(*form);
        form->reject();
    });
    ComputeCosts(project, nullptr, projectFile);
    return cells;
}

void ClickExport(ComputedCostsForm& form, int button = ComputedCostsForm::kExportAllData) {
    static_cast<QPushButton*>(form.Control(button))->click();
}

} // namespace

class ComputedCostsFormTest : public QObject {
    Q_OBJECT
private slots:
    void theDefaultProjectReads217And352() {
        ProjectData project;
        test::MessageRecorder messages;
        test::HelpRecorder help;
        const QStringList cells = RunCompute(project, [&](ComputedCostsForm& form) {
            QApplication::setActiveWindow(&form);
            if (!QTest::qWaitForWindowActive(&form)) return;
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
            test::SaveScreenshot(&form, "computed-costs-default");
        });
        QCOMPARE(
            cells,
            QString("0 0 0 0 0 88 57 40 32 217 0 217 0 0 0 0 0 88 88 88 88 352 0 352").split(' '));
        QVERIFY(messages.shown.isEmpty());
        QCOMPARE(help.topics, QStringList{"computed-costs"});
    }

    void theSwitchesDecideWhatIsExcluded() {
        // Only a damaged file holds a value other than 0 and 1; it excludes, as in the engine.
        const struct {
            int initial, rehab;
            // The user delay cells of both options, stage 0 to 3 and the subtotal, then both
            // totals; "X" for "Excluded".
            const char* cells;
        } kCases[] = {{0, 1, "88 X X X 88 88 X X X 88 88 88"},
                      {1, 0, "X 57 40 32 129 X 88 88 88 264 129 264"},
                      {1, 1, "X X X X X X X X X X 0 0"},
                      {7, 0, "X 57 40 32 129 X 88 88 88 264 129 264"},
                      {-1, 1, "X X X X X X X X X X 0 0"}};
        test::MessageRecorder messages;
        for (const auto& c : kCases) {
            ProjectData project;
            project.initialWzInclusion = c.initial;
            project.rehabWzInclusion = c.rehab;
            const QStringList cells = RunCompute(project);
            QCOMPARE((cells.mid(5, 5) + cells.mid(17, 5) + QStringList{cells[11], cells[23]})
                         .replaceInStrings("Excluded", "X"),
                     QString(c.cells).split(' '));
        }
    }

    void aGridlockedOptionIsReportedBeforeTheForm() {
        ProjectData project;
        project.aadt = 20000;
        project.trafficGrowth = 10;
        project.hmaWearingPrice = 50;
        project.asphaltStage[0].wearingThickness = 2;
        test::MessageRecorder messages;
        qsizetype before = -1;
        const QStringList cells =
            RunCompute(project, [&](ComputedCostsForm&) { before = messages.shown.size(); });
        // Only the asphalt option, whose later overlays carry the grown traffic, gridlocks.
        QCOMPARE(before, 1);
        QCOMPARE(messages.shown[0].text, QString(kGridlockText));
        QCOMPARE(cells.mid(5, 5), QString("0 0 0 0 0").split(' '));
        QVERIFY(cells[17] != "0");
        QCOMPARE(cells[11], cells[4]); // the total is the agency costs
    }

    void exportWritesTheReportOfTheRunAndAsksBeforeReplacingAFile() {
        QTemporaryDir dir;
        ProjectData project;
        project.asphaltMaintenance[0] = {"Crack sealing", 2, 500, 7, 0};
        test::MessageRecorder messages;
        test::FileDialogAnswers files;
        const QString typed = dir.filePath("lcca"); // no extension, and none is added
        for (int k = 0; k < 3; ++k) files.Answer(typed);
        files.Answer(""); // cancelled: nothing written, nothing said
        for (auto answer : {QMessageBox::Ok, QMessageBox::No, QMessageBox::Yes})
            messages.Answer(answer);
        QByteArray first;
        QVERIFY(!RunCompute(project, [&](ComputedCostsForm& form) {
                     ClickExport(form);
                     first = test::ReadAll(typed);
                     QFile(typed).resize(3);
                     ClickExport(form); // No: the file stays as it is
                     QCOMPARE(test::ReadAll(typed).size(), 3);
                     ClickExport(form);
                     ClickExport(form);
                 }).isEmpty());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"lcca"});
        QVERIFY(test::WithoutDateLine(test::ReadAll(typed).toStdString()) ==
                test::WithoutDateLine(first.toStdString()));
        QCOMPARE(messages.shown.size(), 4);
        QCOMPARE(messages.shown[3].text,
                 QString("Your life cycle cost analysis has been successfully exported."));
        QCOMPARE(messages.shown[1].text,
                 QDir::toNativeSeparators(typed) + " already exists.\nDo you want to replace it?");
        // The run's treatment counts are in the report even though the form was cancelled.
        QVERIFY(first.contains("\r\nCrack sealing\t2.00\t500.00\t7\t5\r\n"));
        QCOMPARE(project.asphaltMaintenance[0].treatmentCount, 0.0);
    }

    // The workbook holds the run the form shows: the user delay cells as well as the totals.
    void exportWorkbookWritesTheFormsTotals() {
        QTemporaryDir dir;
        const QString path = dir.filePath("lcca.xlsx");
        test::MessageRecorder messages;
        test::FileDialogAnswers files;
        files.Answer(path);
        ProjectData project; // heavy but settling traffic
        project.aadt = 30000;
        project.laneCount = 4;
        QVERIFY(!RunCompute(project, [&](ComputedCostsForm& form) {
                     test::SaveScreenshot(&form, "computed-costs-heavy");
                     ClickExport(form, ComputedCostsForm::kExportWorkbook);
                     QCOMPARE(test::WorkbookCell(path, 3, "F9"), test::ResultCells(form)[23]);
                     QCOMPARE(test::WorkbookCell(path, 3, "C3"), test::ResultCells(form)[5]);
                 }).isEmpty());
    }

    void aFailedExportSaysWhyAndKeepsTheOldReport() {
        QTemporaryDir dir;
        const QString kept = dir.filePath("kept.xls");
        test::WriteAll(kept, "previous report");
        // The file of the open project, under two other names.
        const QString projectFile = dir.filePath("project.vlm");
        test::WriteAll(projectFile, "project");
        QVERIFY(QFile::link(projectFile, dir.filePath("link.vlm")));
        const QString named[] = {dir.filePath("no such folder/lcca.xls"), dir.path(),
                                 dir.filePath("link.vlm"), dir.path() + "/./project.vlm", kept};
        test::MessageRecorder messages;
        test::FileDialogAnswers files;
        for (const QString& path : named) files.Answer(path);
        ProjectData project;
        RunCompute(
            project,
            [](ComputedCostsForm& form) {
                for (int k = 0; k < 4; ++k) ClickExport(form);
            },
            projectFile);
        // A title that a report cannot hold: the run still shows, the export stops.
        project.projectTitle = "Route \xe4\xb8\xad";
        RunCompute(project, [](ComputedCostsForm& form) { ClickExport(form); });
        QCOMPARE(messages.shown.size(), 5);
        for (int k = 0; k < 5; ++k) {
            const QString& text = messages.shown[k].text;
            QVERIFY2(
                text.startsWith("Cannot export to " + QDir::toNativeSeparators(named[k]) + ".\n"),
                qPrintable(text));
            QVERIFY(text.size() > text.indexOf('\n') + 1); // and the reason
        }
        QVERIFY(messages.shown[2].text.contains("open project"));
        QVERIFY(messages.shown[4].text.contains("projectTitle"));
        QCOMPARE(test::ReadAll(projectFile), QByteArray("project"));
        QCOMPARE(test::ReadAll(kept), QByteArray("previous report"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
                 QStringList({"kept.xls", "link.vlm", "project.vlm"}));
    }
};

QTEST_MAIN(ComputedCostsFormTest)
#include "ComputedCostsFormTest.moc"
