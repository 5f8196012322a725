// The Risk Analysis window's promises to the engineer: no value changes by a stray wheel, an
// unfinished entry is checked before Accept, Esc never drops edits unasked, the precision stop
// runs, the charts show both options whole, the figures copy as cells, and a run bent by
// refusals says so.
#include "RiskWindowDriver.h"
#include "forms/InputLabels.h"
#include "gui/FormNumbers.h"
#include "views/RiskResultsView.h"

#include <QApplication>
#include <QChartView>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTableView>
#include <QTableWidget>
#include <QValueAxis>
#include <QtTest>

using namespace velmora;
using namespace velmora::test;

namespace {

// A turn of the wheel, both ways, over the middle of every cell of `table`.
void WheelOverEveryCell(QTableView* table) {
    for (int r = 0; r < table->model()->rowCount(); ++r)
        for (int c = 0; c < table->model()->columnCount(); ++c)
            for (int delta : {120, -120}) {
                table->scrollTo(table->model()->index(r, c));
                const QPoint at = table->visualRect(table->model()->index(r, c)).center();
                QWheelEvent wheel(at, table->viewport()->mapToGlobal(at), {}, {0, delta},
                                  Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
                QApplication::sendEvent(table->viewport(), &wheel);
            }
}

} // namespace

class RiskWindowEditsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void theWheelNeverChangesAValue() {
        // Every example's definitions, each kind of distribution among them.
        for (const char* name : {"interstate", "route-9", "rural-two-lane", "urban-arterial"}) {
            W w(Example(name));
            w.show();
            const std::string before = w.DefinitionsText();
            QVERIFY(!before.empty());
            WheelOverEveryCell(Table(w, W::kInputs));
            WheelOverEveryCell(Table(w, W::kCorrelations));
            // An open list of distributions ignores the wheel too.
            QTableView* inputs = Table(w, W::kInputs);
            const QModelIndex kind = inputs->model()->index(0, W::Kind);
            inputs->setCurrentIndex(kind);
            inputs->edit(kind);
            QWidget* editor = inputs->indexWidget(kind);
            QVERIFY(editor);
            QWheelEvent wheel(QPointF(5, 5), editor->mapToGlobal(QPointF(5, 5)), {}, {0, -120},
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(editor, &wheel);
            QTest::keyClick(editor, Qt::Key_Return);
            QCOMPARE(w.DefinitionsText(), before);
        }
    }

    // Every number the Add list offers starts with a distribution the check accepts, on every
    // example: a start outside what Compute Costs accepts would greet the user with a refusal.
    void everyInputStartsWithinWhatComputeCostsAccepts() {
        std::vector<std::string> fields;
        for (const InputLabel& in : UncertainInputLabels()) fields.push_back(in.field);
        for (const char* name : {"interstate", "route-9", "rural-two-lane", "urban-arterial"}) {
            test::MessageRecorder messages;
            W w(Example(name, false));
            w.AddInputs(fields);
            QVERIFY2(messages.shown.isEmpty(),
                     qPrintable(name + (": " + messages.shown.value(0).text)));
            QCOMPARE(Table(w, W::kInputs)->model()->rowCount(), int(fields.size()));
        }
    }

    // Opened on each example, the window lies within the screen with every control on it, the
    // results included; with VELMORA_SCREENSHOT_DIR set, Route 9's pages are saved to look at.
    void theWindowFitsTheScreenOnEveryExample() {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const QString size = qEnvironmentVariable("VELMORA_SCREEN_NAME", "800x600");
        for (const char* name : {"interstate", "route-9", "rural-two-lane", "urban-arterial"}) {
            ProjectData project = Example(name);
            W w(project);
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QTest::qWait(20);
            QVERIFY2(screen.contains(w.geometry()), qPrintable(name));
            for (int id : {W::kAccept, W::kCancelChanges, W::kRun, W::kTypical, W::kSampling}) {
                QWidget* control = w.Control(id);
                QVERIFY(w.rect().contains(QRect(control->mapTo(&w, QPoint()), control->size())));
            }
            const bool save = name == std::string_view("route-9");
            if (save) test::SaveScreenshot(&w, QStringLiteral("risk-%1-definitions").arg(size));
            Enter(w, W::kIterations, "2000");
            QVERIFY(RunToEnd(w));
            QTest::qWait(20);
            QVERIFY2(screen.contains(w.geometry()), qPrintable(name));
            if (save) test::SaveScreenshot(&w, QStringLiteral("risk-%1-results").arg(size));
        }
    }

    void moneyIsGroupedInThousands() {
        const std::pair<double, const char*> cases[] = {{0, "0"},
                                                        {999.4, "999"},
                                                        {123456, "123,456"},
                                                        {-123456, "-123,456"},
                                                        {1234567.5, "1,234,568"},
                                                        {-1000, "-1,000"}};
        for (const auto& [value, text] : cases) QCOMPARE(GroupedNumber(value), QString(text));
    }

    void acceptChecksAnEntryLeftOpenAndEscAsksBeforeDiscarding() {
        test::MessageRecorder messages;
        W w(Example("route-9"));
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        const std::string opened = w.DefinitionsText();
        QTableView* inputs = Table(w, W::kInputs);
        const QModelIndex min = inputs->model()->index(0, W::Min);
        inputs->setCurrentIndex(min);
        inputs->edit(min);
        auto* editor = qobject_cast<QLineEdit*>(inputs->indexWidget(min));
        QVERIFY(editor);
        editor->setText("1e9");
        // Accept with the entry still open: it is checked, refused, and the window stays.
        static_cast<QPushButton*>(w.Control(W::kAccept))->click();
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY2(messages.shown[0].text.startsWith("Row 1 ("), qPrintable(messages.shown[0].text));
        QVERIFY(w.isVisible() && w.result() != QDialog::Accepted);
        QCOMPARE(w.DefinitionsText(), opened);

        // A change kept, then Esc: the question, and No keeps window and change.
        inputs->setCurrentIndex(min);
        inputs->edit(min);
        editor = qobject_cast<QLineEdit*>(inputs->indexWidget(min));
        const QString lower =
            QString::number(inputs->model()->index(0, W::Min).data().toDouble() - 1);
        editor->setText(lower);
        QTest::keyClick(editor, Qt::Key_Return);
        QCOMPARE(messages.shown.size(), 1);
        const std::string changed = w.DefinitionsText();
        QVERIFY(changed != opened);
        messages.Answer(QMessageBox::No);
        QTest::keyClick(&w, Qt::Key_Escape);
        QCOMPARE(messages.shown.size(), 2);
        QCOMPARE(messages.shown[1].text,
                 QStringLiteral("Discard the changes to the risk definitions?"));
        QVERIFY(w.isVisible());
        QCOMPARE(w.DefinitionsText(), changed);

        // During a run Esc stops the run only.
        Enter(w, W::kIterations, "5000000");
        Click(w, W::kRun);
        QTest::qWait(200);
        QVERIFY(w.Running());
        QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(w.isVisible());
        QCOMPARE(messages.shown.size(), 2);
        QTRY_VERIFY_WITH_TIMEOUT(w.Control(W::kRun)->isEnabled(), 20000);
    }

    void thePrecisionStopRunsFromTheWindow() {
        test::MessageRecorder messages;
        W w(Example("route-9"));
        w.show();
        auto* use = static_cast<QCheckBox*>(w.Control(W::kUsePrecision));
        use->click();
        QVERIFY(messages.shown.isEmpty());
        QVERIFY(w.Control(W::kPrecision)->isEnabled() && w.Control(W::kMaxIterations)->isEnabled());
        auto* precision = static_cast<QLineEdit*>(w.Control(W::kPrecision));
        QVERIFY(!precision->text().isEmpty());
        Enter(w, W::kPrecision, "20000");
        QVERIFY(RunToEnd(w));
        const risk::RiskAnalysis& a = *w.Results()->analysis;
        QCOMPARE(a.definitions.precision, std::optional<double>(20000.0));
        QVERIFY(a.precisionReached);
        QVERIFY(a.iterations < 1000000);
        // The bar counts what ran, as the window writes numbers.
        const QString counted =
            QString::number(a.iterations).insert(QString::number(a.iterations).size() - 3, ',');
        QVERIFY2(w.findChild<QProgressBar*>()->text().startsWith(counted + " of " + counted),
                 qPrintable(w.findChild<QProgressBar*>()->text()));
    }

    void theChartsShowBothOptionsAndTheFiguresCopyAsCells() {
        // Concrete spreads three times wider than asphalt.
        ProjectData project = Example("route-9", false);
        project.riskDefinitions = R"({"format": "velmora-risk", "version": 1, "inputs": [
          {"field": "hmaWearingPrice", "distribution": "triangular", "min": 60, "mode": 62, "max": 64},
          {"field": "concretePrice", "distribution": "uniform", "min": 30, "max": 120}],
          "iterations": 4000})";
        W w(project);
        w.show();
        QVERIFY(RunToEnd(w));
        const risk::RiskAnalysis& a = *w.Results()->analysis;
        RiskResultsView* view = w.ResultsView();
        QVERIFY(!view->OutOfDate());
        for (int k : {0, 1}) {
            const auto* axis =
                qobject_cast<QValueAxis*>(view->Charts()[k]->chart()->axes(Qt::Horizontal)[0]);
            for (const char* total : {"asphaltTotal", "concreteTotal"}) {
                const risk::Statistics& st = a.statistics[risk::ResultIndex(total)];
                QVERIFY2(axis->min() <= st.min && st.max <= axis->max(),
                         qPrintable(QStringLiteral("%1: %2..%3 outside %4..%5")
                                        .arg(total)
                                        .arg(st.min)
                                        .arg(st.max)
                                        .arg(axis->min())
                                        .arg(axis->max())));
            }
        }
        const auto* difference =
            qobject_cast<QValueAxis*>(view->Charts()[2]->chart()->axes(Qt::Horizontal)[0]);
        QVERIFY(difference->min() <= std::min(0.0, a.difference.min) &&
                std::max(0.0, a.difference.max) <= difference->max());

        QApplication::clipboard()->clear();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        view->Figures()->setFocus();
        QTest::keyClick(view->Figures(), Qt::Key_C, Qt::ControlModifier);
        const QStringList rows = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
        QCOMPARE(rows.size(), 9);
        QCOMPARE(rows[0], QStringLiteral("\tAsphalt total ($/mile)\tConcrete total ($/mile)\t"
                                         "Asphalt - concrete ($/mile)"));
        const QStringList mean = rows[1].split('\t');
        QCOMPARE(mean.size(), 4);
        QCOMPARE(mean[0], QStringLiteral("Mean"));
        QCOMPARE(mean[2].toLongLong(),
                 std::llround(a.statistics[risk::ResultIndex("concreteTotal")].mean));

        // A changed distribution marks the results as those of other definitions.
        QTableView* inputs = Table(w, W::kInputs);
        inputs->model()->setData(inputs->model()->index(1, W::Kind), 1, Qt::EditRole);
        QVERIFY(view->OutOfDate());
    }

    void aRunBentByRefusalsSaysSoInItsHeadline() {
        // Half the work zones are longer than the one-mile project.
        ProjectData project;
        project.riskDefinitions = R"({"format": "velmora-risk", "version": 1, "inputs": [
          {"field": "wzLength", "distribution": "uniform", "min": 0.5, "max": 1.5},
          {"field": "hmaWearingPrice", "distribution": "uniform", "min": 50, "max": 70}],
          "iterations": 2000})";
        W w(project);
        w.show();
        QVERIFY(RunToEnd(w));
        const QString warning = w.ResultsView()->Warning();
        QVERIFY2(warning.startsWith("Warning: Compute Costs refused "), qPrintable(warning));
        QVERIFY2(warning.contains("Work Zone Length (miles) from 1"), qPrintable(warning));
        QVERIFY2(!warning.contains("HMA Wearing"), qPrintable(warning));
        QVERIFY2(w.ResultsView()->Troubles().contains(" iterations ("),
                 qPrintable(w.ResultsView()->Troubles()));
    }
};

QTEST_MAIN(RiskWindowEditsTest)
#include "RiskWindowEditsTest.moc"
