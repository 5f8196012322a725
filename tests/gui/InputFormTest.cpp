// The edit cycle of the six input forms as a user drives it, and the treatment counts the
// maintenance form derives. The range checks have a test of their own.
#include "FormDriver.h"
#include "GuiTestSupport.h"
#include "InputForms.h"
#include "forms/DescriptionEdit.h"
#include "model/Cp1252.h"
#include "model/SavedFields.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QWheelEvent>
#include <limits>

using namespace velmora;
using namespace velmora::test;

class InputFormTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { CheckCommaLocale(); }

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
                test::SaveScreenshot(&d.form, kForms[form].name);
            },
            close));
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(SameSavedFields(project, before));
    }

    // Not even values that 15 digits cannot show or list indexes that no entry has change.
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
        for (int k = 0; k < 4; ++k) {
            if (form == kAsphalt) expected.asphaltStage[k].wzInclusion = k == 0 ? 0 : 1;
            if (form == kConcrete) expected.concreteStage[k].wzInclusion = k == 0 ? 0 : 1;
        }
        if (form == kMaintenance) expected.asphaltMaintenance[1].treatmentCount = 5;
        test::MessageRecorder messages;
        // A stray turn of the wheel while scrolling past a list changes nothing either.
        QVERIFY(test::RunForm(
            kForms[form].edit, project,
            [](FormDriver& d) {
                for (QComboBox* list : d.form.findChildren<QComboBox*>()) {
                    list->clearFocus();
                    QWheelEvent down(QPointF(4, 4), list->mapToGlobal(QPointF(4, 4)), {}, {0, -120},
                                     Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
                    QApplication::sendEvent(list, &down);
                }
            },
            Close::Enter));
        QVERIFY(SameSavedFields(project, expected));
        QCOMPARE(project.asphaltMisc.description, expected.asphaltMisc.description);
    }

    // F1 opens the form's help topic, and Shift+F1 a pop-up on whichever control has the focus.
    void everyControlHasItsHelp_data() { AddFormRows(); }
    void everyControlHasItsHelp() {
        QFETCH(int, form);
        ProjectData project;
        test::HelpRecorder help;
        test::RunForm(
            kForms[form].edit, project,
            [&](FormDriver& d) {
                d.Key(Qt::Key_F1);
                QCOMPARE(help.topics, QStringList{kForms[form].name});
                for (int id = 1; id < 1200; ++id) {
                    QWidget* control = d.form.Control(id);
                    if (!control || !control->isEnabled() ||
                        !(control->focusPolicy() & Qt::TabFocus))
                        continue;
                    d.Focus(id);
                    d.Key(Qt::Key_F1, Qt::ShiftModifier);
                    QVERIFY2(help.popups.size() == 1 && !help.popups.takeFirst().isEmpty(),
                             qPrintable(QString::number(id)));
                }
            },
            Close::Cancel);
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

    // The count follows the years of its own row when the field is left.
    void leavingAYearsFieldUpdatesItsCount() {
        ProjectData project;
        test::MessageRecorder messages;
        test::RunForm(
            EditMaintenance, project,
            [&](FormDriver& d) {
                for (int k = 0; k < 8; ++k) {
                    const int years = d.form.IdsLabelled("Years between treatments")[k];
                    const int count = d.form.IdsLabelled("Number of Treatments in Analysis")[k];
                    for (auto [typed, shown] : {std::pair{"7", "5"}, {"0", "0"}, {" 40 ", "1"}}) {
                        d.Enter(years, typed);
                        QCOMPARE(d.Text(count), QString(shown));
                    }
                }
            },
            Close::Cancel);
    }

    void countsFollowAChangedPeriodAndAreStoredOnlyWhenAccepted() {
        ProjectData project;
        project.concreteMaintenance[1].yearsBetween = 7;
        test::MessageRecorder messages;
        QVERIFY(test::RunForm(EditMaintenance, project, [](FormDriver&) {}));
        QCOMPARE(project.concreteMaintenance[1].treatmentCount, 5.0);
        QVERIFY(
            test::RunForm(EditGeneralInfo, project, [](FormDriver& d) { d.Enter(1006, "21"); }));
        QVERIFY(!test::RunForm(
            EditMaintenance, project, [](FormDriver& d) { QCOMPARE(d.Text(1130), QString("3")); },
            Close::Cancel));
        QCOMPARE(project.concreteMaintenance[1].treatmentCount, 5.0);
        QVERIFY(test::RunForm(EditMaintenance, project, [](FormDriver&) {}));
        QCOMPARE(project.concreteMaintenance[1].treatmentCount, 3.0);
        QCOMPARE(messages.shown.size(), 0);
    }
};

QTEST_MAIN(InputFormTest)
#include "InputFormTest.moc"
