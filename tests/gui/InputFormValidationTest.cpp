// The checks of the input forms' numbers: the range of every field, text that does not parse,
// and "Accept Changes" checking every number.
#include "FormDriver.h"
#include "GuiTestSupport.h"
#include "InputForms.h"
#include "gui/FormNumbers.h"
#include "model/SavedFields.h"

#include <QApplication>
#include <QLineEdit>
#include <memory>
#include <type_traits>

using namespace velmora;
using namespace velmora::test;

namespace {

const QString kNumberHint = "\nPlease enter a number such as 12.5 or 1.5E3, with a point for the "
                            "decimals and no thousands separators.";

} // namespace

class InputFormValidationTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { CheckCommaLocale(); }

    // What no range row types: the 15 digits shown, and the plain forms a number may take.
    void numbersShowWithFifteenDigitsAndParseInEveryPlainForm() {
        for (auto [value, text] : {std::pair{12.50, "12.5"},
                                   {0.1 + 0.2, "0.3"},
                                   {1e20, "1e+20"},
                                   {123456789012345678.0, "1.23456789012346e+17"}})
            QCOMPARE(FormatDouble(value), QString(text));
        for (auto [text, value] : {std::pair{"  12.50\t", 12.5},
                                   {"+3", 3.0},
                                   {".5", 0.5},
                                   {"1.5E-2", 0.015},
                                   {"007", 7.0}})
            QVERIFY2(ParseDouble(text) == value, text);
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
            {"12,5", "1,000", "1 000", "abc", "12.5.1", "0x10", "inf", "nan", "1e", "1e999", "$12",
             "+-3", "."},
            notANumber, "11.5", "Invalid Number");
        row(kGeneral, "empty", {1003}, {"11.5"}, {"", "  "}, "The field is empty." + kNumberHint,
            "11.5", "Invalid Number");

        // The concrete aggregate base price (1024) is checked like every other price.
        row(kPrices, "prices",
            {1009, 1010, 1011, 1012, 1014, 1015, 1013, 1016, 1017, 1018, 1024, 1019, 1020, 1021,
             1030, 1031, 1032, 1022, 1023},
            {"0", "12.5", "250", "1e+15"}, {"-1", "-0.01"}, "Please enter a positive price/unit.",
            "0");

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
        row(kTraffic, "whole lanes", {1027}, {"2"}, {"2.5", "1e1", "two", "2147483648"},
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
        }

        const MaintenanceForm maintenance{ProjectData()};
        auto all = [&](const char* column) { return maintenance.IdsLabelled(column); };
        row(kMaintenance, "quantities", all("Quantity"), {"0", "2.5", "120000"}, {"-1", "-0.01"},
            "Please enter a non-negative maintenance quantity.", "0");
        row(kMaintenance, "unit prices", all("Unit Price"), {"0", "2.5", "120000"}, {"-1", "-0.01"},
            "Please enter a non-negative maintenance unit price.", "0");
        row(kMaintenance, "years", all("Years between treatments"), {"7", "0", "40"}, {"-3"},
            "Please enter a non-negative years between treatments.", "0");
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
                        QCOMPARE(d.Text(id), reset);
                        QVERIFY2(d.HasFocus(id), "the focus goes back to the refused field");
                        messages.shown.clear();
                    }
                }
            },
            Close::Cancel);
    }

    // Text dropped into a field was never checked: "Accept Changes" runs every check in tab
    // order, stopping at each refusal, until all pass.
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
};

QTEST_MAIN(InputFormValidationTest)
#include "InputFormValidationTest.moc"
