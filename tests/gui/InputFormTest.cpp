// The edit cycle of the six input forms as a user drives it, and what the activities and
// maintenance forms derive: the initial year, the miscellaneous rows, the stages' inclusion, the
// treatment counts. The range checks have a test of their own.
#include "FormDriver.h"
#include "GuiTestSupport.h"
#include "InputForms.h"
#include "forms/DescriptionEdit.h"
#include "model/Cp1252.h"
#include "model/SavedFields.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QWheelEvent>
#include <limits>

using namespace velmora;
using namespace velmora::test;

namespace {

// The project each form is pictured with in docs/.
ProjectData Sample(int form) {
    ProjectData p;
    p.asphaltMisc = {"Guardrail", 0, UnitCode::Ton};
    p.concreteMisc = {{{"Dowel bars", 0, UnitCode::Mile},
                       {"Lean concrete", 0, UnitCode::Cy},
                       {"Edge drain", 0, UnitCode::Foot}}};
    p.asphaltStage[0].wearingThickness = p.asphaltStage[1].wearingThickness = 1.5;
    p.concreteStage[0].concreteArea = 14080;
    p.asphaltMaintenance[0] = {"Crack sealing", 2500, 1.2, 5, 0};
    p.concreteMaintenance[0] = {"Joint resealing", 21120, 1.1, 10, 0};
    if (form == kConcrete) p.PrepareConcreteMiscLabels();
    return p;
}

} // namespace

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
        QVERIFY(test::RunForm(
            kForms[form].edit, project, [](FormDriver&) {}, Close::Enter));
        QVERIFY(SameSavedFields(project, expected));
        QCOMPARE(project.asphaltMisc.description, expected.asphaltMisc.description);
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

    // Tab reaches every control that takes the focus, once each; F1 and Shift+F1 give help.
    void tabOrderHelpAndPicture_data() { AddFormRows(); }
    void tabOrderHelpAndPicture() {
        QFETCH(int, form);
        const Form& f = kForms[form];
        ProjectData project = Sample(form);
        test::HelpRecorder help;
        test::RunForm(
            f.edit, project,
            [&](FormDriver& d) {
                test::SaveScreenshot(&d.form, f.name);
                QList<int> ring = d.TabRing(), focusable;
                for (int id = 1; id < 1200; ++id) {
                    QWidget* control = d.form.Control(id);
                    if (control && control->isEnabled() && control->focusPolicy() & Qt::TabFocus)
                        focusable << id;
                }
                std::sort(ring.begin(), ring.end());
                QCOMPARE(ring, focusable);
                d.Key(Qt::Key_F1);
                QCOMPARE(help.topics, QStringList{f.name});
                for (int id : focusable) {
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

    // A stray turn of the wheel while scrolling past a list must not change the project.
    void listsIgnoreAStrayWheel_data() { AddFormRows(); }
    void listsIgnoreAStrayWheel() {
        QFETCH(int, form);
        ProjectData project;
        MessageRecorder messages;
        RunForm(
            kForms[form].edit, project,
            [](FormDriver& d) {
                for (QComboBox* list : d.form.findChildren<QComboBox*>()) {
                    const int index = list->currentIndex();
                    list->clearFocus();
                    QWheelEvent down(QPointF(4, 4), list->mapToGlobal(QPointF(4, 4)), {}, {0, -120},
                                     Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
                    QApplication::sendEvent(list, &down);
                    QCOMPARE(list->currentIndex(), index);
                }
            },
            Close::Cancel);
    }

    void theInitialYearIsShownButCannotBeTypedInto() {
        for (int form : {kAsphalt, kConcrete}) {
            ProjectData project;
            project.asphaltStage[0].year = project.concreteStage[0].year = 2.5;
            test::MessageRecorder messages;
            QVERIFY(test::RunForm(kForms[form].edit, project, [&](FormDriver& d) {
                const int id = d.form.IdsLabelled("Year:")[0];
                QVERIFY2(d.HasFocus(id), "the form opens on the year of the initial construction");
                d.Enter(id, "-7");
                d.Keys(id, "9");
                QCOMPARE(d.Text(id), QString("2.5"));
            }));
            QCOMPARE(messages.shown.size(), 0);
            QCOMPARE(project.asphaltStage[0].year + project.concreteStage[0].year, 5.0);
        }
    }

    // Accepting stores the switches' copy in the form's own option's stages, not the other's.
    void eachStageIncludesWhatItsSwitchSays() {
        ProjectData project;
        project.initialWzInclusion = 1;
        const auto inclusions = [](const auto& stages) {
            QList<int> out;
            for (const auto& stage : stages) out << stage.wzInclusion;
            return out;
        };
        QVERIFY(test::RunForm(kForms[kConcrete].edit, project, [](FormDriver&) {}));
        QCOMPARE(inclusions(project.concreteStage), QList<int>({1, 0, 0, 0}));
        QCOMPARE(inclusions(project.asphaltStage), QList<int>({0, 0, 0, 0}));
    }

    // A refused years value is reset, and the count follows when the field is left again.
    void leavingAYearsFieldUpdatesItsCount() {
        ProjectData project;
        test::MessageRecorder messages;
        test::RunForm(
            EditMaintenance, project,
            [&](FormDriver& d) {
                const QList<int> counts = d.form.IdsLabelled("Number of Treatments in Analysis");
                for (int k = 0; k < 8; ++k) {
                    const int years = d.form.IdsLabelled("Years between treatments")[k];
                    const int count = counts[k];
                    QVERIFY(static_cast<QLineEdit*>(d.form.Control(count))->isReadOnly());
                    for (auto [typed, shown] : {std::pair{"7", "5"}, {"0", "0"}, {" 40 ", "1"}}) {
                        d.Enter(years, typed);
                        QCOMPARE(d.Text(count), QString(shown));
                    }
                    d.Enter(years, "-3");
                    QCOMPARE(d.Text(count), QString("1"));
                    d.Key(Qt::Key_Tab);
                    QCOMPARE(d.Text(count), QString("0"));
                    QCOMPARE(messages.shown.size(), k + 1);
                    d.Enter(years, "10");
                }
                for (int count : counts) QCOMPARE(d.Text(count), "4");
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
