// The Cost Charts window: its bars against the Computed Costs results, the cash flow against the
// engine's list, a refused project, the pictures it saves, and its page in the printout.
#include "forms/CostChartsForm.h"
#include "GuiTestSupport.h"
#include "cli/Cli.h"
#include "engine/CashFlow.h"
#include "forms/ComputedCostsForm.h"
#include "gui/ChartPicture.h"
#include "model/ProjectFile.h"

#include <QAbstractBarSeries>
#include <QApplication>
#include <QBarSet>
#include <QChartView>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <numeric>
#include <sstream>

using namespace velmora;

namespace {

// The default project after the NAME=VALUE lines of tests/data/`name`.
ProjectData ProjectFromSet(const QString& name) {
    ProjectData project;
    const QStringList lines =
        QString::fromUtf8(test::ReadAll(QStringLiteral(VELMORA_TEST_DATA "/") + name)).split('\n');
    std::ostringstream err;
    for (const QString& line : lines)
        if (!line.isEmpty() && !line.startsWith('#'))
            if (!cli::ApplySet(project, line.toStdString(), err)) qWarning() << err.str().c_str();
    return project;
}

// A project whose asphalt option queues heavily and whose first overlay starts in mid-year.
ProjectData QueuedProject() {
    ProjectData project = ProjectFromSet("report-priced.set");
    project.aadt = 30000;
    project.asphaltStage[1].year = 12.5;
    return project;
}

ProjectData Example(const QString& name) {
    ProjectData project;
    const QByteArray bytes =
        test::ReadAll(QStringLiteral(VELMORA_TEST_DATA "/../../examples/") + name);
    [&] { QVERIFY(DecodeProject(std::string_view(bytes.data(), bytes.size()), project).ok()); }();
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

// Each option's bar, summed by kind: agency, user delay, maintenance; then the whole bar.
std::array<std::array<double, 4>, 2> BarSums(CostChartsForm& charts) {
    std::array<std::array<double, 4>, 2> sums{};
    const auto plotted = Plotted(charts.CostView());
    for (auto it = plotted.begin(); it != plotted.end(); ++it) {
        const int kind = it.key().startsWith("Agency") ? 0 : it.key().startsWith("User") ? 1 : 2;
        for (int option = 0; option < 2; ++option) {
            sums[option][kind] += it.value()[option];
            sums[option][3] += it.value()[option];
        }
    }
    return sums;
}

std::array<std::array<double, 4>, 2> ResultSums(const CostResults& results) {
    std::array<std::array<double, 4>, 2> sums{};
    for (int option = 0; option < 2; ++option) {
        const OptionCosts& r = results[option];
        sums[option] = {r.agencySubtotal, r.userSubtotal, r.maintenanceCost, r.total};
    }
    return sums;
}

} // namespace

class CostChartsFormTest : public QObject {
    Q_OBJECT
private slots:
    // From the Analysis menu on a copy of the project, and from Charts... on the results form
    // with the run that form shows.
    void theBarsAreTheComputedCostsResults_data() {
        QTest::addColumn<QString>("example"); // empty: the queued project
        QTest::addColumn<bool>("fromResults");
        QTest::newRow("Analysis menu") << QString() << false;
        QTest::newRow("Charts... on Computed Costs") << QString() << true;
        QTest::newRow("route 9 example") << "route-9.vlm" << false;
    }
    void theBarsAreTheComputedCostsResults() {
        QFETCH(QString, example);
        QFETCH(bool, fromResults);
        ProjectData project = example.isEmpty() ? QueuedProject() : Example(example);
        const ProjectData before = project;
        test::MessageRecorder messages;
        test::HelpRecorder help;
        CostResults shown{};
        std::array<std::array<double, 4>, 2> bars{};
        QMap<QString, QList<qreal>> plotted;
        const auto read = [&](QWidget* modal) {
            auto* charts = static_cast<CostChartsForm*>(modal);
            bars = BarSums(*charts);
            plotted = Plotted(charts->CostView());
            QApplication::setActiveWindow(charts);
            if (QTest::qWaitForWindowActive(charts))
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
            if (!example.isEmpty()) {
                charts->resize(1000, 820);
                test::SaveScreenshot(charts, "cost-charts");
            }
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
        QCOMPARE(bars, ResultSums(shown));
        QVERIFY(bars[0][1] > 0 && bars[1][1] > 0); // the queues cost something
        QVERIFY(bars[0][3] > 100000);
        // Each stage under the name the legend gives it.
        for (int k = 0; k < 4; ++k) {
            const char* stage[] = {"Initial Construction", "1st Overlay / Rehabilitation",
                                   "2nd Overlay / Rehabilitation", "3rd Overlay / Rehabilitation"};
            QCOMPARE(plotted.value(QString("Agency, ") + stage[k]),
                     (QList<qreal>{shown[0].agency[k], shown[1].agency[k]}));
            QCOMPARE(plotted.value(QString("User Delay, ") + stage[k]),
                     (QList<qreal>{shown[0].user[k], shown[1].user[k]}));
        }
        QVERIFY(messages.shown.isEmpty());
        QCOMPARE(help.topics, QStringList{"cost-charts"});
        if (!fromResults) QCOMPARE(project.aadt, before.aadt);
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
                const QString kinds[] = {"Agency", "User Delay", "Maintenance"};
                for (int kind = 0; kind < 3; ++kind) {
                    double expected = 0;
                    for (const CashFlow& flow : flows)
                        if (flow.option == option && int(flow.kind) == kind)
                            expected += discounted ? flow.discounted : flow.undiscounted;
                    QVERIFY(expected > 0);
                    QVERIFY2(qAbs(Sum(plotted[kinds[kind]]) - expected) < 1e-6 * expected,
                             qPrintable(kinds[kind]));
                }
                // Discounted, the years add up to the option's total, each part rounded once.
                if (discounted) {
                    double all = 0;
                    for (const auto& values : plotted) all += Sum(values);
                    QVERIFY(qAbs(all - run.results[option].total) <= 2);
                }
            }
            // The overlay of year 12.5 is spent in year 12.
            const auto asphalt = Plotted(charts.CashFlowView(0))["Agency"];
            QVERIFY(asphalt[12] > 0);
            QCOMPARE(asphalt[13], 0.0);
        }
    }

    void aGridlockIsSaidInTheWindow() {
        ProjectData project;
        project.aadt = 20000;
        project.trafficGrowth = 10;
        PrepareAnalysis(project);
        const AnalysisResult run = RunAnalysisOnCopy(project);
        CostChartsForm charts(project, run);
        QVERIFY(!charts.GridlockNote()->isHidden());
        QVERIFY(charts.GridlockNote()->text().contains("Asphalt option: Gridlock."));
        QVERIFY(!charts.GridlockNote()->text().contains("Concrete option"));
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
        QVERIFY(messages.shown[0].text.contains("Please adjust either work zone"));
    }

    void picturesAreCopiedOrSavedAsPngOrSvgAndAFailureIsSaid() {
        QTemporaryDir dir;
        ProjectData project = QueuedProject();
        PrepareAnalysis(project);
        const AnalysisResult run = RunAnalysisOnCopy(project);
        CostChartsForm charts(project, run);
        charts.show();
        QVERIFY(QTest::qWaitForWindowExposed(&charts));
        QWidget* view = charts.CostView();
        // Ctrl+C on a chart with the focus copies its picture.
        QApplication::clipboard()->clear();
        QApplication::setActiveWindow(&charts);
        view->setFocus();
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->image().size(),
                 view->size() * view->devicePixelRatio());
        test::MessageRecorder messages;
        test::FileDialogAnswers files;
        files.Answer(dir.filePath("bars"));
        files.Answer(dir.filePath("bars.svg"));
        files.Answer(dir.filePath("no such folder/bars.png"));
        QCOMPARE(SavePictureAs(view, "cost-by-stage"), dir.filePath("bars.png"));
        QCOMPARE(QImage(dir.filePath("bars.png")).size(), view->size() * view->devicePixelRatio());
        QCOMPARE(SavePictureAs(view, "cost-by-stage"), dir.filePath("bars.svg"));
        const QByteArray svg = test::ReadAll(dir.filePath("bars.svg"));
        QVERIFY(svg.contains("<svg") && svg.contains("</svg>"));
        QVERIFY(messages.shown.isEmpty());
        QCOMPARE(files.requests[0].initialName, QString("cost-by-stage.png"));

        QCOMPARE(SavePictureAs(view, "cost-by-stage"), QString());
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(messages.shown[0].text.startsWith("Cannot save the picture to"));
        QVERIFY(messages.shown[0].text.contains("bars.png"));
        charts.close();
    }
};

QTEST_MAIN(CostChartsFormTest)
#include "CostChartsFormTest.moc"
