// The six input forms, driven as a user would: the range of every field, numbers that do not
// parse, Cancel, values left untouched, the order in which a form reads its fields, text a
// project file cannot hold, help, tab order. What the activities and maintenance forms derive has
// test files of their own; accepting every field of every form is the end-to-end test's business.
#include "FormDriver.h"
#include "GuiTestSupport.h"
#include "forms/AsphaltActivitiesForm.h"
#include "forms/ComputedCostsForm.h"
#include "forms/ConcreteActivitiesForm.h"
#include "forms/DescriptionEdit.h"
#include "forms/GeneralInfoForm.h"
#include "forms/MaintenanceForm.h"
#include "forms/PrintedReport.h"
#include "forms/TrafficWorkZoneForm.h"
#include "forms/UnitPricesForm.h"
#include "gui/FormNumbers.h"
#include "model/Cp1252.h"
#include "model/SavedFields.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <cstdio>
#include <limits>
#include <memory>
#include <span>
#include <type_traits>

using namespace velmora;
using test::Close;
using test::FormDriver;
using P = ProjectData;

namespace {

struct Form {
    const char* name; // its help topic and its picture in docs/
    bool (*edit)(ProjectData&, QWidget*);
    int templateId;
    const char* caption; // of its range messages
    const char* title;
};

const Form kForms[] = {
    {"general-info", EditGeneralInfo, 130, "Number Out of Range", "General Information"},
    {"unit-prices", EditUnitPrices, 131, "Price Out of Range", "Unit Prices"},
    {"traffic-work-zone", EditTrafficWorkZone, 134, "Value Out of Range",
     "Traffic and Work Zone Information"},
    {"asphalt-activities", EditAsphaltActivities, 132, "Value Out of Range",
     "Asphalt Construction/Rehabilitation Activities"},
    {"concrete-activities", EditConcreteActivities, 140, "Value Out of Range",
     "Concrete Construction/Rehabilitation Activities"},
    {"maintenance", EditMaintenance, 144, "Number Out of Range",
     "Recurring Maintenance Activities"},
};
enum { kGeneral, kPrices, kTraffic, kAsphalt, kConcrete, kMaintenance };

void AddFormRows() {
    QTest::addColumn<int>("form");
    for (int f = 0; f < 6; ++f) QTest::newRow(kForms[f].name) << f;
}

// The project each form is pictured with in docs/.
ProjectData Sample(int form) {
    ProjectData p;
    if (form == kPrices) {
        p.asphaltMisc.description = "Guardrail";
        p.concreteMisc[0] = {"Dowel bars", 0, 1};
        p.hmaWearingPrice = 55.5;
        p.concretePrice = 42;
    } else if (form == kAsphalt) {
        p.asphaltMisc = {"Guardrail", 0, UnitCode::Ton};
        p.asphaltStage[0].wearingThickness = p.asphaltStage[1].wearingThickness = 1.5;
        p.asphaltStage[0].binderThickness = 2.5;
        p.asphaltStage[0].baseThickness = 6;
        p.asphaltStage[0].aggBaseThickness = 8;
        p.asphaltStage[1].millingArea = 14080;
    } else if (form == kConcrete) {
        p.concreteMisc = {{{"Dowel bars", 0, UnitCode::Mile},
                           {"Lean concrete", 0, UnitCode::Cy},
                           {"Edge drain", 0, UnitCode::Foot}}};
        p.concreteStage[0].concreteArea = 14080;
        p.concreteStage[0].aggBaseThickness = 6;
        p.concreteStage[1].year = 20;
        p.concreteStage[1].concretePatchingArea = 352;
        p.PrepareConcreteMiscLabels();
    } else if (form == kMaintenance) {
        p.asphaltMaintenance[0] = {"Crack sealing", 2500, 1.2, 5, 0};
        p.asphaltMaintenance[1] = {"Chip seal", 14080, 2.75, 12, 0};
        p.concreteMaintenance[0] = {"Joint resealing", 21120, 1.1, 10, 0};
        p.concreteMaintenance[1] = {"Partial-depth patching", 350, 95, 15, 0};
    }
    return p;
}

const QString kNumberHint = "\nPlease enter a number such as 12.5 or 1.5E3, with a point for the "
                            "decimals and no thousands separators.";

void SetText(FormDriver& d, int id, const QString& text) {
    static_cast<QLineEdit*>(d.form.Control(id))->setText(text);
}

} // namespace

class InputFormTest : public QObject {
    Q_OBJECT
private slots:
    // CTest runs this program once more under a German locale, where the C library writes a
    // comma: every number below must still show and parse with a point.
    void initTestCase() {
        if (!qEnvironmentVariable("LC_ALL").startsWith("de_DE")) return;
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "%.1f", 12.5);
        QCOMPARE(QString(buffer), QString("12,5"));
    }

    void numbersShowWithFifteenDigitsAndOnlyPlainNumbersParse() {
        for (auto [value, text] : {std::pair{12.50, "12.5"},
                                   {0.1 + 0.2, "0.3"},
                                   {-35.0, "-35"},
                                   {1e20, "1e+20"},
                                   {0.00001, "1e-05"},
                                   {123456789012345678.0, "1.23456789012346e+17"}})
            QCOMPARE(FormatDouble(value), QString(text));
        for (auto [text, value] : {std::pair{"  12.50\t", 12.5},
                                   {"+3", 3.0},
                                   {"5.", 5.0},
                                   {".5", 0.5},
                                   {"1.5E-2", 0.015},
                                   {"2e+2", 200.0},
                                   {"007", 7.0}})
            QVERIFY2(ParseDouble(text) == value, text);
        for (const char* text : {"", " ", "12,5", "1 000", ".", "e5", "1e+", "--1", "inf", "nan",
                                 "0x1p3", "12.5%", "1e999", "\xc2\xbd"})
            QVERIFY2(!ParseDouble(QString::fromUtf8(text)), text);
        QCOMPARE(ParseInteger(" +9\t"), std::optional<std::int32_t>(9));
        QCOMPARE(ParseInteger("-2147483648"), std::optional<std::int32_t>(INT32_MIN));
        for (const char* text : {"2.5", "2.", "1e1", "-", "2147483648", "0x10", "1 0"})
            QVERIFY2(!ParseInteger(text), text);
    }

    // Values typed and left with Tab: `accepted` pass and stay as typed (so give them in their
    // shortest form); each of `refused` gives one message (its %1 the typed text) under
    // `caption`, or the form's, and the field shows `reset` and keeps the focus.
    void boundsAreAcceptedAndOutOfRangeIsReset_data() {
        QTest::addColumn<int>("form");
        QTest::addColumn<QList<int>>("ids");
        QTest::addColumn<QStringList>("accepted");
        QTest::addColumn<QStringList>("refused");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("reset");
        QTest::addColumn<QString>("caption");
        auto row = [](int form, const char* name, QList<int> ids, QStringList accepted,
                      QStringList refused, QString message, QString reset, QString caption = {}) {
            QTest::addRow("%s %s", kForms[form].name, name)
                << form << ids << accepted << refused << message << reset << caption;
        };
        auto positive = [&](const char* what, int id, const char* reset) {
            row(kGeneral, what, {id}, {"0", "0.5", "1000000"}, {"-0.001"},
                QString("Please enter a positive %1.").arg(what), reset);
        };
        positive("project length", 1011, "1");
        positive("analysis period", 1006, "40");
        positive("lane width", 1003, "12");
        positive("discount rate", 1005, "4");
        positive("consumer price index", 1010, "173.644");
        positive("number of shoulders", 1009, "2");
        positive("shoulder width", 1007, "4");
        row(kGeneral, "lanes", {1008}, {"1", "2.5", "10"}, {"0.999", "10.5", "-2"},
            "Please enter between 1 and 10 lanes.", "2");
        row(kGeneral, "speed", {1004}, {"5", "80"}, {"4", "80.01"},
            "Please enter a speed limit between 5 and 80 mph.", "55");
        const QString notANumber = "\"%1\" is not a number." + kNumberHint;
        row(kGeneral, "unparsable", {1003}, {"11.5"},
            {"12,5", "1,000", "1 000", "abc", "12.5.1", "0x10", "inf", "1e", "$12", "+-3"},
            notANumber, "11.5", "Invalid Number");
        row(kGeneral, "empty", {1003}, {"11.5"}, {"", "  "}, "The field is empty." + kNumberHint,
            "11.5", "Invalid Number");

        // The concrete aggregate base price (1024) is checked like every other price.
        row(kPrices, "prices",
            {1009, 1010, 1011, 1012, 1014, 1015, 1013, 1016, 1017, 1018, 1024, 1019, 1020, 1021,
             1030, 1031, 1032, 1022, 1023},
            {"0", "12.5", "250", "1e+15"}, {"-1", "-0.01"}, "Please enter a positive price/unit.",
            "0");
        row(kPrices, "unparsable", {1018}, {"48.25"}, {"$48", "1,250.00", "48.25 $/sy"}, notANumber,
            "48.25", "Invalid Number");

        row(kTraffic, "aadt", {1021}, {"0", "12500.5"}, {"-1"}, "Please enter a positive value.",
            "500");
        row(kTraffic, "trucks", {1022}, {"0", "100", "37.5"}, {"101", "-0.5"},
            "Please enter between 0 and 100 percent trucks.", "10");
        row(kTraffic, "growth", {1023}, {"0", "10", "2.5"}, {"10.01", "-1"},
            "Please enter between 0 and 10 percent growth rate.", "1");
        row(kTraffic, "work zone speed", {1024}, {"5", "55"}, {"60", "4.99"},
            "Please enter a work zone speed limit between 5 amd 55 mph.", "40");
        row(kTraffic, "work zone lanes", {1027}, {"1", "9", "3"}, {"10", "0"},
            "Please enter between 1 and 9 work zone lanes.", "1");
        row(kTraffic, "work zone length", {1025}, {"0", "3.75"}, {"-2"},
            "Please enter a positive value.", "1");
        row(kTraffic, "whole lanes", {1027}, {"2"}, {"2.5", "1e1", "two"},
            "\"%1\" is not a whole number.\nPlease enter a whole number, such as 2, without a "
            "decimal point.",
            "2", "Invalid Number");

        // Every box of both activities forms, in every stage, found by its row's label; the
        // initial year is not editable.
        for (int form : {kAsphalt, kConcrete}) {
            std::unique_ptr<InputForm> f;
            if (form == kAsphalt)
                f = std::make_unique<AsphaltActivitiesForm>(ProjectData());
            else
                f = std::make_unique<ConcreteActivitiesForm>(ProjectData());
            const QList<int> hma = form == kAsphalt
                                       ? f->IdsLabelled("HMA Wearing Course, pcf:") +
                                             f->IdsLabelled("HMA Binder Course, pcf.:") +
                                             f->IdsLabelled("HMA Base Course, pcf:")
                                       : f->IdsLabelled("HMA Overlay, pcf:");
            const QList<int> base = f->IdsLabelled("Aggregate Base, pcf:");
            QList<int> positives;
            for (int id = 3; id < 1200; ++id) {
                auto* edit = qobject_cast<QLineEdit*>(f->Control(id));
                if (edit && !edit->isReadOnly() && !hma.contains(id) && !base.contains(id))
                    positives << id;
            }
            QCOMPARE(positives.size() + hma.size() + base.size(), 13 * 4 - 1);
            row(form, "positive", positives, {"0", "12.5"}, {"-1"},
                "Please enter a positive value.", "0");
            const char* weight = "Please enter a unit weight between 50 and 200 pcf.";
            row(form, "HMA unit weight", hma, {"50", "200"}, {"49.9", "200.1"}, weight, "145");
            row(form, "base unit weight", base, {"50", "200"}, {"49.9", "200.1"}, weight, "115");
            row(form, "unparsable", {positives.back()}, {"1.5"}, {"1,5", "1.2.0"}, notANumber,
                "1.5", "Invalid Number");
        }

        const MaintenanceForm maintenance{ProjectData()};
        auto all = [&](const char* column) { return maintenance.IdsLabelled(column); };
        row(kMaintenance, "quantities", all("Quantity"), {"0", "2.5", "120000"}, {"-1", "-0.01"},
            "Please enter a non-negative maintenance quantity.", "0");
        row(kMaintenance, "unit prices", all("Unit Price"), {"0", "2.5", "120000"}, {"-1", "-0.01"},
            "Please enter a non-negative maintenance unit price.", "0");
        row(kMaintenance, "years", all("Years between treatments"), {"7", "0", "40"}, {"-3"},
            "Please enter a non-negative years between treatments.", "0");
        row(kMaintenance, "unparsable", {1104}, {"2.5"}, {"2,5"}, notANumber, "2.5",
            "Invalid Number");
    }
    void boundsAreAcceptedAndOutOfRangeIsReset() {
        QFETCH(int, form);
        QFETCH(QList<int>, ids);
        QFETCH(QStringList, accepted);
        QFETCH(QStringList, refused);
        QFETCH(QString, message);
        QFETCH(QString, reset);
        QFETCH(QString, caption);
        ProjectData project;
        test::MessageRecorder messages;
        test::RunForm(
            kForms[form].edit, project,
            [&](FormDriver& d) {
                for (int id : ids) {
                    for (const QString& value : accepted) {
                        d.Enter(id, value);
                        QCOMPARE(messages.shown.size(), 0);
                        QCOMPARE(d.Text(id), value);
                    }
                    for (const QString& value : refused) {
                        d.Enter(id, value);
                        QCOMPARE(messages.shown.size(), 1);
                        const ShownMessage& shown = messages.shown[0];
                        QCOMPARE(shown.text, message.contains("%1") ? message.arg(value) : message);
                        QCOMPARE(shown.caption, caption.isEmpty() ? kForms[form].caption : caption);
                        QCOMPARE(shown.icon, QMessageBox::Warning);
                        QCOMPARE(shown.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
                        QCOMPARE(d.Text(id), reset);
                        QVERIFY2(d.HasFocus(id), "the focus goes back to the refused field");
                        messages.shown.clear();
                    }
                }
            },
            Close::Cancel);
    }

    // Edits, one of them refused and reset, then the form is closed without accepting: the
    // project keeps every value it had.
    void cancelAfterEditsLeavesTheProjectUnchanged_data() {
        QTest::addColumn<int>("form");
        QTest::addColumn<Close>("close");
        QTest::addColumn<QStringList>("edits"); // "id=text"; a list takes the index
        QTest::newRow("general-info")
            << int(kGeneral) << Close::Cancel
            << QStringList{"1001=Route 9", "1011=3.5", "1004=99", "1067=1", "1068=1", "1003=10"};
        QTest::newRow("unit-prices")
            << int(kPrices) << Close::CloseBox
            << QStringList{"1009=-5", "1036=Rumble strips", "1013=1500", "1037=4", "1028="};
        QTest::newRow("traffic-work-zone")
            << int(kTraffic) << Close::Escape
            << QStringList{"1019=2", "1021=25000", "1024=60", "1027=2", "1028=1"};
        QTest::newRow("asphalt-activities")
            << int(kAsphalt) << Close::Cancel << QStringList{"1011=1200", "1027=250", "1061=14"};
        QTest::newRow("concrete-activities")
            << int(kConcrete) << Close::Escape << QStringList{"1037=1200", "1054=250", "1065=22"};
        QTest::newRow("maintenance")
            << int(kMaintenance) << Close::CloseBox
            << QStringList{"1108=Joint resealing", "1109=-4", "1106=3", "1142=12"};
    }
    void cancelAfterEditsLeavesTheProjectUnchanged() {
        QFETCH(int, form);
        QFETCH(Close, close);
        QFETCH(QStringList, edits);
        ProjectData project;
        project.asphaltMaintenance[0] = {"Crack sealing", 2, 500, 7, 5};
        project.rehabWzInclusion = WzInclusion::Exclude;
        project.PrepareConcreteMiscLabels();
        const ProjectData before = project;
        test::MessageRecorder messages;
        QVERIFY(!test::RunForm(
            kForms[form].edit, project,
            [&](FormDriver& d) {
                for (const QString& edit : edits)
                    d.Enter(edit.section('=', 0, 0).toInt(), edit.section('=', 1));
            },
            close));
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(SameSavedFields(project, before));
    }

    // Opening and accepting a form without touching it changes nothing but what the form
    // derives when it opens, not even values that 15 digits cannot show or list indexes that no
    // entry has.
    void untouchedFieldsKeepTheirValuesExactly_data() { AddFormRows(); }
    void untouchedFieldsKeepTheirValuesExactly() {
        QFETCH(int, form);
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
        project.concreteStage[2].year = std::numeric_limits<double>::infinity();
        project.concreteStage[0].miscUnitLabel[1] = "\u00a0cy";
        project.concreteMaintenance[3].quantity = 0.1 + 0.2;
        project.concreteMaintenance[2].description = "\u00a0 crack\tsealing ";
        project.asphaltMaintenance[1].yearsBetween = 7;
        project.asphaltMaintenance[1].treatmentCount = 99;
        ProjectData expected = project;
        // Derived on opening: the inclusion of each stage, the counts of the period.
        for (int k = 0; k < 4; ++k) {
            if (form == kAsphalt) expected.asphaltStage[k].wzInclusion = k == 0 ? 0 : 1;
            if (form == kConcrete) expected.concreteStage[k].wzInclusion = k == 0 ? 0 : 1;
        }
        if (form == kMaintenance) expected.asphaltMaintenance[1].treatmentCount = 5;
        test::MessageRecorder messages;
        QVERIFY(test::RunForm(
            kForms[form].edit, project, [](FormDriver&) {}, Close::Enter));
        QVERIFY(SameSavedFields(project, expected));
        QCOMPARE(project.asphaltMisc.description, expected.asphaltMisc.description);
        QCOMPARE(messages.shown.size(), 0);
    }

    // A form reads its fields in its own order, not the order on the screen. A field read after
    // one that does not parse keeps its old value, so its check sees no -1; one read before is
    // read and checked. Texts are read throughout, so a typed text is not lost.
    void theExchangeStopsAtTheFirstNumberItCannotRead_data() {
        QTest::addColumn<int>("form");
        QTest::addColumn<int>("unreadable");
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::addColumn<int>("text"); // 0: none
        QTest::newRow("general-info") << int(kGeneral) << 1003 << 1006 << 1011 << 1001;
        QTest::newRow("unit-prices") << int(kPrices) << 1021 << 1012 << 1023 << 1027;
        QTest::newRow("traffic-work-zone") << int(kTraffic) << 1023 << 1021 << 1024 << 0;
        // Aggregate base thickness first, days to complete last.
        QTest::newRow("asphalt") << int(kAsphalt) << 1038 << 1014 << 1061 << 0;
        // Concrete areas in the order stage 0, 2, 1, 3; unit weights before the days.
        QTest::newRow("concrete areas") << int(kConcrete) << 1067 << 1037 << 1049 << 0;
        QTest::newRow("concrete") << int(kConcrete) << 1092 << 1090 << 1083 << 0;
        // Years, quantities, prices; the description of activity 1 last.
        QTest::newRow("maintenance") << int(kMaintenance) << 1104 << 1106 << 1105 << 1108;
    }
    void theExchangeStopsAtTheFirstNumberItCannotRead() {
        QFETCH(int, form);
        QFETCH(int, unreadable);
        QFETCH(int, before);
        QFETCH(int, after);
        QFETCH(int, text);
        ProjectData project;
        test::MessageRecorder messages;
        test::RunForm(
            kForms[form].edit, project,
            [&](FormDriver& d) {
                const QString held = d.Text(after);
                // Text stays in a field unread only until the field is left: set it directly.
                if (text) d.Type(text, "Kept");
                SetText(d, unreadable, "1..2");
                d.Enter(after, "-1");
                QCOMPARE(messages.shown.size(), 1);
                QCOMPARE(messages.shown[0].caption, QString("Invalid Number"));
                QVERIFY(messages.shown[0].text.contains("\"1..2\""));
                QCOMPARE(d.Text(after), held);
                QVERIFY2(d.HasFocus(unreadable), "the focus goes to the field that did not parse");
                if (text) QCOMPARE(d.Text(text), QString("Kept"));
                messages.shown.clear();

                d.Focus(before);
                SetText(d, unreadable, "1..2");
                d.Enter(before, "-1");
                QCOMPARE(messages.shown.size(), 2);
                QCOMPARE(messages.shown[1].caption, QString(kForms[form].caption));
                QVERIFY(d.HasFocus(before));

                // Return checks the field it was pressed in, then every number: a value
                // refused or not read keeps the form open.
                d.Type(before, "-1");
                d.Key(Qt::Key_Return);
                QCOMPARE(messages.shown.size(), 3);
                QCOMPARE(messages.shown[2].caption, QString(kForms[form].caption));
                SetText(d, unreadable, "1..2");
                d.Key(Qt::Key_Return);
                QVERIFY(d.form.isVisible());
                QCOMPARE(messages.shown.size(), 4);
                QVERIFY(d.HasFocus(unreadable));
            },
            Close::Cancel);
    }

    // Text dropped into a field, or put there without the focus, was never checked: "Accept
    // Changes" runs every check in tab order, stopping at each refusal on its field, until all
    // pass. No number the default project holds is negative; each field gets -7.
    void acceptChecksEveryNumberHoweverItsTextArrived_data() { AddFormRows(); }
    void acceptChecksEveryNumberHoweverItsTextArrived() {
        QFETCH(int, form);
        const Form& f = kForms[form];
        ProjectData project;
        test::MessageRecorder messages;
        QVERIFY(test::RunForm(f.edit, project, [&](FormDriver& d) {
            const QList<int> tabOrder = d.TabRing();
            d.Focus(2);
            for (QLineEdit* edit : d.form.findChildren<QLineEdit*>())
                if (!edit->isReadOnly()) edit->setText("-7");
            qsizetype last = -1; // the tab position of the last refusal
            for (;;) {
                const qsizetype shown = messages.shown.size();
                d.Click(1);
                if (!d.form.isVisible()) return;
                QCOMPARE(messages.shown.size(), shown + 1);
                qsizetype at = 0;
                while (at < tabOrder.size() && !d.HasFocus(tabOrder[at])) ++at;
                QVERIFY2(at > last && at < tabOrder.size(), "the checks run in tab order");
                last = at;
            }
        }));
        ForEachSavedField(project, [](const FieldName& name, auto& value) {
            if constexpr (!std::is_same_v<std::decay_t<decltype(value)>, std::string>)
                QVERIFY2(value >= 0, name.str().c_str());
        });
    }

    // With the real message box, which takes the focus while it is up (a nested event loop
    // inside the field's focus change): one box per refusal, the field reset, the focus back.
    void refusalsWorkWithTheRealMessageBox() {
        ProjectData project;
        int boxes = 0;
        QString text;
        test::RunForm(
            EditGeneralInfo, project,
            [&](FormDriver& d) {
                QTimer closer;
                connect(&closer, &QTimer::timeout, [&] {
                    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                        ++boxes;
                        text = box->text();
                        box->accept();
                        // What the window manager does when a message box goes away.
                        QApplication::setActiveWindow(&d.form);
                    }
                });
                closer.start(10);
                d.Type(1008, "12");
                QTest::keyClick(d.form.Control(1008), Qt::Key_Tab); // on to 1003, lane width
                d.Type(1003, "-3");                                 // away from the reset lanes
                QTest::keyClick(d.form.Control(1003), Qt::Key_Tab);
                closer.stop();
                QCOMPARE(d.Text(1008), QString("2"));
                QCOMPARE(d.Text(1003), QString("12"));
                QVERIFY(d.HasFocus(1003));
            },
            Close::Cancel);
        QCOMPARE(boxes, 2);
        QCOMPARE(text, QString("Please enter a positive lane width."));
    }

    void textFieldsRefuseWhatAProjectFileCannotHold() {
        ProjectData project;
        const QString title = QString::fromUtf8("Stra\u00dfe \u20ac5 \u2013 caf\u00e9  ");
        QVERIFY(test::RunForm(EditGeneralInfo, project, [&](FormDriver& d) {
            d.Type(1001, QString::fromUtf8("Stra\u00dfe \u20ac5 \u2013 caf\u00e9 \u2192 \u4e2d"));
            QApplication::clipboard()->setText(QString::fromUtf8("A\U0001F600B"));
            static_cast<QLineEdit*>(d.form.Control(1001))->paste();
            QCOMPARE(d.Text(1001), title);

            d.Type(1002, QString::fromUtf8("\u00bd mile \u2192 east"));
            QApplication::clipboard()->setText(QString::fromUtf8("A\u2192B"));
            auto* description = static_cast<DescriptionEdit*>(d.form.Control(1002));
            description->paste();
            QInputMethodEvent composed;
            composed.setCommitString(QString::fromUtf8("\u4e2d"));
            QApplication::sendEvent(description, &composed);
            QApplication::clipboard()->setText(QString::fromUtf8(" \u2013 ok"));
            description->paste();
            QCOMPARE(d.Text(1002), QString::fromUtf8("\u00bd mile  east \u2013 ok"));
        }));
        QCOMPARE(QString::fromStdString(project.projectTitle), title);
        QVERIFY(FitsCp1252(project.projectDescription));
    }

    // The title, the picture in docs/, the tab order from the control focused on opening, F1
    // for the form's topic and Shift+F1 for the pop-up of every control that takes the focus.
    void titleTabOrderHelpAndPicture_data() { AddFormRows(); }
    void titleTabOrderHelpAndPicture() {
        QFETCH(int, form);
        const Form& f = kForms[form];
        ProjectData project = Sample(form);
        test::HelpRecorder help;
        test::RunForm(
            f.edit, project,
            [&](FormDriver& d) {
                QCOMPARE(d.form.windowTitle(),
                         QString(f.title) + " (Shift+F1=Pop-Up Help; F1=Full Help)");
                test::SaveScreenshot(&d.form, f.name);
                // Tab reaches every control that takes the focus, once each.
                QList<int> ring = d.TabRing(), focusable;
                for (int id = 1; id < 1200; ++id) {
                    QWidget* control = d.form.Control(id);
                    if (control && control->isEnabled() && control->focusPolicy() & Qt::TabFocus)
                        focusable << id;
                }
                std::sort(ring.begin(), ring.end());
                QCOMPARE(ring, focusable);
                QCOMPARE(HelpContextIdOf(&d.form), 0u);
                d.Key(Qt::Key_F1);
                QCOMPARE(help.topics, QStringList{f.name});
                for (int id = 1; id < 1200; ++id) {
                    QWidget* control = d.form.Control(id);
                    if (!control || !control->isEnabled() || control->focusPolicy() == Qt::NoFocus)
                        continue;
                    d.Focus(id);
                    d.Key(Qt::Key_F1, Qt::ShiftModifier);
                    QCOMPARE(help.popups.size(), 1);
                    QCOMPARE(help.popups[0].contextId, HelpContextId(f.templateId, id));
                    QVERIFY2(!help.popups[0].text.isEmpty(), qPrintable(QString::number(id)));
                    help.popups.clear();
                }
            },
            Close::Cancel);
        QVERIFY(
            QFile::exists(QStringLiteral(VELMORA_TEST_DATA "/../../res/help/") + f.name + ".html"));
    }

    // At the form's size every box shows the whole of a number of 15 significant digits, from
    // its start; a box that cannot be typed into does not look like one that can; and the wheel
    // turns a list only when the list has the focus.
    void boxesShowLongNumbersAndListsIgnoreAStrayWheel_data() { AddFormRows(); }
    void boxesShowLongNumbersAndListsIgnoreAStrayWheel() {
        QFETCH(int, form);
        ProjectData project;
        ForEachSavedField(project, [](const FieldName&, auto& value) {
            if constexpr (std::is_same_v<std::decay_t<decltype(value)>, double>)
                value = -1234.56789012345;
        });
        test::MessageRecorder messages;
        test::RunForm(
            kForms[form].edit, project,
            [](FormDriver& d) {
                for (QLineEdit* edit : d.form.findChildren<QLineEdit*>()) {
                    if (!edit->isVisible()) continue;
                    const QString text = edit->text();
                    // The field focused on opening has its text selected, to be typed over.
                    QVERIFY2(edit->cursorPosition() == 0 || edit->selectedText() == text,
                             qPrintable(text));
                    edit->end(false);
                    edit->grab(); // the edit scrolls to its cursor as it paints
                    QVERIFY2(edit->cursorPositionAt(QPoint(1, edit->height() / 2)) == 0,
                             qPrintable(text + " does not fit"));
                    QCOMPARE(edit->palette().color(QPalette::Base) ==
                                 d.form.palette().color(QPalette::Base),
                             !edit->isReadOnly());
                }
                const auto wheel = [](QComboBox* list) {
                    QWheelEvent down(QPointF(4, 4), list->mapToGlobal(QPointF(4, 4)), {}, {0, -120},
                                     Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
                    QApplication::sendEvent(list, &down);
                    return list->currentIndex();
                };
                // Off the field focused on opening: its check refuses the value, and holds the
                // focus there once.
                d.Focus(2);
                for (QComboBox* list : d.form.findChildren<QComboBox*>()) {
                    if (!list->isVisible()) continue;
                    const int index = list->currentIndex();
                    list->clearFocus();
                    QCOMPARE(wheel(list), index);
                    list->setFocus();
                    QCOMPARE(wheel(list), index + 1);
                }
            },
            Close::Cancel);
    }
};

QTEST_MAIN(InputFormTest)
#include "InputFormTest.moc"
