// The printed report: the decision on page 1, what it holds for a computed, a gridlocked and a
// refused project, tables kept whole, and that every page reaches the printer; and the gridlock
// note of the Cost Charts window.
#include "GuiTestSupport.h"
#include "RiskWindowDriver.h"
#include "engine/Analysis.h"
#include "forms/InputLabels.h"
#include "model/ProjectFile.h"
#include "model/SavedFields.h"
#include "report/DecisionSummary.h"
#include "report/NumberText.h"
#include "report/WorkZoneReport.h"
#include "views/CostChartsForm.h"
#include "views/PrintedReport.h"

#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace velmora;

namespace {

struct Printed {
    int count = 0;
    QString text;
    QStringList pages; // each with its blanks and line breaks run together
};

// Where the PDFs go: VELMORA_SCREENSHOT_DIR keeps them, to be looked at.
QString Folder() {
    static QTemporaryDir scratch;
    return qEnvironmentVariable("VELMORA_SCREENSHOT_DIR", scratch.path());
}

Printed Print(const ProjectData& project, const QString& name,
              QPageSize::PageSizeId size = QPageSize::Letter,
              const risk::RiskAnalysis* risk = nullptr) {
    const QString pdf = Folder() + '/' + name;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    PreparePrinter(printer, project);
    printer.setPageSize(QPageSize(size));
    Printed printed{PrintProject(printer, project, risk, 0), {}, {}};
    if (printed.count > 0) printed.text = test::PdfText(pdf);
    for (const QString& page : printed.text.split(u'\f', Qt::SkipEmptyParts))
        if (!page.trimmed().isEmpty()) printed.pages << page.simplified();
    return printed;
}

constexpr const char* kPlannerSettings =
    R"({"format": "velmora-workzone", "version": 1, "maxDelayMinutes": 30, "closureCost": 2500})";

// A table's heading and its total are never on different pages.
bool TablesWhole(const Printed& printed) {
    for (const QString& page : printed.pages)
        for (const QString option : {"Asphalt", "Concrete"})
            if (page.contains("COMPUTED COSTS - " + option.toUpper()) !=
                page.contains(option + " Option Total="))
                return false;
    return true;
}

} // namespace

class PrintProjectTest : public QObject {
    Q_OBJECT

private slots:
    void pageOneCarriesTheDecisionAndTheRestKeepsTablesWhole() {
        ProjectData project = test::Example("route-9");
        project.projectDescription = "Line one\nLine two";
        const ProjectData before = project;
        const Printed printed = Print(project, ("route9.pdf"));
        QVERIFY(printed.count >= 4);
        QCOMPARE(printed.pages.size(), printed.count);
        const QString& first = printed.pages[0];
        for (const char* expected :
             {"Concrete is the cheaper option by $61,672 per mile (2.7 % of the asphalt total) in "
              "net present value over 40 years at 4.00 %",
              "Total (net present value) 2,289,636 2,227,964 61,672",
              "Analysis period 40 years, discount rate 4.00 %"})
            QVERIFY2(first.contains(QString::fromUtf8(expected)), qPrintable(first));
        // The description as typed, its line break kept.
        QVERIFY(printed.text.contains(QRegularExpression("Line one *\\n *Line two")));
        const QString all = printed.pages.join(u' ');
        // Whole dollars with separators; labels that name what they print; no empty rows.
        QVERIFY(all.contains("Initial Construction 1,751,806 19,920"));
        QVERIFY(all.contains("Joint Sealing, ft") && all.contains("Concrete Grinding:"));
        QVERIFY(!all.contains("Joint Sealing, sy") && !all.contains("Concrete Milling:"));
        QVERIFY(!all.contains("Enter description") && all.contains("Crack sealing"));
        for (int k = 0; k < printed.count; ++k) {
            const QString footer = QStringLiteral("%1 - Page %2 of %3")
                                       .arg(QString::fromStdString(project.projectTitle))
                                       .arg(k + 1)
                                       .arg(printed.count);
            QVERIFY2(printed.pages[k].contains(footer), qPrintable(printed.pages[k]));
        }
        QVERIFY(TablesWhole(printed));
        const QString facts = test::Output("pdfinfo", {Folder() + "/route9.pdf"}).simplified();
        QVERIFY2(facts.contains("Title: Route 9 reconstruction") &&
                     facts.contains("Creator: Velmora"),
                 qPrintable(facts));
        QVERIFY(SameSavedFields(project, before));
    }

    void riskResultsAddHowSureAndTheirChartsWithWholeNames() {
        const ProjectData project = test::Example("route-9");
        risk::RiskDefinitions d = risk::ParseRiskDefinitions(project.riskDefinitions).definitions;
        d.iterations = 300;
        const risk::RiskAnalysis a = test::Simulate(project, d);
        const Printed printed = Print(project, "route9-risk.pdf", QPageSize::A4, &a);
        QVERIFY(printed.count > Print(project, "route9-a4.pdf", QPageSize::A4).count);
        const QString first = printed.pages[0];
        QVERIFY2(first.contains(QString::fromStdString(CheaperOptionSentence(a.asphaltCheaper))),
                 qPrintable(first));
        QVERIFY(first.contains("Difference (asphalt - concrete)") || first.contains("Diﬀerence"));
        // The tornado names its inputs in full, over two lines where they are long.
        const QString charts = printed.pages.mid(1).join(u' ');
        for (std::size_t k = 0; k < std::min<std::size_t>(10, a.swings.size()); ++k) {
            const QString label = LabelOfInput(a.swings[k].field);
            QVERIFY2(charts.contains(label.mid(label.lastIndexOf(": ") + 2)), qPrintable(label));
        }
    }

    // The printed report and the Cost Charts window both note the gridlocked option, and only it.
    void aGridlockIsNamedOnPageOneAndInTheCharts() {
        ProjectData project;
        project.aadt = 20000;
        project.trafficGrowth = 10;
        const QString first = Print(project, ("gridlock.pdf")).pages.value(0);
        QVERIFY2(first.contains("Gridlock: the work zone queue of the asphalt option") &&
                     !first.contains("of the concrete option grows"),
                 qPrintable(first));
        PrepareAnalysis(project);
        const CostChartsForm charts(project, RunAnalysisOnCopy(project));
        QVERIFY(charts.GridlockNote()->text().contains("Asphalt option: Gridlock.") &&
                !charts.GridlockNote()->text().contains("Concrete option: Gridlock."));
    }

    // Planner settings add pages of their own between the cash flows and the inputs, leaving
    // every other page as it was: the settings, the drawn day, and each stage's three best
    // windows and the project's as the planner finds them.
    void plannerSettingsAddTheWorkZonePages() {
        ProjectData project = test::Example("route-9");
        const Printed plain = Print(project, "route9-plain.pdf");
        project.workZonePlanner = kPlannerSettings;
        const Printed printed = Print(project, "route9-workzone.pdf");
        const auto first = [&](const char* heading) {
            for (int k = 0; k < printed.pages.size(); ++k)
                if (printed.pages[k].contains(heading)) return k;
            return -1;
        };
        const int from = first("WORK ZONE PLANNER"), to = first("GENERAL PROJECT INFORMATION");
        QVERIFY(first("CASH FLOW") < from && from < to);
        QCOMPARE(printed.count - (to - from), plain.count);
        QVERIFY(!plain.text.contains("WORK ZONE PLANNER"));
        const QString page = printed.pages.mid(from, to - from).join(u' ');
        QVERIFY2(page.contains("limits: delay 30 minutes; closure cost $2,500 each time.") &&
                     page.contains("0 3 6 9 12 15 18 21 24 Hour of the day"),
                 qPrintable(page));
        const std::optional<WorkZoneReport> plan = PlanWorkZones(project);
        QVERIFY(plan);
        for (int option = 0; option < 2; ++option)
            for (const planner::StageSearch& s : plan->run.options[option].stages) {
                const QString heading = QStringLiteral("%1, %2 (year %3)")
                                            .arg(OptionName(option), StageName(option, s.stage))
                                            .arg(s.year);
                for (const auto& [label, c] : {std::pair{"Best", s.candidates[0]},
                                               {"2nd", s.candidates[1]},
                                               {"Project's", s.projectWindow}}) {
                    const QString row =
                        QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                            .arg(label, QString::fromStdString(planner::WindowText(c.window)))
                            .arg(c.hours)
                            .arg(c.days)
                            .arg(QString::fromStdString(WholeNumber(c.userCost)),
                                 QString::fromStdString(WholeNumber(c.closureCost)),
                                 QString::fromStdString(WholeNumber(c.total)));
                    const int at = page.indexOf(heading);
                    QVERIFY2(at >= 0 && page.indexOf(row, at) > at, qPrintable(heading + row));
                }
            }
    }

    void aRefusedProjectPrintsTheRefusalAndItsInputsOnly() {
        ProjectData project;
        project.wzLength = 2;
        project.asphaltStage[1].wzInclusion = WzInclusion::Exclude;
        project.workZonePlanner = kPlannerSettings;
        const ProjectData before = project;
        const Printed printed = Print(project, ("refused.pdf"));
        QVERIFY(printed.pages.value(0).contains(
            "Please adjust either work zone or project length, or both."));
        const QString all = printed.pages.join(u' ');
        QVERIFY(all.contains("Work Zone Length:"));
        QVERIFY(!all.contains("cheaper") && !all.contains("Option Total=") &&
                !all.contains("CASH FLOW") && !all.contains("WORK ZONE PLANNER"));
        // Printing leaves even the stage flags that Compute Costs would rewrite.
        QCOMPARE(EncodeProject(project).bytes, EncodeProject(before).bytes);
    }

    void everyPageReachesThePrinter() {
        ProjectData project;
        // Paper as the user's locale has it.
        for (const auto& [locale, size] :
             {std::pair{QLocale(QLocale::English, QLocale::UnitedStates), QPageSize::Letter},
              std::pair{QLocale(QLocale::German, QLocale::Germany), QPageSize::A4}}) {
            QLocale::setDefault(locale);
            QPrinter printer;
            PreparePrinter(printer, project);
            QCOMPARE(printer.pageLayout().pageSize().id(), size);
        }
        QLocale::setDefault(QLocale::system());
        const int letter = Print(project, "letter.pdf").count;
        // On smaller paper, more pages, and every one of them in the file.
        const Printed a6 = Print(project, "a6.pdf", QPageSize::A6);
        QVERIFY(a6.count > letter);
        QCOMPARE(a6.pages.size(), a6.count);
        QVERIFY(TablesWhole(a6));
        // A description longer than a page runs on over pages of its own, no line lost.
        for (int k = 1; k <= 150; ++k)
            project.projectDescription += "Line " + std::to_string(k) + "\n";
        const Printed longer = Print(project, ("long.pdf"));
        QVERIFY(longer.count > letter + 1);
        QVERIFY(longer.pages.join(u' ').contains("Line 149 Line 150"));
        // A printer that cannot start prints nothing and says so by its count.
        QCOMPARE(Print(project, ("no such folder/x.pdf")).count, 0);
    }
};

QTEST_MAIN(PrintProjectTest)
#include "PrintProjectTest.moc"
