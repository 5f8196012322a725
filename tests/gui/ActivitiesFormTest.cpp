// The activities forms: the year of the initial construction shown only, the miscellaneous rows
// labelled from the unit prices, and the stages' inclusion set from the project's switches.
#include "FormDriver.h"
#include "GuiTestSupport.h"
#include "forms/AsphaltActivitiesForm.h"
#include "forms/ConcreteActivitiesForm.h"

#include <QTest>

using namespace velmora;
using test::Close;
using test::FormDriver;

namespace {
enum { kAsphalt, kConcrete };

bool (*Edit(int form))(ProjectData&, QWidget*) {
    return form == kAsphalt ? EditAsphaltActivities : EditConcreteActivities;
}
} // namespace

class ActivitiesFormTest : public QObject {
    Q_OBJECT
private slots:
    void theInitialYearIsShownButCannotBeTypedInto() {
        for (int form : {kAsphalt, kConcrete}) {
            ProjectData project;
            project.asphaltStage[0].year = project.concreteStage[0].year = 2.5;
            test::MessageRecorder messages;
            QVERIFY(test::RunForm(Edit(form), project, [&](FormDriver& d) {
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
            Edit(form), project, [](FormDriver&) {}, Close::Cancel));
        QCOMPARE(inclusions(form == kAsphalt), held);
        QVERIFY(test::RunForm(Edit(form), project, [](FormDriver&) {}));
        QCOMPARE(inclusions(form == kAsphalt), stored);
        QCOMPARE(inclusions(form != kAsphalt), held); // the other option is not this form's
        QCOMPARE(project.initialWzInclusion, initial);
        QCOMPARE(project.rehabWzInclusion, rehab);
    }
};

QTEST_MAIN(ActivitiesFormTest)
#include "ActivitiesFormTest.moc"
