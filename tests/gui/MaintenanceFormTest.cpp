// The maintenance form: the number of treatments follows the years between them and the
// analysis period, and is stored only on "Accept Changes".
#include "forms/MaintenanceForm.h"
#include "FormDriver.h"
#include "GuiTestSupport.h"
#include "forms/GeneralInfoForm.h"

#include <QLineEdit>
#include <QTest>

using namespace velmora;
using test::Close;
using test::FormDriver;

class MaintenanceFormTest : public QObject {
    Q_OBJECT
private slots:
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

QTEST_MAIN(MaintenanceFormTest)
#include "MaintenanceFormTest.moc"
