// The Unit Prices form: one rule for every price, the miscellaneous pay items, its edit cycle,
// its order of fields.
#include "CUnitPricesDlg.h"
#include "FormDriver.h"
#include "Forms.h"
#include "GuiTestSupport.h"
#include "model/SavedFields.h"

#include <QTest>

using namespace velmora;
using test::Close;
using test::FormDriver;

class UnitPricesDlgTest : public QObject {
    Q_OBJECT
private slots:
    void everyPriceRefusesOnlyValuesBelowZero_data() {
        QTest::addColumn<int>("id");
        // 1024, the concrete aggregate base price, is checked like every other price.
        for (int id : {1009, 1010, 1011, 1012, 1014, 1015, 1013, 1016, 1017, 1018, 1024, 1019, 1020,
                       1021, 1030, 1031, 1032, 1022, 1023})
            QTest::newRow(qPrintable(QString::number(id))) << id;
    }
    void everyPriceRefusesOnlyValuesBelowZero() {
        QFETCH(int, id);
        ProjectData project;
        CUnitPricesDlg form(project);
        FormDriver driver(form);
        test::MessageRecorder messages;
        driver.Enter(id, "7"); // so that the reset to 0 is seen
        test::CheckBounds(driver, messages, id, {"0", "12.5", "250", "1e+15"}, {"-1", "-0.01"},
                          "Please enter a positive price/unit.", "Price Out of Range", "0");
    }

    void textThatDoesNotParseIsRefusedAndReverted() {
        ProjectData project;
        project.concretePrice = 48.25;
        CUnitPricesDlg form(project);
        FormDriver driver(form);
        test::MessageRecorder messages;
        for (const char* typed : {"$48", "1,250.00", "48.25 $/sy", "", "forty"}) {
            driver.Enter(1018, typed);
            QCOMPARE(messages.shown.size(), 1);
            QCOMPARE(messages.shown[0].caption, QString("Invalid Number"));
            QCOMPARE(driver.Text(1018), QString("48.25"));
            QVERIFY(driver.HasFocus(1018));
            messages.shown.clear();
        }
    }

    void cancelAfterEditsLeavesTheProjectUnchanged() {
        ProjectData project;
        project.hmaWearingPrice = 52;
        const ProjectData before = project;
        test::MessageRecorder messages;
        QVERIFY(!test::RunForm(
            EditUnitPrices, project,
            [](FormDriver& d) {
                d.Enter(1009, "-5"); // refused: the working value becomes 0
                d.Enter(1036, "Rumble strips");
                d.Enter(1013, "1500");
                d.Choose(1037, 4);
                d.Enter(1028, "");
                d.Choose(1034, 2);
                d.Enter(1023, "3");
            },
            Close::Cancel));
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(SameSavedFields(project, before));
    }

    void acceptStoresTheValuesAndReopeningShowsThemNormalised() {
        ProjectData project;
        test::MessageRecorder messages;
        QVERIFY(test::RunForm(
            EditUnitPrices, project,
            [](FormDriver& d) {
                d.Enter(1009, "55.50");
                d.Enter(1010, "50");
                d.Enter(1011, "45");
                d.Enter(1012, "12");
                d.Enter(1014, "2.75");
                d.Enter(1015, "30");
                d.Enter(1036, "Guardrail");
                d.Enter(1013, "18.00");
                d.Choose(1037, 4);
                d.Enter(1016, "5");
                d.Enter(1017, "3");
                d.Enter(1018, "42");
                d.Enter(1024, "13");
                d.Enter(1019, "4");
                d.Enter(1020, "1.25");
                d.Enter(1021, "120");
                d.Enter(1027, "Dowel bars");
                d.Enter(1030, "9");
                d.Choose(1033, 5);
                d.Enter(1028, ""); // an item may be left without a description
                d.Enter(1031, "0");
                d.Choose(1034, 2);
                d.Enter(1029, "Tie bars");
                d.Enter(1032, "7");
                d.Choose(1035, 3);
                d.Enter(1022, "6");
                d.Enter(1023, "2.50");
            },
            Close::Accept));
        QCOMPARE(messages.shown.size(), 0);
        QCOMPARE(project.hmaWearingPrice, 55.5);
        QCOMPARE(project.hmaBinderPrice, 50.0);
        QCOMPARE(project.hmaBasePrice, 45.0);
        QCOMPARE(project.asphaltAggBasePrice, 12.0);
        QCOMPARE(project.asphaltMillingPrice, 2.75);
        QCOMPARE(project.asphaltPatchingPrice, 30.0);
        QCOMPARE(project.asphaltMisc.description, std::string("Guardrail"));
        QCOMPARE(project.asphaltMisc.unitPrice, 18.0);
        QCOMPARE(project.asphaltMisc.unit, 4);
        QCOMPARE(project.asphaltMobilizationPct, 5.0);
        QCOMPARE(project.asphaltTrafficControlPct, 3.0);
        QCOMPARE(project.concretePrice, 42.0);
        QCOMPARE(project.concreteAggBasePrice, 13.0);
        QCOMPARE(project.concreteGrindingPrice, 4.0);
        QCOMPARE(project.jointSealingPrice, 1.25);
        QCOMPARE(project.concretePatchingPrice, 120.0);
        QCOMPARE(project.concreteMisc[0].description, std::string("Dowel bars"));
        QCOMPARE(project.concreteMisc[0].unitPrice, 9.0);
        QCOMPARE(project.concreteMisc[0].unit, 5);
        QCOMPARE(project.concreteMisc[1].description, std::string());
        QCOMPARE(project.concreteMisc[1].unitPrice, 0.0);
        QCOMPARE(project.concreteMisc[1].unit, 2);
        QCOMPARE(project.concreteMisc[2].description, std::string("Tie bars"));
        QCOMPARE(project.concreteMisc[2].unitPrice, 7.0);
        QCOMPARE(project.concreteMisc[2].unit, 3);
        QCOMPARE(project.concreteMobilizationPct, 6.0);
        QCOMPARE(project.concreteTrafficControlPct, 2.5);

        const ProjectData accepted = project;
        QVERIFY(test::RunForm(
            EditUnitPrices, project,
            [](FormDriver& d) {
                QCOMPARE(d.Text(1009), QString("55.5"));
                QCOMPARE(d.Text(1013), QString("18"));
                QCOMPARE(d.Text(1023), QString("2.5"));
                QCOMPARE(d.Text(1037), QString("foot"));
                QCOMPARE(d.Text(1033), QString("other"));
                QCOMPARE(d.Text(1034), QString("cy"));
                QCOMPARE(d.Text(1035), QString("ton"));
                QCOMPARE(d.Text(1036), QString("Guardrail"));
                QCOMPARE(d.Text(1028), QString());
            },
            Close::Accept));
        QVERIFY(SameSavedFields(project, accepted));
    }

    void unitListsHoldTheUnitCodesInOrder() {
        ProjectData project;
        CUnitPricesDlg form(project);
        FormDriver driver(form);
        for (int id : {1037, 1033, 1034, 1035}) {
            QStringList entries;
            for (int i = 0; i < 6; ++i) {
                driver.Choose(id, i);
                entries << driver.Text(id);
            }
            QCOMPARE(entries, (QStringList{"mile", "sy", "cy", "ton", "foot", "other"}));
        }
    }

    void tabOrderFollowsTheForm() {
        ProjectData project;
        CUnitPricesDlg form(project);
        FormDriver driver(form);
        QCOMPARE(driver.TabWalk(30),
                 (QList<int>{1009, 1010, 1011, 1012, 1014, 1015, 1036, 1013, 1037, 1016,
                             1017, 1018, 1024, 1019, 1020, 1021, 1027, 1030, 1033, 1028,
                             1031, 1034, 1029, 1032, 1035, 1022, 1023, 1,    2,    1009}));
    }

    void screenshot() {
        ProjectData project;
        project.asphaltMisc.description = "Guardrail";
        project.concreteMisc[0].description = "Dowel bars";
        project.concreteMisc[0].unit = 1;
        project.hmaWearingPrice = 55.5;
        project.concretePrice = 42;
        CUnitPricesDlg form(project);
        FormDriver driver(form);
        QCOMPARE(form.windowTitle(), QString("Unit Prices (Shift+F1=Pop-Up Help; F1=Full Help)"));
        test::SaveScreenshot(&form, "unit-prices");
    }
};

QTEST_MAIN(UnitPricesDlgTest)
#include "UnitPricesDlgTest.moc"
