// The General Information form: its checks, its edit cycle, its order of fields and its help.
#include "CGeneralInfoDlg.h"
#include "FormDriver.h"
#include "Forms.h"
#include "GuiTestSupport.h"
#include "model/SavedFields.h"

#include <QLineEdit>
#include <QTest>

using namespace velmora;
using test::Close;
using test::FormDriver;

class GeneralInfoDlgTest : public QObject {
    Q_OBJECT
private slots:
    void boundsAreAcceptedAndOutOfRangeIsReset_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QStringList>("accepted");
        QTest::addColumn<QStringList>("refused");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("reset");
        auto positive = [](const char* name, int id, const char* message, const char* reset) {
            QTest::newRow(name) << id << QStringList{"0", "0.5", "1000000"} << QStringList{"-0.001"}
                                << QString(message) << QString(reset);
        };
        positive("projectLength", 1011, "Please enter a positive project length.", "1");
        positive("analysisPeriod", 1006, "Please enter a positive analysis period.", "40");
        positive("laneWidth", 1003, "Please enter a positive lane width.", "12");
        positive("discountRate", 1005, "Please enter a positive discount rate.", "4");
        positive("currentCpi", 1010, "Please enter a positive consumer price index.", "173.644");
        positive("shoulderCount", 1009, "Please enter a positive number of shoulders.", "2");
        positive("shoulderWidth", 1007, "Please enter a positive shoulder width.", "4");
        QTest::newRow("laneCount")
            << 1008 << QStringList{"1", "2.5", "10"} << QStringList{"0.999", "10.5", "-2"}
            << QString("Please enter between 1 and 10 lanes.") << QString("2");
        QTest::newRow("speedLimit")
            << 1004 << QStringList{"5", "80"} << QStringList{"4", "80.01"}
            << QString("Please enter a speed limit between 5 and 80 mph.") << QString("55");
    }
    void boundsAreAcceptedAndOutOfRangeIsReset() {
        QFETCH(int, id);
        QFETCH(QStringList, accepted);
        QFETCH(QStringList, refused);
        QFETCH(QString, message);
        QFETCH(QString, reset);
        ProjectData project;
        project.laneWidth = 11; // so that a reset to 12 is not the value held before
        CGeneralInfoDlg form(project);
        FormDriver driver(form);
        test::MessageRecorder messages;
        test::CheckBounds(driver, messages, id, accepted, refused, message, "Number Out of Range",
                          reset);
    }

    void textThatDoesNotParseIsRefusedAndReverted_data() {
        QTest::addColumn<QString>("typed");
        for (const char* typed :
             {"12,5", "1,000", "1 000", "abc", "", "12.5.1", "0x10", "inf", "1e", "$12", "+-3"})
            QTest::newRow(typed) << QString(typed);
    }
    void textThatDoesNotParseIsRefusedAndReverted() {
        QFETCH(QString, typed);
        ProjectData project;
        project.laneWidth = 11.5;
        CGeneralInfoDlg form(project);
        FormDriver driver(form);
        test::MessageRecorder messages;
        driver.Enter(1003, typed);
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].caption, QString("Invalid Number"));
        QCOMPARE(driver.Text(1003), QString("11.5"));
        QVERIFY(driver.HasFocus(1003));
        QCOMPARE(form.Working().laneWidth, 11.5);
    }

    void cancelAfterEditsLeavesTheProjectUnchanged_data() {
        QTest::addColumn<Close>("close");
        QTest::newRow("Cancel Changes") << Close::Cancel;
        QTest::newRow("Esc") << Close::Escape;
        QTest::newRow("close box") << Close::CloseBox;
    }
    void cancelAfterEditsLeavesTheProjectUnchanged() {
        QFETCH(Close, close);
        ProjectData project;
        project.speedLimit = 65;
        const ProjectData before = project;
        test::MessageRecorder messages;
        const bool accepted = test::RunForm(
            EditGeneralInfo, project,
            [](FormDriver& d) {
                d.Enter(1001, "Route 9");
                d.Enter(1011, "3.5");
                d.Enter(1004, "99"); // refused: the working value becomes 55
                d.Choose(1067, 1);
                d.Choose(1068, 1);
                d.Type(1003, "10");
            },
            close);
        QVERIFY(!accepted);
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(SameSavedFields(project, before));
        QVERIFY(project.TrafficFormAvailable());
    }

    void acceptStoresEveryFieldAndReopeningShowsItNormalised() {
        test::CheckAcceptStores(EditGeneralInfo,
                                {
                                    {1001, "projectTitle", "I-80 Bridge", "I-80 Bridge"},
                                    {1011, "projectLength", "12.50", "12.5"},
                                    {1008, "laneCount", "4", "4"},
                                    {1003, "laneWidth", "11.000", "11"},
                                    {1009, "shoulderCount", "2.5", "2.5"},
                                    {1007, "shoulderWidth", "8", "8"},
                                    {1004, "speedLimit", "65", "65"},
                                    {1006, "analysisPeriod", "35", "35"},
                                    {1005, "discountRate", "3.5e0", "3.5"},
                                    {1010, "currentCpi", "251.107", "251.107"},
                                    {1067, "initialWzInclusion", "1", "Exclude"},
                                    {1068, "rehabWzInclusion", "1", "Exclude"},
                                });
    }

    // A description keeps CR LF line ends, those of the program's files.
    void descriptionLinesAreStoredWithCrLf() {
        ProjectData project;
        QVERIFY(test::RunForm(
            EditGeneralInfo, project,
            [](FormDriver& d) {
                d.Type(1002, "First line");
                QTest::keyClick(d.form.Control(1002), Qt::Key_Return);
                d.Keys(1002, "second line");
            },
            Close::Accept));
        QCOMPARE(project.projectDescription, std::string("First line\r\nsecond line"));
        QVERIFY(test::RunForm(
            EditGeneralInfo, project,
            [](FormDriver& d) { QCOMPARE(d.Text(1002), QString("First line\nsecond line")); },
            Close::Accept));
        QCOMPARE(project.projectDescription, std::string("First line\r\nsecond line"));
    }

    void enterChecksTheFieldItWasPressedIn() {
        ProjectData project;
        test::MessageRecorder messages;
        QVERIFY(test::RunForm(
            EditGeneralInfo, project,
            [&](FormDriver& d) {
                d.Type(1008, "11");
                d.Key(Qt::Key_Return);
                QVERIFY2(d.form.isVisible(), "a refused value keeps the form open");
                QCOMPARE(messages.shown.size(), 1);
                QCOMPARE(d.Text(1008), QString("2"));
                d.Type(1008, "3");
            },
            Close::Enter));
        QCOMPARE(project.laneCount, 3.0);
    }

    void theTrafficButtonRuleSeesTheSwitchesWhicheverButtonClosedTheForm() {
        ProjectData project;
        auto bothExclude = [](FormDriver& d) {
            d.Choose(1067, 1);
            d.Choose(1068, 1);
        };
        auto oneInclude = [](FormDriver& d) { d.Choose(1068, 0); };
        test::RunForm(EditGeneralInfo, project, bothExclude, Close::Accept);
        QVERIFY(!project.TrafficFormAvailable());
        test::RunForm(EditGeneralInfo, project, oneInclude, Close::Cancel);
        QVERIFY(!project.TrafficFormAvailable());
        test::RunForm(EditGeneralInfo, project, oneInclude, Close::Accept);
        QVERIFY(project.TrafficFormAvailable());
    }

    void tabOrderFollowsTheForm() {
        ProjectData project;
        CGeneralInfoDlg form(project);
        FormDriver driver(form);
        QCOMPARE(QApplication::focusWidget(), form.Control(1001));
        QCOMPARE(driver.TabWalk(16), (QList<int>{1001, 1002, 1011, 1008, 1003, 1009, 1007, 1004,
                                                 1006, 1005, 1010, 1067, 1068, 1, 2, 1001}));
    }

    void screenshot() {
        ProjectData project;
        CGeneralInfoDlg form(project);
        FormDriver driver(form);
        QCOMPARE(form.windowTitle(),
                 QString("General Information (Shift+F1=Pop-Up Help; F1=Full Help)"));
        test::SaveScreenshot(&form, "general-info");
    }
};

QTEST_MAIN(GeneralInfoDlgTest)
#include "GeneralInfoDlgTest.moc"
