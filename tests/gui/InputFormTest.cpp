// The edit cycle of the six input forms, driven as a user would: Cancel and its kin leave the
// project as it was, Accept stores untouched values exactly, text a project file cannot hold
// stays out, every control is reached by Tab and has help; and what the activities and
// maintenance forms derive: the initial year shown only, the miscellaneous rows labelled from the
// unit prices, the stages' inclusion set from the switches, the treatment counts from the years
// between them. The range checks have a test of their own; accepting every field of every form
// is the end-to-end test's business.
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

} // namespace

class InputFormTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { CheckCommaLocale(); }

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

    // Tab reaches every control that takes the focus, once each; F1 shows the form's topic and
    // Shift+F1 the pop-up of every such control. The picture in docs/ is taken here.
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

    // The wheel turns a list only when the list has the focus: a stray turn while scrolling
    // past it must not change the project.
    void listsIgnoreAStrayWheel_data() { AddFormRows(); }
    void listsIgnoreAStrayWheel() {
        QFETCH(int, form);
        ProjectData project;
        MessageRecorder messages;
        RunForm(
            kForms[form].edit, project,
            [](FormDriver& d) {
                const auto wheel = [](QComboBox* list) {
                    QWheelEvent down(QPointF(4, 4), list->mapToGlobal(QPointF(4, 4)), {}, {0, -120},
                                     Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
                    QApplication::sendEvent(list, &down);
                    return list->currentIndex();
                };
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

    // The row caption and the unit words follow the pay items' units (the end-to-end test shows
    // ton, cy and other); a code outside the list keeps what was there, "NA" at first. The
    // descriptions under the labels are read-only.
    void theMiscellaneousRowsShowTheirUnitsAndDescriptions() {
        ProjectData project;
        project.asphaltMisc = {"Guardrail", 0, UnitCode::Mile};
        QVERIFY(!test::RunForm(
            EditAsphaltActivities, project, [](FormDriver&) {}, Close::Cancel));
        project.asphaltMisc.unit = project.concreteMisc[2].unit = -1;
        project.PrepareConcreteMiscLabels();
        QVERIFY(test::RunForm(EditAsphaltActivities, project, [](FormDriver& d) {
            QCOMPARE(d.Text(1070), QString("Misc., miles:"));
            d.Keys(1071, "x");
            QCOMPARE(d.Text(1071), QString("Guardrail"));
        }));
        QVERIFY(test::RunForm(EditConcreteActivities, project, [](FormDriver& d) {
            QCOMPARE(d.Text(1097), QString("NA")); // the unit word of the 3rd item, 3rd rehab
            d.Keys(1104, "x");
            QCOMPARE(d.Text(1104), QString("Misc Description..."));
        }));
        QCOMPARE(project.concreteStage[3].miscUnitLabel[2], std::string("NA"));
    }

    // Whatever the stages held, accepting stores the switches' copy; cancelling stores nothing.
    void eachStageIncludesWhatItsSwitchSays_data() {
        QTest::addColumn<int>("form");
        QTest::addColumn<int>("initial");
        QTest::addColumn<int>("rehab");
        QTest::addColumn<QList<int>>("held");
        QTest::addColumn<QList<int>>("stored");
        QTest::newRow("asphalt, rehabilitation excluded")
            << int(kAsphalt) << 0 << 1 << QList<int>{1, 0, 0, 0} << QList<int>{0, 1, 1, 1};
        QTest::newRow("concrete, initial construction excluded")
            << int(kConcrete) << 1 << 0 << QList<int>{0, 1, 1, 1} << QList<int>{1, 0, 0, 0};
        QTest::newRow("asphalt, a switch from a file that is neither") // not 0 counts as Exclude
            << int(kAsphalt) << 0 << 5 << QList<int>{0, 0, 0, 0} << QList<int>{0, 1, 1, 1};
    }
    void eachStageIncludesWhatItsSwitchSays() {
        QFETCH(int, form);
        QFETCH(int, initial);
        QFETCH(int, rehab);
        QFETCH(QList<int>, held);
        QFETCH(QList<int>, stored);
        ProjectData project;
        project.initialWzInclusion = initial;
        project.rehabWzInclusion = rehab;
        const auto inclusions = [&](bool asphalt) {
            QList<int> out;
            for (int k = 0; k < 4; ++k)
                out << (asphalt ? project.asphaltStage[k].wzInclusion
                                : project.concreteStage[k].wzInclusion);
            return out;
        };
        for (int k = 0; k < 4; ++k)
            project.asphaltStage[k].wzInclusion = project.concreteStage[k].wzInclusion = held[k];
        QVERIFY(!test::RunForm(
            kForms[form].edit, project, [](FormDriver&) {}, Close::Cancel));
        QCOMPARE(inclusions(form == kAsphalt), held);
        QVERIFY(test::RunForm(kForms[form].edit, project, [](FormDriver&) {}));
        QCOMPARE(inclusions(form == kAsphalt), stored);
        QCOMPARE(inclusions(form != kAsphalt), held); // the other option is not this form's
        QCOMPARE(project.initialWzInclusion, initial);
        QCOMPARE(project.rehabWzInclusion, rehab);
    }

    // Leaving a years field counts the treatments of its row over the analysis period. A refused
    // value is reset, and the count follows when the field is left again.
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

    // The counts follow the period that the General Information form holds now; only
    // "Accept Changes" stores them.
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
