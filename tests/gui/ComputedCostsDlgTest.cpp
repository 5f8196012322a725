// The Computed Costs form through Compute Costs: the numbers it shows, the "Excluded" overlays,
// the gridlock messages, OK and Cancel, and Export All Data.
#include "CComputedCostsDlg.h"
#include "Cli.h"
#include "Forms.h"
#include "GuiTestSupport.h"
#include "model/ProjectFile.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <sstream>

using namespace velmora;

namespace {

// Stages 0 to 3, then the subtotal.
const int kAsphaltUser[] = {1019, 1024, 1025, 1026, 1023};
const int kAsphaltOverlay[] = {1068, 1070, 1071, 1072, 1073};
const int kConcreteUser[] = {1029, 1031, 1032, 1033, 1030};
const int kConcreteOverlay[] = {1076, 1077, 1078, 1079, 1080};
const int kAgencyAndMaintenance[] = {1013, 1015, 1016, 1017, 1018, 1035,
                                     1020, 1021, 1022, 1027, 1028, 1036};
const int kAsphaltTotal = 1014;
const int kConcreteTotal = 1034;

// What the form showed while it was open.
struct Seen {
    bool shown = false;
    QHash<int, QString> text;
    QHash<int, bool> visible;
    QStringList messagesBefore; // captions of the message boxes shown before the form appeared

    QString Text(int id) const { return text.value(id, "<none>"); }
    // "Excluded" in place of a user delay field, or the field's number.
    QString Cell(int edit, int overlay) const {
        if (visible.value(edit) == visible.value(overlay)) return "<both or neither>";
        return visible.value(overlay) ? Text(overlay) : Text(edit);
    }
};

// Runs Compute Costs on `project`; while the results form is open, records it, lets `act` work
// on it, then closes it with OK or Cancel.
Seen RunCompute(ProjectData& project, bool ok, test::MessageRecorder& messages,
                const std::function<void(CComputedCostsDlg&)>& act = {}) {
    Seen seen;
    test::WhenModalShows([&](QWidget* modal) {
        auto* form = qobject_cast<CComputedCostsDlg*>(modal);
        if (!form) return modal->close(), void();
        seen.shown = true;
        for (const ShownMessage& m : messages.shown) seen.messagesBefore << m.caption;
        for (int id = 1; id < 1100; ++id) {
            QWidget* control = form->Control(id);
            if (!control) continue;
            seen.visible[id] = control->isVisible();
            if (auto* edit = qobject_cast<QLineEdit*>(control)) seen.text[id] = edit->text();
            if (auto* label = qobject_cast<QLabel*>(control)) seen.text[id] = label->text();
            if (auto* button = qobject_cast<QPushButton*>(control)) seen.text[id] = button->text();
        }
        if (act) act(*form);
        ok ? form->accept() : form->reject();
    });
    ComputeCosts(project);
    return seen;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray WithoutDateLine(QByteArray bytes) {
    const qsizetype start = bytes.indexOf("\r\nDate and Time:\t");
    const qsizetype end = bytes.indexOf("\r\n", start + 2);
    return start < 0 || end < 0 ? bytes : bytes.remove(start, end - start);
}

} // namespace

class ComputedCostsDlgTest : public QObject {
    Q_OBJECT
private slots:
    void theDefaultProjectReads217And352() {
        ProjectData project;
        test::MessageRecorder messages;
        test::HelpRecorder help;
        QString caption, groups;
        QStringList tabOrder; // from the focused control on
        const Seen seen = RunCompute(project, true, messages, [&](CComputedCostsDlg& form) {
            caption = form.windowTitle();
            for (auto* box : form.findChildren<QGroupBox*>()) groups += box->title() + "|";
            QApplication::setActiveWindow(&form);
            if (!QTest::qWaitForWindowActive(&form)) return;
            QWidget* w = QApplication::focusWidget();
            QTest::keyClick(w, Qt::Key_F1);
            for (; w && tabOrder.size() < 5; w = w->nextInFocusChain()) {
                if (!(w->focusPolicy() & Qt::TabFocus)) continue;
                if (auto* button = qobject_cast<QPushButton*>(w)) tabOrder << button->text();
                if (auto* edit = qobject_cast<QLineEdit*>(w))
                    tabOrder << QString("%1 %2 %3")
                                    .arg(form.Control(1013) == edit ? "1013" : "?")
                                    .arg(edit->isReadOnly() ? "read-only" : "editable")
                                    .arg(edit->alignment() & Qt::AlignRight ? "right" : "left");
            }
            test::SaveScreenshot(&form, "computed-costs-default");
        });
        QVERIFY(seen.shown);
        QVERIFY(messages.shown.isEmpty());
        QCOMPARE(caption, QString("Computed Costs (F1=Full Help)"));
        QVERIFY(groups.contains("ASPHALT OPTION:  NET PRESENT VALUE, $/ MILE, CURRENT DOLLARS|"));
        QVERIFY(groups.contains("CONCRETE OPTION:  NET PRESENT VALUE, $/ MILE, CURRENT DOLLARS|"));
        QCOMPARE(help.topics, QStringList{"computed-costs"});

        const QString asphalt[] = {"88", "57", "40", "32", "217"};
        for (int k = 0; k < 5; ++k) {
            QCOMPARE(seen.Cell(kAsphaltUser[k], kAsphaltOverlay[k]), asphalt[k]);
            QCOMPARE(seen.Cell(kConcreteUser[k], kConcreteOverlay[k]), k < 4 ? "88" : "352");
        }
        for (int id : kAgencyAndMaintenance) QCOMPARE(seen.Text(id), QString("0"));
        QCOMPARE(seen.Text(kAsphaltTotal), QString("217"));
        QCOMPARE(seen.Text(kConcreteTotal), QString("352"));

        // The focus starts on Export All Data, and Tab walks OK and Cancel before the results.
        QCOMPARE(tabOrder, QStringList({"Export All Data", "OK", "Cancel", "1013 read-only right",
                                        "? read-only right"}));
    }

    void theSwitchesDecideWhatIsExcluded_data() {
        QTest::addColumn<int>("initial");
        QTest::addColumn<int>("rehab");
        // Per stage 0 to 3 and the subtotal: the asphalt cells, then the concrete cells.
        QTest::addColumn<QStringList>("asphalt");
        QTest::addColumn<QStringList>("concrete");
        QTest::addColumn<QString>("asphaltTotal");
        QTest::addColumn<QString>("concreteTotal");
        const QString x = "Excluded";
        QTest::newRow("both included")
            << 0 << 0 << QStringList{"88", "57", "40", "32", "217"}
            << QStringList{"88", "88", "88", "88", "352"} << QString("217") << QString("352");
        QTest::newRow("initial only")
            << 0 << 1 << QStringList{"88", x, x, x, "88"} << QStringList{"88", x, x, x, "88"}
            << QString("88") << QString("88");
        QTest::newRow("rehabilitations only")
            << 1 << 0 << QStringList{x, "57", "40", "32", "129"}
            << QStringList{x, "88", "88", "88", "264"} << QString("129") << QString("264");
        QTest::newRow("both excluded")
            << 1 << 1 << QStringList{x, x, x, x, x} << QStringList{x, x, x, x, x} << QString("0")
            << QString("0");
        // Only a damaged file holds another value; it excludes, as in the engine and the report.
        QTest::newRow("damaged initial switch")
            << 7 << 0 << QStringList{x, "57", "40", "32", "129"}
            << QStringList{x, "88", "88", "88", "264"} << QString("129") << QString("264");
        QTest::newRow("damaged and excluded")
            << -1 << 1 << QStringList{x, x, x, x, x} << QStringList{x, x, x, x, x} << QString("0")
            << QString("0");
    }
    void theSwitchesDecideWhatIsExcluded() {
        QFETCH(int, initial);
        QFETCH(int, rehab);
        QFETCH(QStringList, asphalt);
        QFETCH(QStringList, concrete);
        QFETCH(QString, asphaltTotal);
        QFETCH(QString, concreteTotal);
        ProjectData project;
        project.initialWzInclusion = initial;
        project.rehabWzInclusion = rehab;
        test::MessageRecorder messages;
        const Seen seen = RunCompute(project, false, messages);
        QVERIFY(seen.shown);
        for (int k = 0; k < 5; ++k) {
            QCOMPARE(seen.Cell(kAsphaltUser[k], kAsphaltOverlay[k]), asphalt[k]);
            QCOMPARE(seen.Cell(kConcreteUser[k], kConcreteOverlay[k]), concrete[k]);
        }
        QCOMPARE(seen.Text(kAsphaltTotal), asphaltTotal);
        QCOMPARE(seen.Text(kConcreteTotal), concreteTotal);
    }

    void aGridlockedOptionIsReportedBeforeTheForm() {
        ProjectData project;
        project.aadt = 20000;
        project.trafficGrowth = 10;
        project.hmaWearingPrice = 50;
        project.asphaltStage[0].wearingThickness = 2;
        test::MessageRecorder messages;
        const Seen seen = RunCompute(project, false, messages);
        QVERIFY(seen.shown);
        // Only the asphalt option, whose later overlays carry the grown traffic, gridlocks.
        QCOMPARE(seen.messagesBefore, QStringList{"Gridlock"});
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].text, QString(kGridlockText));
        QCOMPARE(messages.shown[0].icon, QMessageBox::Warning);
        for (int k = 0; k < 5; ++k) QCOMPARE(seen.Cell(kAsphaltUser[k], kAsphaltOverlay[k]), "0");
        QVERIFY(seen.Text(kConcreteUser[0]) != "0");
        QCOMPARE(seen.Text(kAsphaltTotal), seen.Text(1018));
        QVERIFY(seen.Text(1018).toDouble() > 0);

        // Heavy but settling traffic, for the picture.
        ProjectData heavy;
        heavy.aadt = 30000;
        heavy.laneCount = 4;
        messages.shown.clear();
        RunCompute(heavy, false, messages, [](CComputedCostsDlg& form) {
            test::SaveScreenshot(&form, "computed-costs-heavy");
        });
        QVERIFY(messages.shown.isEmpty());
    }

    void okBringsBackTheTreatmentCountsAndCancelDoesNot() {
        ProjectData project;
        project.asphaltMaintenance[1] = {"Crack sealing", 2, 500, 7, 0};
        project.concreteMaintenance[3] = {"Joint resealing", 1, 900, 10, 9};
        test::MessageRecorder messages;
        ProjectData expected = project;
        expected.ApplyInclusionRule();
        expected.asphaltMaintenance[1].treatmentCount = 5;  // years 7 to 35 of 40
        expected.concreteMaintenance[3].treatmentCount = 4; // years 10 to 40

        ProjectData cancelled = project;
        QVERIFY(RunCompute(cancelled, false, messages).shown);
        QCOMPARE(cancelled.asphaltMaintenance[1].treatmentCount, 0.0);
        QCOMPARE(cancelled.concreteMaintenance[3].treatmentCount, 9.0);

        QVERIFY(RunCompute(project, true, messages).shown);
        QCOMPARE(EncodeProject(project).bytes, EncodeProject(expected).bytes);
    }

    void exportWritesTheReportOfTheRunAndCanRepeat() {
        QTemporaryDir dir;
        ProjectData project;
        project.projectTitle = "Route 9 \xc3\xa9tude";
        project.rehabWzInclusion = WzInclusion::Exclude;
        project.asphaltMaintenance[0] = {"Crack sealing", 2, 500, 7, 0};
        project.hmaWearingPrice = 52.5;
        project.asphaltStage[0].wearingThickness = 1.5;
        const QString vlm = dir.filePath("route9.vlm");
        {
            QFile file(vlm);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray::fromStdString(EncodeProject(project).bytes));
        }
        std::ostringstream out, err;
        const QString cliReport = dir.filePath("cli.xls");
        QCOMPARE(cli::Run({"report", vlm.toStdString(), cliReport.toStdString()}, out, err), 0);

        test::MessageRecorder messages;
        test::FileDialogAnswers files;
        const QString typed = dir.filePath("lcca"); // no extension, and none is added
        files.Answer(typed);
        files.Answer(typed);
        files.Answer(""); // cancelled: nothing written, nothing said
        QByteArray first;
        QVERIFY(RunCompute(project, false, messages, [&](CComputedCostsDlg& form) {
                    auto* button =
                        qobject_cast<QPushButton*>(form.Control(CComputedCostsDlg::kExportAllData));
                    button->click();
                    first = ReadAll(typed);
                    QFile(typed).resize(3);
                    button->click(); // replaces the file without a question
                    button->click();
                }).shown);

        QCOMPARE(files.requests.size(), 3);
        QVERIFY(files.requests[0].save);
        QCOMPARE(files.requests[0].initialName, QString("*.xls"));
        QVERIFY(files.requests[0].filter.startsWith("Excel Files (*.xls);;All Files"));
        QVERIFY(!QFile::exists(typed + ".xls"));
        QCOMPARE(WithoutDateLine(first), WithoutDateLine(ReadAll(cliReport)));
        QCOMPARE(WithoutDateLine(ReadAll(typed)), WithoutDateLine(first));
        QCOMPARE(messages.shown.size(), 2);
        for (const ShownMessage& m : messages.shown) {
            QCOMPARE(m.text,
                     QString("Your life cycle cost analysis has been successfully exported."));
            QCOMPARE(m.caption, QString("Export LCCA"));
            QCOMPARE(m.icon, QMessageBox::Information);
        }
        // The run's treatment counts are in the report even though the form was cancelled.
        QVERIFY(first.contains("\r\nCrack sealing\t2.00\t500.00\t7\t5\r\n"));
        QCOMPARE(project.asphaltMaintenance[0].treatmentCount, 0.0);
    }

    void aFailedExportSaysWhyAndKeepsTheOldReport() {
        QTemporaryDir dir;
        const QString missingFolder = dir.filePath("no such folder/lcca.xls");
        const QString kept = dir.filePath("kept.xls");
        {
            QFile file(kept);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("previous report");
        }
        const auto exportTwice = [](CComputedCostsDlg& form) {
            auto* button =
                qobject_cast<QPushButton*>(form.Control(CComputedCostsDlg::kExportAllData));
            button->click();
            button->click();
        };
        test::MessageRecorder messages;
        test::FileDialogAnswers files;
        files.Answer(missingFolder);
        files.Answer(dir.path()); // a folder, not a file
        ProjectData project;
        QVERIFY(RunCompute(project, false, messages, exportTwice).shown);
        // A title that a report cannot hold: the run still shows, the export stops.
        project.projectTitle = "Route \xe4\xb8\xad";
        files.Answer(kept);
        files.Answer(kept);
        QVERIFY(RunCompute(project, false, messages, exportTwice).shown);

        QCOMPARE(messages.shown.size(), 4);
        const QString named[] = {missingFolder, dir.path(), kept, kept};
        for (int k = 0; k < 4; ++k) {
            const ShownMessage& m = messages.shown[k];
            QCOMPARE(m.caption, QString("Export LCCA"));
            QCOMPARE(m.icon, QMessageBox::Warning);
            QVERIFY2(
                m.text.startsWith("Cannot export to " + QDir::toNativeSeparators(named[k]) + ".\n"),
                qPrintable(m.text));
            QVERIFY(m.text.size() > m.text.indexOf('\n') + 1); // and the reason
        }
        QVERIFY(messages.shown[2].text.contains("projectTitle"));
        QCOMPARE(ReadAll(kept), QByteArray("previous report"));
        QVERIFY(!QFile::exists(missingFolder));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"kept.xls"});
    }
};

QTEST_MAIN(ComputedCostsDlgTest)
#include "ComputedCostsDlgTest.moc"
