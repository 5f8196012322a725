// The Cost Charts window: its bars against the Computed Costs results, the cash flow against the
// engine's list, a refused project, and the pictures it saves.
#include "views/CostChartsForm.h"
#include "../core/CoreTestSupport.h"
#include "GuiTestSupport.h"
#include "engine/CashFlow.h"
#include "gui/ChartPicture.h"
#include "views/ComputedCostsForm.h"

#include <QAbstractBarSeries>
#include <QApplication>
#include <QBarSet>
#include <QChartView>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <numeric>

using namespace velmora;

namespace {

// A project whose asphalt option queues heavily and whose first overlay starts in mid-year.
ProjectData QueuedProject() {
    ProjectData project;
    std::ostringstream err;
    for (const std::string& line : test::DataLines("report-priced.set"))
        if (!cli::ApplySet(project, line, err)) qWarning() << err.str().c_str();
    project.aadt = 30000;
    project.asphaltStage[1].year = 12.5;
    return project;
}

// The plotted values of a chart, by the legend's name of each stack part.
QMap<QString, QList<qreal>> Plotted(QChartView* view) {
    QMap<QString, QList<qreal>> values;
    for (QAbstractSeries* series : view->chart()->series())
        for (QBarSet* set : static_cast<QAbstractBarSeries*>(series)->barSets())
            for (int k = 0; k < set->count(); ++k) values[set->label()].append(set->at(k));
    return values;
}

double Sum(const QList<qreal>& values) {
    return std::accumulate(values.begin(), values.end(), 0.0);
}

// What the bar chart must plot for `r`: each stage under the name the legend gives it.
QMap<QString, QList<qreal>> Expected(const CostResults& r) {
    const char* stages[] = {"Initial Construction", "1st Overlay / Rehabilitation",
                            "2nd Overlay / Rehabilitation", "3rd Overlay / Rehabilitation"};
    QMap<QString, QList<qreal>> bars{
        {"Recurring Maintenance", {r[0].maintenanceCost, r[1].maintenanceCost}}};
    for (int k = 0; k < 4; ++k) {
        bars[QString("Agency, ") + stages[k]] = {r[0].agency[k], r[1].agency[k]};
        bars[QString("User Delay, ") + stages[k]] = {r[0].user[k], r[1].user[k]};
    }
    return bars;
}

} // namespace

class CostChartsFormTest : public QObject {
    Q_OBJECT
private slots:
    void theBarsAreTheComputedCostsResults_data() {
        QTest::addColumn<bool>("fromResults");
        QTest::newRow("Analysis menu") << false;
        QTest::newRow("Charts... on Computed Costs") << true;
    }
    void theBarsAreTheComputedCostsResults() {
        QFETCH(bool, fromResults);
        ProjectData project = QueuedProject();
        const ProjectData before = project;
        test::MessageRecorder messages;
        CostResults shown{};
        QMap<QString, QList<qreal>> plotted;
        const auto read = [&](QWidget* modal) {
            auto* charts = static_cast<CostChartsForm*>(modal);
            plotted = Plotted(charts->CostView());
            charts->resize(1000, 820);
            test::SaveScreenshot(charts, "cost-charts");
            charts->reject();
        };
        if (fromResults) {
            test::WhenModalShows([&](QWidget* modal) {
                auto* form = static_cast<ComputedCostsForm*>(modal);
                shown = form->Run().results;
                test::WhenModalShows(read);
                static_cast<QPushButton*>(form->Control(ComputedCostsForm::kCharts))->click();
                form->reject();
            });
            ComputeCosts(project);
        } else {
            test::WhenModalShows(read);
            CostCharts(project);
            ProjectData copy = project;
            PrepareAnalysis(copy);
            shown = RunAnalysisOnCopy(copy).results;
        }
        QCOMPARE(plotted, Expected(shown));
        QVERIFY(shown[0].userSubtotal > 0 && shown[1].userSubtotal > 0); // the queues cost
        QVERIFY(messages.shown.isEmpty());
        QCOMPARE(project.aadt, before.aadt);
    }

    void theCashFlowIsTheEnginesByYear() {
        ProjectData project = QueuedProject();
        PrepareAnalysis(project);
        const AnalysisResult run = RunAnalysisOnCopy(project);
        const std::vector<CashFlow> flows = CashFlows(project, run);
        CostChartsForm charts(project, run);
        for (bool discounted : {false, true}) {
            (discounted ? charts.DiscountedButton() : charts.UndiscountedButton())->click();
            for (int option = 0; option < 2; ++option) {
                const auto plotted = Plotted(charts.CashFlowView(option));
                QVERIFY(charts.CashFlowView(option)->chart()->title().contains(
                    discounted ? ", discounted cash flow:" : ", undiscounted cash flow:"));
                const QString kinds[] = {"Agency", "User Delay", "Maintenance"};
                double all = 0;
                for (int kind = 0; kind < 3; ++kind) {
                    double expected = 0;
                    for (const CashFlow& flow : flows)
                        if (flow.option == option && int(flow.kind) == kind)
                            expected += discounted ? flow.discounted : flow.undiscounted;
                    QVERIFY(expected > 0);
                    all += Sum(plotted[kinds[kind]]);
                    QVERIFY2(qAbs(Sum(plotted[kinds[kind]]) - expected) < 1e-6 * expected,
                             qPrintable(kinds[kind]));
                }
                // Discounted, the years add up to the option's total, each part rounded once.
                if (discounted) QVERIFY(qAbs(all - run.results[option].total) <= 2);
            }
            // The overlay of year 12.5 is spent in year 12.
            const auto asphalt = Plotted(charts.CashFlowView(0))["Agency"];
            QVERIFY(asphalt[12] > 0 && asphalt[13] == 0.0);
        }
    }

    void aRefusedProjectOpensNoCharts() {
        ProjectData project;
        project.wzLength = 2;
        test::MessageRecorder messages;
        QWidget* opened = nullptr;
        QTimer::singleShot(0, [&] {
            if ((opened = QApplication::activeModalWidget())) opened->close();
        });
        CostCharts(project);
        QTest::qWait(10);
        QVERIFY(!opened);
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].caption, QString("Work Zone Length Exceeds Project Length"));
    }

    void picturesAreSavedAsPngOrSvgAndAFailureIsSaid() {
        QTemporaryDir dir;
        ProjectData project = QueuedProject();
        PrepareAnalysis(project);
        CostChartsForm charts(project, RunAnalysisOnCopy(project));
        charts.show();
        QVERIFY(QTest::qWaitForWindowExposed(&charts));
        QWidget* view = charts.CostView();
        const QSize pixels = view->size() * view->devicePixelRatio();
        test::MessageRecorder messages;
        test::FileDialogAnswers files;
        for (const char* name : {"bars", "bars.svg", "no such folder/bars.png"})
            files.Answer(dir.filePath(name));
        QCOMPARE(SavePictureAs(view, "cost-by-stage"), dir.filePath("bars.png"));
        QCOMPARE(QImage(dir.filePath("bars.png")).size(), pixels);
        QCOMPARE(SavePictureAs(view, "cost-by-stage"), dir.filePath("bars.svg"));
        // The title is one run of text, which no other program's font can pull apart.
        QVERIFY(test::ReadAll(dir.filePath("bars.svg"))
                    .contains(">Net present value by stage, $ per mile, current dollars<"));
        QVERIFY(messages.shown.isEmpty());
        QCOMPARE(SavePictureAs(view, "cost-by-stage"), QString());
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(messages.shown[0].text.startsWith("Cannot save the picture to"));
    }
};

QTEST_MAIN(CostChartsFormTest)
#include "CostChartsFormTest.moc"
