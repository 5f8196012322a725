// The Traffic and Work Zone form: its checks, the whole-number lanes field, its edit cycle and
// its order of fields.
#include "CTrafficWorkZoneDlg.h"
#include "FormDriver.h"
#include "Forms.h"
#include "GuiTestSupport.h"
#include "model/SavedFields.h"

#include <QTest>

using namespace velmora;
using test::Close;
using test::FormDriver;

class TrafficWorkZoneDlgTest : public QObject {
    Q_OBJECT
private slots:
    void boundsAreAcceptedAndOutOfRangeIsReset_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QStringList>("accepted");
        QTest::addColumn<QStringList>("refused");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("reset");
        QTest::newRow("aadt") << 1021 << QStringList{"0", "12500.5"} << QStringList{"-1"}
                              << QString("Please enter a positive value.") << QString("500");
        QTest::newRow("truckPercent")
            << 1022 << QStringList{"0", "100", "37.5"} << QStringList{"101", "-0.5"}
            << QString("Please enter between 0 and 100 percent trucks.") << QString("10");
        QTest::newRow("trafficGrowth")
            << 1023 << QStringList{"0", "10", "2.5"} << QStringList{"10.01", "-1"}
            << QString("Please enter between 0 and 10 percent growth rate.") << QString("1");
        QTest::newRow("wzSpeedLimit")
            << 1024 << QStringList{"5", "55"} << QStringList{"60", "4.99"}
            << QString("Please enter a work zone speed limit between 5 amd 55 mph.")
            << QString("40");
        QTest::newRow("wzLanes") << 1027 << QStringList{"1", "9", "3"} << QStringList{"10", "0"}
                                 << QString("Please enter between 1 and 9 work zone lanes.")
                                 << QString("1");
        QTest::newRow("wzLength") << 1025 << QStringList{"0", "3.75"} << QStringList{"-2"}
                                  << QString("Please enter a positive value.") << QString("1");
    }
    void boundsAreAcceptedAndOutOfRangeIsReset() {
        QFETCH(int, id);
        QFETCH(QStringList, accepted);
        QFETCH(QStringList, refused);
        QFETCH(QString, message);
        QFETCH(QString, reset);
        ProjectData project;
        CTrafficWorkZoneDlg form(project);
        FormDriver driver(form);
        test::MessageRecorder messages;
        test::CheckBounds(driver, messages, id, accepted, refused, message, "Value Out of Range",
                          reset);
    }

    void lanesTakeWholeNumbersOnly() {
        ProjectData project;
        project.wzLanes = 2;
        CTrafficWorkZoneDlg form(project);
        FormDriver driver(form);
        test::MessageRecorder messages;
        for (const char* typed : {"2.5", "1e1", "two"}) {
            driver.Enter(1027, typed);
            QCOMPARE(messages.shown.size(), 1);
            QCOMPARE(messages.shown[0].caption, QString("Invalid Number"));
            QVERIFY(messages.shown[0].text.contains("whole number"));
            QCOMPARE(driver.Text(1027), QString("2"));
            QVERIFY(driver.HasFocus(1027));
            messages.shown.clear();
        }
        driver.Enter(1027, " +4 ");
        QCOMPARE(messages.shown.size(), 0);
        QCOMPARE(driver.Text(1027), QString("4"));
    }

    void cancelAfterEditsLeavesTheProjectUnchanged() {
        ProjectData project;
        const ProjectData before = project;
        test::MessageRecorder messages;
        QVERIFY(!test::RunForm(
            EditTrafficWorkZone, project,
            [](FormDriver& d) {
                d.Choose(1019, 2);
                d.Enter(1021, "25000");
                d.Enter(1024, "60"); // refused: the working value becomes 40
                d.Enter(1027, "2");
                d.Choose(1028, 1);
            },
            Close::Escape));
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(SameSavedFields(project, before));
    }

    void acceptStoresEveryFieldAndReopeningShowsItNormalised() {
        test::CheckAcceptStores(
            EditTrafficWorkZone,
            {
                {1019, "terrain", "1", "Rolling"},
                {1020, "trafficType", "1", "Urban"},
                {1021, "aadt", "24000.0", "24000"},
                {1022, "truckPercent", "12.50", "12.5"},
                {1023, "trafficGrowth", "2", "2"},
                {1024, "wzSpeedLimit", "45", "45"},
                {1025, "wzLength", "3", "3"}, // longer than the project: not compared here
                {1027, "wzLanes", "2", "2"},
                {1026, "asphaltWzTiming", "1", "Night Closures (8 PM-6 AM)"},
                {1028, "concreteWzTiming", "1", "Night Closures (8 PM-6 AM)"},
            });
    }

    void tabOrderFollowsTheForm() {
        ProjectData project;
        CTrafficWorkZoneDlg form(project);
        FormDriver driver(form);
        QCOMPARE(driver.TabWalk(13), (QList<int>{1019, 1020, 1021, 1022, 1023, 1024, 1025, 1027,
                                                 1026, 1028, 1, 2, 1019}));
    }

    void screenshot() {
        ProjectData project;
        CTrafficWorkZoneDlg form(project);
        FormDriver driver(form);
        QCOMPARE(form.windowTitle(),
                 QString("Traffic and Work Zone Information (Shift+F1=Pop-Up Help; F1=Full "
                         "Help)"));
        test::SaveScreenshot(&form, "traffic-work-zone");
    }
};

QTEST_MAIN(TrafficWorkZoneDlgTest)
#include "TrafficWorkZoneDlgTest.moc"
