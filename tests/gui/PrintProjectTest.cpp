// The printed report: what it holds for a computed, a gridlocked and a refused project, and that
// every page reaches the printer; and the gridlock note of the Cost Charts window.
#include "engine/Analysis.h"
#include "model/ProjectFile.h"
#include "model/SavedFields.h"
#include "views/CostChartsForm.h"
#include "views/PrintedReport.h"

#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

using namespace velmora;

namespace {

QString PrintedText(const ProjectData& project) {
    QTextDocument document;
    document.setHtml(PrintedReportHtml(project, 0));
    return document.toPlainText();
}

// Pages of a PDF file as Qt writes it: one "/Type /Page" object per page.
int PdfPages(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    return int(QString::fromLatin1(file.readAll())
                   .count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b"))));
}

void ToPdf(QPrinter& printer, const QString& path, QPageSize::PageSizeId size) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(size));
}

} // namespace

class PrintProjectTest : public QObject {
    Q_OBJECT
private slots:
    void theInputsAndTheCostsArePrintedAsTables() {
        ProjectData project;
        // Text the export cannot hold prints as typed.
        project.projectTitle = "Route 9 <north> \xe4\xb8\xad";
        project.asphaltMaintenance[0] = {"Crack sealing", 2, 500, 7, 0};
        const ProjectData before = project;
        const QString text = PrintedText(project);
        for (const char* expected :
             {"Route 9 <north> \xe4\xb8\xad", "Crack sealing", "Asphalt Option Total=", "217.00",
              "Concrete Option Total=", "352.00"})
            QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
        QVERIFY(!text.contains(kGridlockCaption));
        // The run's treatment count is printed; the record itself keeps everything it had.
        QVERIFY(PrintedReportHtml(project, 0).contains("<td align=\"right\">5</td>"));
        QVERIFY(SameSavedFields(project, before));
    }

    // The printed report and the Cost Charts window both note the gridlocked option, and only it.
    void aGridlockedOptionIsNotedInPrintAndInTheCharts() {
        ProjectData project;
        project.aadt = 20000;
        project.trafficGrowth = 10;
        QStringList notes{PrintedText(project)};
        PrepareAnalysis(project);
        const CostChartsForm charts(project, RunAnalysisOnCopy(project));
        QVERIFY(!charts.GridlockNote()->isHidden());
        for (const QString& note : notes << charts.GridlockNote()->text())
            QVERIFY(note.contains("Asphalt option: Gridlock.") &&
                    !note.contains("Concrete option: Gridlock."));
    }

    void aRefusedProjectPrintsItsInputsAndTheRefusal() {
        ProjectData project;
        project.wzLength = 2;
        project.asphaltStage[1].wzInclusion = WzInclusion::Exclude;
        const ProjectData before = project;
        const QString text = PrintedText(project);
        QVERIFY(text.contains("Please adjust either work zone or project length, or both."));
        QVERIFY(text.contains("Work Zone Length:"));
        QVERIFY(!text.contains("Option Total="));
        // Printing leaves even the stage flags that Compute Costs would rewrite.
        QCOMPARE(EncodeProject(project).bytes, EncodeProject(before).bytes);
    }

    void everyPageReachesThePrinter() {
        QTemporaryDir dir;
        ProjectData project;
        QPrinter a4;
        ToPdf(a4, dir.filePath("a4.pdf"), QPageSize::A4);
        PrintProject(a4, project);
        const int pages = PdfPages(dir.filePath("a4.pdf"));
        QVERIFY2(pages >= 3, qPrintable(QString::number(pages)));

        // The cost charts take a page after the text; a refused project has none to draw.
        ProjectData tooLong;
        tooLong.wzLength = 2;
        QPrinter charts;
        ToPdf(charts, dir.filePath("charts.pdf"), QPageSize::A4);
        QCOMPARE(PrintDocument(charts, PrintedReportHtml(project, 0), "Untitled",
                               std::vector{*CostChartsPage(project)}),
                 pages);
        QVERIFY(!CostChartsPage(tooLong));

        // On smaller paper, more pages, and every one of them in the file.
        const QString html = PrintedReportHtml(project, 0);
        QPrinter a6;
        ToPdf(a6, dir.filePath("a6.pdf"), QPageSize::A6);
        const int smaller = PrintDocument(a6, html, "Untitled");
        QVERIFY(smaller > pages - 1);
        QCOMPARE(PdfPages(dir.filePath("a6.pdf")), smaller);

        // A printer that cannot start prints nothing and says so by its count.
        QPrinter nowhere;
        ToPdf(nowhere, dir.filePath("no such folder/x.pdf"), QPageSize::A4);
        QCOMPARE(PrintDocument(nowhere, html, "Untitled"), 0);
    }
};

QTEST_MAIN(PrintProjectTest)
#include "PrintProjectTest.moc"
