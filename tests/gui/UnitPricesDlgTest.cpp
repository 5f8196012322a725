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
        for (const char* typed : {"$48", "1,250.00", "48.25 $/sy"}) {
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

    void acceptStoresEveryFieldAndReopeningShowsItNormalised() {
        test::CheckAcceptStores(
            EditUnitPrices,
            {
                {1009, "hmaWearingPrice", "55.50", "55.5"},
                {1010, "hmaBinderPrice", "50", "50"},
                {1011, "hmaBasePrice", "45", "45"},
                {1012, "asphaltAggBasePrice", "12", "12"},
                {1014, "asphaltMillingPrice", "2.75", "2.75"},
                {1015, "asphaltPatchingPrice", "30", "30"},
                {1036, "asphaltMisc.description", "Guardrail", "Guardrail"},
                {1013, "asphaltMisc.unitPrice", "18.00", "18"},
                {1037, "asphaltMisc.unit", "4", "foot"},
                {1016, "asphaltMobilizationPct", "5", "5"},
                {1017, "asphaltTrafficControlPct", "3", "3"},
                {1018, "concretePrice", "42", "42"},
                {1024, "concreteAggBasePrice", "13", "13"},
                {1019, "concreteGrindingPrice", "4", "4"},
                {1020, "jointSealingPrice", "1.25", "1.25"},
                {1021, "concretePatchingPrice", "120", "120"},
                {1027, "concreteMisc[0].description", "Dowel bars", "Dowel bars"},
                {1030, "concreteMisc[0].unitPrice", "9", "9"},
                {1033, "concreteMisc[0].unit", "5", "other"},
                {1028, "concreteMisc[1].description", "", ""}, // no description is fine
                {1031, "concreteMisc[1].unitPrice", "8", "8"},
                {1034, "concreteMisc[1].unit", "2", "cy"},
                {1029, "concreteMisc[2].description", "Tie bars", "Tie bars"},
                {1032, "concreteMisc[2].unitPrice", "7", "7"},
                {1035, "concreteMisc[2].unit", "3", "ton"},
                {1022, "concreteMobilizationPct", "6", "6"},
                {1023, "concreteTrafficControlPct", "2.50", "2.5"},
            });
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
