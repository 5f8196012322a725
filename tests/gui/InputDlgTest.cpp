// What all input forms share, tried on the real forms: numbers in and out whatever the locale,
// the exchange that stops at a number it cannot read, checks that do not run on top of each
// other, values the user did not touch, text a project file cannot hold, and help.
#include "CAsphaltActivitiesDlg.h"
#include "CConcreteActivitiesDlg.h"
#include "CDescriptionEdit.h"
#include "CGeneralInfoDlg.h"
#include "CMaintenanceDlg.h"
#include "CTrafficWorkZoneDlg.h"
#include "CUnitPricesDlg.h"
#include "FormDriver.h"
#include "FormNumbers.h"
#include "Forms.h"
#include "GuiTestSupport.h"
#include "model/Cp1252.h"
#include "model/SavedFields.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>

using namespace velmora;
using test::Close;
using test::FormDriver;

namespace {
std::unique_ptr<CInputDlg> MakeForm(const QString& name, const ProjectData& project) {
    if (name == "general-info") return std::make_unique<CGeneralInfoDlg>(project);
    if (name == "unit-prices") return std::make_unique<CUnitPricesDlg>(project);
    if (name == "asphalt-activities") return std::make_unique<CAsphaltActivitiesDlg>(project);
    if (name == "concrete-activities") return std::make_unique<CConcreteActivitiesDlg>(project);
    if (name == "maintenance") return std::make_unique<CMaintenanceDlg>(project);
    return std::make_unique<CTrafficWorkZoneDlg>(project);
}

void AddFormRows() {
    QTest::addColumn<QString>("form");
    for (const char* form : {"general-info", "unit-prices", "traffic-work-zone",
                             "asphalt-activities", "concrete-activities", "maintenance"})
        QTest::newRow(form) << form;
}
} // namespace

class InputDlgTest : public QObject {
    Q_OBJECT
private slots:
    void numbersShowWithFifteenDigitsAndAPoint() {
        QCOMPARE(FormatDouble(2), QString("2"));
        QCOMPARE(FormatDouble(12.50), QString("12.5"));
        QCOMPARE(FormatDouble(173.644), QString("173.644"));
        QCOMPARE(FormatDouble(0.1 + 0.2), QString("0.3"));
        QCOMPARE(FormatDouble(-35), QString("-35"));
        QCOMPARE(FormatDouble(1e20), QString("1e+20"));
        QCOMPARE(FormatDouble(0.00001), QString("1e-05"));
        QCOMPARE(FormatDouble(123456789012345678.0), QString("1.23456789012346e+17"));
        QCOMPARE(FormatDouble(110246.4), QString("110246.4"));
        QCOMPARE(FormatInteger(-7), QString("-7"));
    }

    void onlySignDigitsPointAndExponentParse() {
        for (auto [text, value] : {std::pair{"12.5", 12.5},
                                   {"  12.50\t", 12.5},
                                   {"+3", 3.0},
                                   {"-0.25", -0.25},
                                   {"5.", 5.0},
                                   {".5", 0.5},
                                   {"1e3", 1000.0},
                                   {"1.5E-2", 0.015},
                                   {"2e+2", 200.0},
                                   {"007", 7.0}}) {
            QVERIFY2(ParseDouble(text) == value, text);
        }
        for (const char* text :
             {"", " ", "12,5", "1,000", "1 000", ".", "e5", "1e", "1e+", "--1", "+-1", "inf", "nan",
              "0x1p3", "12.5.1", "12.5%", "$5", "1e999", "\xc2\xbd"}) {
            QVERIFY2(!ParseDouble(QString::fromUtf8(text)), text);
        }
        QCOMPARE(ParseInteger(" +9\t"), std::optional<std::int32_t>(9));
        QCOMPARE(ParseInteger("-2147483648"), std::optional<std::int32_t>(INT32_MIN));
        for (const char* text : {"2.5", "2.", "1e1", "", "-", "2147483648", "0x10", "1 0"})
            QVERIFY2(!ParseInteger(text), text);
    }

    // Run once more by CTest under a German locale, where the C library writes a comma.
    void theLocaleDoesNotChangeNumbers() {
        if (qEnvironmentVariable("LC_ALL").startsWith("de_DE")) {
            char buffer[16];
            std::snprintf(buffer, sizeof buffer, "%.1f", 12.5);
            QCOMPARE(QString(buffer), QString("12,5")); // the environment really is a comma one
        }
        ProjectData project;
        project.laneWidth = 12.5;
        test::MessageRecorder messages;
        QVERIFY(test::RunForm(
            EditGeneralInfo, project,
            [](FormDriver& d) {
                QCOMPARE(d.Text(1003), QString("12.5"));
                QCOMPARE(d.Text(1010), QString("173.644"));
                d.Enter(1006, "37.5");
                d.Enter(1005, "3,5"); // refused, not read as 3.5 or 35
            },
            Close::Accept));
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(project.analysisPeriod, 37.5);
        QCOMPARE(project.discountRate, 4.0);
    }

    // Exchange order of the General Information form: 1006 analysis period first, ..., 1001
    // title, ..., 1004 speed limit, ..., 1011 project length last.
    void theExchangeStopsAtTheFirstNumberItCannotRead() {
        ProjectData project;
        CGeneralInfoDlg form(project);
        FormDriver driver(form);
        test::MessageRecorder messages;

        // A field after the unreadable one keeps its old value, and its check tests that value:
        // 4 mph is reverted without a range message.
        // Text can stay in a field unread only until the field is left, so set it directly.
        static_cast<QLineEdit*>(form.Control(1006))->setText("forty");
        driver.Type(1001, "New title");
        driver.Enter(1004, "4");
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].caption, QString("Invalid Number"));
        QVERIFY(messages.shown[0].text.contains("\"forty\""));
        QCOMPARE(driver.Text(1006), QString("40"));
        QCOMPARE(driver.Text(1004), QString("55"));
        QVERIFY2(driver.HasFocus(1006), "the focus goes to the field that did not parse");
        QCOMPARE(form.Working().projectTitle, std::string("New title")); // typed text is kept
        messages.shown.clear();

        // A field before it is read and checked: two messages, the focus ends on the checked one.
        static_cast<QLineEdit*>(form.Control(1011))->setText("1..5");
        driver.Enter(1006, "-1");
        QCOMPARE(messages.shown.size(), 2);
        QCOMPARE(messages.shown[0].caption, QString("Invalid Number"));
        QCOMPARE(messages.shown[1].text, QString("Please enter a positive analysis period."));
        QCOMPARE(driver.Text(1006), QString("40"));
        QCOMPARE(driver.Text(1011), QString("1"));
        QVERIFY(driver.HasFocus(1006));
    }

    void acceptWithANumberItCannotReadKeepsTheFormOpen() {
        ProjectData project;
        CGeneralInfoDlg form(project);
        FormDriver driver(form);
        test::MessageRecorder messages;
        driver.Type(1010, "1.7e2.1");
        driver.Key(Qt::Key_Return);
        QVERIFY(form.isVisible());
        QCOMPARE(form.result(), int(QDialog::Rejected));
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(driver.HasFocus(1010));
        QCOMPARE(driver.Text(1010), QString("173.644")); // reverted as on leaving the field
    }

    // With the real message box, which takes the focus while it is up (a nested event loop
    // inside the field's focus change): one box per refusal, the field reset, the focus back.
    void refusalsWorkWithTheRealMessageBox() {
        ProjectData project;
        CGeneralInfoDlg form(project);
        FormDriver driver(form);
        int boxes = 0;
        QString text;
        QTimer closer;
        connect(&closer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                ++boxes;
                text = box->text();
                box->accept();
                // What the window manager does when a message box goes away.
                QApplication::setActiveWindow(&form);
            }
        });
        closer.start(10);
        driver.Type(1008, "12");
        QTest::keyClick(form.Control(1008), Qt::Key_Tab); // on to 1003, lane width
        driver.Type(1003, "-3");                          // then away from the reset lanes
        QTest::keyClick(form.Control(1003), Qt::Key_Tab);
        closer.stop();
        QCOMPARE(boxes, 2);
        QCOMPARE(text, QString("Please enter a positive lane width."));
        QCOMPARE(driver.Text(1008), QString("2"));
        QCOMPARE(driver.Text(1003), QString("12"));
        QVERIFY(driver.HasFocus(1003));
    }

    // Opening and accepting a form without touching it changes nothing but what the form
    // derives when it opens, not even values that 15 digits cannot show or list indexes that no
    // entry has.
    void untouchedFieldsKeepTheirValuesExactly_data() { AddFormRows(); }
    void untouchedFieldsKeepTheirValuesExactly() {
        QFETCH(QString, form);
        ProjectData project;
        project.currentCpi = 0.1 + 0.2;
        project.laneWidth = std::numeric_limits<double>::quiet_NaN();
        project.projectLength = -0.0;
        project.rehabWzInclusion = 7;
        project.projectDescription = "one\ntwo\r\nthree\u00a0four";
        project.concretePrice = 1.0 / 3.0;
        project.concreteMisc[1].unit = -1;
        project.asphaltMisc.description = std::string(40000, 'x');
        project.aadt = 12345.678901234567;
        project.terrain = 3;
        project.asphaltStage[1].binderThickness = 1.0 / 3.0;
        project.asphaltStage[3].wzInclusion = 4;
        project.asphaltMiscLabel = "<b>Misc.</b>";
        project.asphaltMiscText = std::string(40000, 'y');
        project.concreteStage[2].year = std::numeric_limits<double>::infinity();
        project.concreteStage[0].miscUnitLabel[1] = "\u00a0cy";
        project.concreteMaintenance[3].quantity = 0.1 + 0.2;
        project.concreteMaintenance[2].description = "\u00a0 crack\tsealing ";
        project.asphaltMaintenance[1].yearsBetween = 7;
        project.asphaltMaintenance[1].treatmentCount = 99;
        ProjectData expected = project;
        // Derived on opening: the inclusion of each stage, the counts of the period.
        if (form == "asphalt-activities")
            for (int k = 0; k < 4; ++k) expected.asphaltStage[k].wzInclusion = k == 0 ? 0 : 1;
        if (form == "concrete-activities")
            for (int k = 0; k < 4; ++k) expected.concreteStage[k].wzInclusion = k == 0 ? 0 : 1;
        if (form == "maintenance") expected.asphaltMaintenance[1].treatmentCount = 5;
        auto dialog = MakeForm(form, project);
        FormDriver driver(*dialog);
        test::MessageRecorder messages;
        driver.Key(Qt::Key_Return);
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        dialog->CommitTo(project);
        QVERIFY(SameSavedFields(project, expected));
        QCOMPARE(project.asphaltMiscLabel, expected.asphaltMiscLabel);
        QCOMPARE(project.asphaltMiscText, expected.asphaltMiscText);
        QCOMPARE(messages.shown.size(), 0);
    }

    void textFieldsRefuseWhatAProjectFileCannotHold() {
        ProjectData project;
        CGeneralInfoDlg form(project);
        FormDriver driver(form);
        auto* title = static_cast<QLineEdit*>(form.Control(1001));
        auto* description = static_cast<CDescriptionEdit*>(form.Control(1002));

        driver.Type(1001, QString::fromUtf8("Stra\u00dfe \u20ac5 \u2013 caf\u00e9"));
        driver.Keys(1001, QString::fromUtf8(" \u2192 \u4e2d"));
        QCOMPARE(title->text(), QString::fromUtf8("Stra\u00dfe \u20ac5 \u2013 caf\u00e9  "));
        QApplication::clipboard()->setText(QString::fromUtf8("A\U0001F600B"));
        title->paste();
        QCOMPARE(title->text(), QString::fromUtf8("Stra\u00dfe \u20ac5 \u2013 caf\u00e9  "));

        driver.Type(1002, QString::fromUtf8("\u00bd mile \u2192 east"));
        QCOMPARE(description->Text(), QString::fromUtf8("\u00bd mile  east"));
        QApplication::clipboard()->setText(QString::fromUtf8("A\u2192B"));
        description->paste();
        QInputMethodEvent composed;
        composed.setCommitString(QString::fromUtf8("\u4e2d"));
        QApplication::sendEvent(description, &composed);
        QCOMPARE(description->Text(), QString::fromUtf8("\u00bd mile  east"));
        QApplication::clipboard()->setText(QString::fromUtf8(" \u2013 ok"));
        description->paste();
        QCOMPARE(description->Text(), QString::fromUtf8("\u00bd mile  east \u2013 ok"));

        driver.Click(1);
        QCOMPARE(form.result(), int(QDialog::Accepted));
        form.CommitTo(project);
        QCOMPARE(project.projectTitle, std::string("Stra\u00dfe \u20ac5 \u2013 caf\u00e9  "));
        QVERIFY(FitsCp1252(project.projectDescription));
    }

    void f1OpensTheTopicAndShiftF1PopsUpTheFocusedField_data() {
        QTest::addColumn<QString>("form");
        QTest::addColumn<int>("templateId");
        QTest::addColumn<int>("field");
        QTest::newRow("general-info") << "general-info" << 130 << 1011;
        QTest::newRow("unit-prices") << "unit-prices" << 131 << 1036;
        QTest::newRow("traffic-work-zone") << "traffic-work-zone" << 134 << 1027;
        QTest::newRow("asphalt-activities") << "asphalt-activities" << 132 << 1039;
        QTest::newRow("concrete-activities") << "concrete-activities" << 140 << 1092;
        QTest::newRow("maintenance") << "maintenance" << 144 << 1141;
    }
    void f1OpensTheTopicAndShiftF1PopsUpTheFocusedField() {
        QFETCH(QString, form);
        QFETCH(int, templateId);
        QFETCH(int, field);
        ProjectData project;
        auto dialog = MakeForm(form, project);
        FormDriver driver(*dialog);
        test::HelpRecorder help;
        driver.Focus(field);
        driver.Key(Qt::Key_F1);
        QCOMPARE(help.topics, QStringList{form});
        QVERIFY(help.popups.isEmpty());
        driver.Key(Qt::Key_F1, Qt::ShiftModifier);
        QCOMPARE(help.popups.size(), 1);
        QCOMPARE(help.popups[0].contextId, 0x80000000u + templateId * 65536u + field);
        QVERIFY(!help.popups[0].text.isEmpty());
        QCOMPARE(HelpContextIdOf(dialog.get()), 0u);
        QVERIFY2(
            QFile::exists(QStringLiteral(VELMORA_TEST_DATA "/../../res/help/") + form + ".html"),
            "the full topic is written");
    }

    void everyInputControlHasAPopUpText_data() { AddFormRows(); }
    void everyInputControlHasAPopUpText() {
        QFETCH(QString, form);
        ProjectData project;
        auto dialog = MakeForm(form, project);
        int controls = 0;
        for (int id = 1; id < 1200; ++id) {
            QWidget* control = dialog->Control(id);
            if (!control || control->focusPolicy() == Qt::NoFocus) continue;
            ++controls;
            QVERIFY2(!PopupHelpText(HelpContextIdOf(control)).isEmpty(),
                     qPrintable(QString::number(id)));
        }
        QVERIFY(controls >= 12);
    }
};

QTEST_MAIN(InputDlgTest)
#include "InputDlgTest.moc"
