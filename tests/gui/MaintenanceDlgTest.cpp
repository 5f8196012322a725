// The Recurring Maintenance form: treatment counts that follow the analysis period and the years
// typed, its checks, its edit cycle and its orders.
#include "CMaintenanceDlg.h"
#include "FormDriver.h"
#include "Forms.h"
#include "GuiTestSupport.h"
#include "model/SavedFields.h"

#include <QLineEdit>
#include <QTest>
#include <deque>

using namespace velmora;
using test::Close;
using test::FormDriver;

namespace {

// The boxes of activities 0 to 7: the asphalt option's 0 to 3, then the concrete option's.
constexpr std::array<int, 8> kDescription{1103, 1108, 1113, 1118, 1123, 1128, 1133, 1138};
constexpr std::array<int, 8> kQuantity{1104, 1109, 1114, 1119, 1124, 1129, 1134, 1139};
constexpr std::array<int, 8> kUnitPrice{1105, 1112, 1117, 1122, 1127, 1132, 1137, 1142};
constexpr std::array<int, 8> kYears{1106, 1111, 1116, 1121, 1126, 1131, 1136, 1141};
constexpr std::array<int, 8> kCount{1107, 1110, 1115, 1120, 1125, 1130, 1135, 1140};

MaintenanceActivity& Activity(ProjectData& p, int k) {
    return k < 4 ? p.asphaltMaintenance[k] : p.concreteMaintenance[k - 4];
}

std::string FieldOf(int k, const char* member) {
    return std::string(k < 4 ? "asphaltMaintenance[" : "concreteMaintenance[") +
           std::to_string(k % 4) + "]." + member;
}

} // namespace

class MaintenanceDlgTest : public QObject {
    Q_OBJECT
private slots:
    // Stored counts are whatever the last accepted form or analysis left; the form shows the
    // counts of the period that holds now.
    void countsFollowTheAnalysisPeriodWhenTheFormOpens_data() {
        QTest::addColumn<double>("period");
        QTest::addColumn<QList<int>>("years");
        QTest::addColumn<QStringList>("counts");
        QTest::newRow("40 years") << 40.0 << QList<int>{7, 10, 41, 0, -2, 1, 40, 3}
                                  << QStringList{"5", "4", "0", "0", "0", "40", "1", "13"};
        QTest::newRow("40.5 years") << 40.5 << QList<int>{10, 41, 40, 81, 1, 2, 3, 4}
                                    << QStringList{"4", "0", "1", "0", "40", "20", "13", "10"};
        QTest::newRow("no period") << 0.0 << QList<int>{1, 2, 3, 4, 5, 6, 7, 8}
                                   << QStringList{"0", "0", "0", "0", "0", "0", "0", "0"};
    }
    void countsFollowTheAnalysisPeriodWhenTheFormOpens() {
        QFETCH(double, period);
        QFETCH(QList<int>, years);
        QFETCH(QStringList, counts);
        ProjectData project;
        project.analysisPeriod = period;
        for (int k = 0; k < 8; ++k) {
            Activity(project, k).yearsBetween = years[k];
            Activity(project, k).treatmentCount = 99;
        }
        CMaintenanceDlg form(project);
        FormDriver driver(form);
        for (int k = 0; k < 8; ++k) {
            QCOMPARE(driver.Text(kCount[k]), counts[k]);
            QVERIFY(static_cast<QLineEdit*>(form.Control(kCount[k]))->isReadOnly());
        }
    }

    void leavingAYearsFieldUpdatesItsCount_data() {
        QTest::addColumn<int>("k");
        for (int k = 0; k < 8; ++k) QTest::newRow(qPrintable(QString::number(k))) << k;
    }
    void leavingAYearsFieldUpdatesItsCount() {
        QFETCH(int, k);
        ProjectData project;
        CMaintenanceDlg form(project);
        FormDriver driver(form);
        test::MessageRecorder messages;
        for (auto [typed, count] : {std::pair{"7", "5"}, {"0", "0"}, {"10", "4"}, {" 40 ", "1"}}) {
            driver.Enter(kYears[k], typed);
            QCOMPARE(driver.Text(kCount[k]), QString(count));
        }
        QCOMPARE(messages.shown.size(), 0);

        // A refused value is reset, but the count keeps that of the value before until the
        // field is left again.
        driver.Enter(kYears[k], "-3");
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].text,
                 QString("Please enter a non-negative years between treatments."));
        QCOMPARE(messages.shown[0].caption, QString("Number Out of Range"));
        QCOMPARE(messages.shown[0].icon, QMessageBox::Warning);
        QCOMPARE(messages.shown[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(driver.Text(kYears[k]), QString("0"));
        QCOMPARE(driver.Text(kCount[k]), QString("1"));
        QVERIFY(driver.HasFocus(kYears[k]));
        driver.Key(Qt::Key_Tab);
        QCOMPARE(driver.Text(kCount[k]), QString("0"));
        QCOMPARE(messages.shown.size(), 1);

        // The other rows keep their counts.
        ProjectData working = form.Working();
        for (int other = 0; other < 8; ++other)
            if (other != k) QCOMPARE(Activity(working, other).treatmentCount, 0.0);
    }

    void quantitiesAndPricesRefuseOnlyNegatives_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("message");
        for (int k = 0; k < 8; ++k) {
            QTest::newRow(qPrintable(QString("quantity %1").arg(k)))
                << kQuantity[k] << "Please enter a non-negative maintenance quantity.";
            QTest::newRow(qPrintable(QString("unit price %1").arg(k)))
                << kUnitPrice[k] << "Please enter a non-negative maintenance unit price.";
        }
    }
    void quantitiesAndPricesRefuseOnlyNegatives() {
        QFETCH(int, id);
        QFETCH(QString, message);
        ProjectData project;
        CMaintenanceDlg form(project);
        FormDriver driver(form);
        test::MessageRecorder messages;
        test::CheckBounds(driver, messages, id, {"0", "2.5", "120000"}, {"-1", "-0.01"}, message,
                          "Number Out of Range", "0");
    }

    // The counts follow the period that the General Information form holds now; only
    // "Accept Changes" stores them.
    void countsOfAChangedPeriodAreStoredOnlyWhenAccepted() {
        ProjectData project;
        test::MessageRecorder messages;
        QVERIFY(test::RunForm(
            EditMaintenance, project, [](FormDriver& d) { d.Enter(kYears[5], "7"); },
            Close::Accept));
        QCOMPARE(project.concreteMaintenance[1].treatmentCount, 5.0);

        QVERIFY(test::RunForm(
            EditGeneralInfo, project, [](FormDriver& d) { d.Enter(1006, "21"); }, Close::Accept));
        QVERIFY(!test::RunForm(
            EditMaintenance, project,
            [](FormDriver& d) { QCOMPARE(d.Text(kCount[5]), QString("3")); }, Close::Cancel));
        QCOMPARE(project.concreteMaintenance[1].treatmentCount, 5.0);
        QVERIFY(test::RunForm(
            EditMaintenance, project, [](FormDriver&) {}, Close::Accept));
        QCOMPARE(project.concreteMaintenance[1].treatmentCount, 3.0);
        QCOMPARE(project.analysisPeriod, 21.0);
        QCOMPARE(messages.shown.size(), 0);
    }

    void acceptStoresEveryFieldAndReopeningShowsItNormalised() {
        const std::array<const char*, 8> years{"7", "8", "9", "10", "5", "4", "3", "2"};
        const std::array<const char*, 8> counts{"5", "5", "4", "4", "8", "10", "13", "20"};
        std::deque<std::string> names;
        QList<test::FieldEntry> entries;
        auto add = [&](int id, int k, const char* member, QString typed, QString shown) {
            names.push_back(FieldOf(k, member));
            entries.append({id, names.back().c_str(), typed, shown});
        };
        for (int k = 0; k < 8; ++k) {
            // An activity without a description is fine.
            const QString description = k == 6 ? "" : QString("Crack sealing %1").arg(k);
            add(kDescription[k], k, "description", description, description);
            add(kQuantity[k], k, "quantity", QString("%1.50").arg(100 + k),
                QString("%1.5").arg(100 + k));
            add(kUnitPrice[k], k, "unitPrice", QString("%1").arg(2 + k), QString("%1").arg(2 + k));
            add(kYears[k], k, "yearsBetween", years[k], years[k]);
            // Nothing can be typed into a count; it shows what the years give.
            add(kCount[k], k, "treatmentCount", "", counts[k]);
        }
        test::CheckAcceptStores(EditMaintenance, entries);
    }

    void cancelAfterEditsLeavesTheProjectUnchanged() {
        ProjectData project;
        project.asphaltMaintenance[0].yearsBetween = 7;
        project.asphaltMaintenance[0].treatmentCount = 5;
        const ProjectData before = project;
        test::MessageRecorder messages;
        QVERIFY(!test::RunForm(
            EditMaintenance, project,
            [](FormDriver& d) {
                d.Enter(kDescription[1], "Joint resealing");
                d.Enter(kQuantity[1], "-4"); // refused: the working value becomes 0
                d.Enter(kYears[0], "3");
                d.Enter(kUnitPrice[7], "12");
            },
            Close::Escape));
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(SameSavedFields(project, before));
    }

    // Years are read before quantities, quantities before prices: a field read after one that
    // does not parse keeps its old value, so its check sees no negative.
    void theExchangeStopsInTheFormsOrder() {
        ProjectData project;
        project.asphaltMaintenance[0].unitPrice = 3;
        project.asphaltMaintenance[0].yearsBetween = 10;
        CMaintenanceDlg form(project);
        FormDriver driver(form);
        test::MessageRecorder messages;
        auto* quantity = static_cast<QLineEdit*>(form.Control(kQuantity[0]));

        quantity->setText("2,5");
        driver.Enter(kUnitPrice[0], "-1");
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].caption, QString("Invalid Number"));
        QCOMPARE(driver.Text(kUnitPrice[0]), QString("3"));
        messages.shown.clear();

        driver.Focus(kDescription[0]);
        quantity->setText("2,5");
        driver.Enter(kYears[0], "-3");
        QCOMPARE(messages.shown.size(), 2);
        QCOMPARE(messages.shown[1].caption, QString("Number Out of Range"));
        QCOMPARE(driver.Text(kYears[0]), QString("0"));
        QCOMPARE(driver.Text(kCount[0]), QString("4"));
    }

    void tabOrderRunsRowByRowThenTheButtonsThenTheCounts() {
        ProjectData project;
        CMaintenanceDlg form(project);
        FormDriver driver(form);
        QList<int> expected;
        for (int k = 0; k < 8; ++k)
            expected.append({kDescription[k], kQuantity[k], kUnitPrice[k], kYears[k]});
        expected.append({1, 2});
        expected.append(QList<int>(kCount.begin(), kCount.end()));
        expected.append(kDescription[0]);
        QCOMPARE(driver.TabWalk(int(expected.size())), expected);
    }

    void screenshot() {
        ProjectData project;
        project.asphaltMaintenance[0] = {"Crack sealing", 2500, 1.2, 5, 0};
        project.asphaltMaintenance[1] = {"Chip seal", 14080, 2.75, 12, 0};
        project.concreteMaintenance[0] = {"Joint resealing", 21120, 1.1, 10, 0};
        project.concreteMaintenance[1] = {"Partial-depth patching", 350, 95, 15, 0};
        CMaintenanceDlg form(project);
        FormDriver driver(form);
        QCOMPARE(form.windowTitle(), QString("Recurring Maintenance Activities (Shift+F1=Pop-Up "
                                             "Help; F1=Full Help)"));
        test::SaveScreenshot(&form, "maintenance");
    }
};

QTEST_MAIN(MaintenanceDlgTest)
#include "MaintenanceDlgTest.moc"
