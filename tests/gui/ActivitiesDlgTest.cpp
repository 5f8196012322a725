// The asphalt and concrete activities forms: the check of every box in every stage, the year of
// the initial construction, the miscellaneous rows with their unit and description, the
// inclusion of each stage derived from the switches, their edit cycle and their orders.
#include "CAsphaltActivitiesDlg.h"
#include "CConcreteActivitiesDlg.h"
#include "FormDriver.h"
#include "FormNumbers.h"
#include "Forms.h"
#include "GuiTestSupport.h"
#include "model/SavedFields.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <deque>
#include <memory>
#include <span>

using namespace velmora;
using test::Close;
using test::FormDriver;

namespace {

// A row of a form: the stage field it edits and its boxes for stage 0 to 3.
struct Row {
    const char* field;
    std::array<int, 4> ids;
    bool unitWeight = false;
    const char* reset = "0";
};

const Row kAsphaltRows[] = {
    {"year", {1010, 1034, 1042, 1050}},
    {"wearingThickness", {1011, 1035, 1043, 1051}},
    {"wearingUnitWeight", {1018, 1019, 1020, 1021}, true, "145"},
    {"binderThickness", {1012, 1036, 1044, 1052}},
    {"binderUnitWeight", {1022, 1023, 1024, 1025}, true, "145"},
    {"baseThickness", {1013, 1037, 1045, 1053}},
    {"baseUnitWeight", {1026, 1027, 1028, 1029}, true, "145"},
    {"aggBaseThickness", {1014, 1038, 1046, 1054}},
    {"aggBaseUnitWeight", {1030, 1058, 1059, 1060}, true, "115"},
    {"miscQuantity", {1015, 1039, 1047, 1055}},
    {"millingArea", {1016, 1040, 1048, 1056}},
    {"patchingArea", {1017, 1041, 1049, 1057}},
    {"daysToComplete", {1031, 1032, 1033, 1061}},
};

const Row kConcreteRows[] = {
    {"year", {1064, 1065, 1066, 1082}},
    {"concreteArea", {1037, 1049, 1067, 1083}},
    {"concreteMillingArea", {1038, 1050, 1068, 1084}},
    {"jointSealingLength", {1039, 1051, 1069, 1085}},
    {"concretePatchingArea", {1040, 1052, 1070, 1086}},
    {"hmaOverlayThickness", {1041, 1053, 1071, 1087}},
    {"hmaOverlayUnitWeight", {1042, 1054, 1072, 1088}, true, "145"},
    {"aggBaseThickness", {1043, 1055, 1073, 1089}},
    {"aggBaseUnitWeight", {1044, 1056, 1074, 1090}, true, "115"},
    {"miscQuantity[0]", {1045, 1057, 1075, 1091}},
    {"miscQuantity[1]", {1046, 1058, 1076, 1092}},
    {"miscQuantity[2]", {1047, 1059, 1077, 1093}},
    {"daysToComplete", {1048, 1060, 1078, 1094}},
};

struct Option {
    const char* name;
    const char* stages; // the record's array, as velmora-cli show names it
    std::span<const Row> rows;
    bool (*edit)(ProjectData&, QWidget*);
    void (ProjectData::*prepare)();
    std::array<int, 4> lists;
    std::vector<int> descriptions;
};

const Option kAsphalt{"asphalt",
                      "asphaltStage",
                      kAsphaltRows,
                      EditAsphaltActivities,
                      &ProjectData::PrepareAsphaltMiscLabels,
                      {1066, 1067, 1068, 1069},
                      {1071}};
const Option kConcrete{"concrete",
                       "concreteStage",
                       kConcreteRows,
                       EditConcreteActivities,
                       &ProjectData::PrepareConcreteMiscLabels,
                       {1098, 1099, 1100, 1101},
                       {1102, 1103, 1104}};

const Option& OptionNamed(const QString& name) {
    return name == "asphalt" ? kAsphalt : kConcrete;
}

std::unique_ptr<CInputDlg> MakeForm(const QString& name, const ProjectData& project) {
    if (name == "asphalt") return std::make_unique<CAsphaltActivitiesDlg>(project);
    return std::make_unique<CConcreteActivitiesDlg>(project);
}

// The edit cycle as the command form runs it: the labels of the miscellaneous rows first.
bool RunActivities(const Option& option, ProjectData& project,
                   const std::function<void(FormDriver&)>& drive, Close close) {
    (project.*option.prepare)();
    return test::RunForm(option.edit, project, drive, close);
}

QList<int> Inclusions(const ProjectData& p, const Option& option) {
    QList<int> out;
    for (int k = 0; k < 4; ++k)
        out.append(&option == &kAsphalt ? p.asphaltStage[k].wzInclusion
                                        : p.concreteStage[k].wzInclusion);
    return out;
}

void AddOptionRows() {
    QTest::addColumn<QString>("option");
    QTest::newRow("asphalt") << "asphalt";
    QTest::newRow("concrete") << "concrete";
}

} // namespace

class ActivitiesDlgTest : public QObject {
    Q_OBJECT
private slots:
    // Every editable box of both forms, in every stage.
    void everyBoxKeepsItsRange_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<int>("id");
        QTest::addColumn<QStringList>("accepted");
        QTest::addColumn<QStringList>("refused");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("reset");
        for (const Option* option : {&kAsphalt, &kConcrete}) {
            for (const Row& row : option->rows) {
                for (int stage = 0; stage < 4; ++stage) {
                    if (QString(row.field) == "year" && stage == 0) continue;
                    const QString name =
                        QString("%1 %2 %3").arg(option->name, row.field).arg(stage);
                    if (row.unitWeight)
                        QTest::newRow(qPrintable(name))
                            << option->name << row.ids[stage] << QStringList{"50", "200"}
                            << QStringList{"49.9", "200.1"}
                            << QString("Please enter a unit weight between 50 and 200 pcf.")
                            << QString(row.reset);
                    else
                        QTest::newRow(qPrintable(name))
                            << option->name << row.ids[stage] << QStringList{"0", "12.5"}
                            << QStringList{"-1"} << QString("Please enter a positive value.")
                            << QString(row.reset);
                }
            }
        }
    }
    void everyBoxKeepsItsRange() {
        QFETCH(QString, option);
        QFETCH(int, id);
        QFETCH(QStringList, accepted);
        QFETCH(QStringList, refused);
        QFETCH(QString, message);
        QFETCH(QString, reset);
        ProjectData project;
        auto form = MakeForm(option, project);
        FormDriver driver(*form);
        test::MessageRecorder messages;
        test::CheckBounds(driver, messages, id, accepted, refused, message, "Value Out of Range",
                          reset);
    }

    void theInitialYearIsShownButCannotBeTypedInto_data() { AddOptionRows(); }
    void theInitialYearIsShownButCannotBeTypedInto() {
        QFETCH(QString, option);
        const Option& o = OptionNamed(option);
        const int id = o.rows[0].ids[0];
        ProjectData project;
        project.asphaltStage[0].year = 2.5;
        project.concreteStage[0].year = 2.5;
        test::MessageRecorder messages;
        QVERIFY(RunActivities(
            o, project,
            [&](FormDriver& d) {
                QVERIFY2(d.HasFocus(id), "the form opens on the year of the initial construction");
                QCOMPARE(d.Text(id), QString("2.5"));
                d.Enter(id, "-7");
                QCOMPARE(d.Text(id), QString("2.5"));
                d.Keys(id, "9");
                QCOMPARE(d.Text(id), QString("2.5"));
            },
            Close::Accept));
        QCOMPARE(messages.shown.size(), 0);
        QCOMPARE(project.asphaltStage[0].year, 2.5);
        QCOMPARE(project.concreteStage[0].year, 2.5);
    }

    void theAsphaltMiscRowIsLabelledFromItsUnit_data() {
        QTest::addColumn<int>("unit");
        QTest::addColumn<QString>("label");
        QTest::newRow("mile") << 0 << "Misc., miles:";
        QTest::newRow("sy") << 1 << "Misc., sy:";
        QTest::newRow("ton") << 3 << "Misc., ton:";
        QTest::newRow("other") << 5 << "Misc., other:";
        QTest::newRow("unknown, first time") << 9 << "";
    }
    void theAsphaltMiscRowIsLabelledFromItsUnit() {
        QFETCH(int, unit);
        QFETCH(QString, label);
        ProjectData project;
        project.asphaltMisc.unit = unit;
        project.asphaltMisc.description = "Guardrail";
        QVERIFY(RunActivities(
            kAsphalt, project,
            [&](FormDriver& d) {
                QCOMPARE(d.Text(1070), label);
                QCOMPARE(d.Text(1071), QString("Guardrail"));
                QVERIFY(static_cast<QLineEdit*>(d.form.Control(1071))->isReadOnly());
                d.Keys(1071, "x");
                QCOMPARE(d.Text(1071), QString("Guardrail"));
            },
            Close::Accept));
        QCOMPARE(project.asphaltMiscText, std::string("Guardrail"));

        // A code outside the list keeps whatever caption the row had.
        project.asphaltMisc.unit = 1;
        project.PrepareAsphaltMiscLabels();
        project.asphaltMisc.unit = -1;
        QVERIFY(!RunActivities(
            kAsphalt, project, [](FormDriver& d) { QCOMPARE(d.Text(1070), QString("Misc., sy:")); },
            Close::Cancel));
    }

    void theConcreteMiscRowsShowTheirUnitWordInEveryStage() {
        ProjectData project;
        project.concreteMisc[0].unit = UnitCode::Mile;
        project.concreteMisc[1].unit = UnitCode::Cy;
        project.concreteMisc[2].unit = 6; // outside the list: the words stay
        project.concreteMisc[1].description = "Dowel bars";
        const std::array<std::array<int, 4>, 3> words{
            {{1034, 1061, 1079, 1095}, {1035, 1062, 1080, 1096}, {1036, 1063, 1081, 1097}}};
        QVERIFY(RunActivities(
            kConcrete, project,
            [&](FormDriver& d) {
                for (int stage = 0; stage < 4; ++stage) {
                    QCOMPARE(d.Text(words[0][stage]), QString("miles"));
                    QCOMPARE(d.Text(words[1][stage]), QString("cy"));
                    QCOMPARE(d.Text(words[2][stage]), QString("NA"));
                }
                QCOMPARE(d.Text(1102), QString("Misc Description..."));
                QCOMPARE(d.Text(1103), QString("Dowel bars"));
                QVERIFY(static_cast<QLineEdit*>(d.form.Control(1103))->isReadOnly());
            },
            Close::Accept));
        for (const auto& stage : project.concreteStage)
            QCOMPARE(stage.miscUnitLabel, (std::array<std::string, 3>{"miles", "cy", "NA"}));
    }

    // Whatever the stages held, accepting stores the switches' copy; cancelling stores nothing.
    void eachStageIncludesWhatItsSwitchSays_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<int>("initial");
        QTest::addColumn<int>("rehab");
        QTest::addColumn<QList<int>>("held");
        QTest::addColumn<QList<int>>("stored");
        QTest::newRow("asphalt, rehabilitation excluded")
            << "asphalt" << 0 << 1 << QList<int>{1, 0, 0, 0} << QList<int>{0, 1, 1, 1};
        QTest::newRow("concrete, initial construction excluded")
            << "concrete" << 1 << 0 << QList<int>{0, 1, 1, 1} << QList<int>{1, 0, 0, 0};
        QTest::newRow("asphalt, a switch from a file that is neither") // not 0 counts as Exclude
            << "asphalt" << 0 << 5 << QList<int>{0, 0, 0, 0} << QList<int>{0, 1, 1, 1};
    }
    void eachStageIncludesWhatItsSwitchSays() {
        QFETCH(QString, option);
        QFETCH(int, initial);
        QFETCH(int, rehab);
        QFETCH(QList<int>, held);
        QFETCH(QList<int>, stored);
        const Option& o = OptionNamed(option);
        ProjectData project;
        project.initialWzInclusion = initial;
        project.rehabWzInclusion = rehab;
        for (int k = 0; k < 4; ++k) {
            project.asphaltStage[k].wzInclusion = held[k];
            project.concreteStage[k].wzInclusion = held[k];
        }
        auto listsAreHiddenAndDisabled = [&](FormDriver& d) {
            for (int id : o.lists) {
                QVERIFY(!d.form.Control(id)->isVisible());
                QVERIFY(!d.form.Control(id)->isEnabled());
                QCOMPARE(static_cast<QComboBox*>(d.form.Control(id))->count(), 2);
            }
        };
        QVERIFY(!RunActivities(o, project, listsAreHiddenAndDisabled, Close::Cancel));
        QCOMPARE(Inclusions(project, o), held);
        QVERIFY(RunActivities(o, project, listsAreHiddenAndDisabled, Close::Accept));
        QCOMPARE(Inclusions(project, o), stored);
        QCOMPARE(project.initialWzInclusion, initial);
        QCOMPARE(project.rehabWzInclusion, rehab);
        // The other option is not this form's business.
        const Option& other = &o == &kAsphalt ? kConcrete : kAsphalt;
        QCOMPARE(Inclusions(project, other), held);
    }

    void cancelAfterEditsLeavesTheProjectUnchanged_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<Close>("close");
        for (const char* option : {"asphalt", "concrete"}) {
            QTest::newRow(qPrintable(QString(option) + ", Cancel Changes"))
                << option << Close::Cancel;
            QTest::newRow(qPrintable(QString(option) + ", Esc")) << option << Close::Escape;
        }
    }
    void cancelAfterEditsLeavesTheProjectUnchanged() {
        QFETCH(QString, option);
        QFETCH(Close, close);
        const Option& o = OptionNamed(option);
        ProjectData project;
        project.rehabWzInclusion = WzInclusion::Exclude;
        (project.*o.prepare)();
        const ProjectData before = project;
        test::MessageRecorder messages;
        QVERIFY(!RunActivities(
            o, project,
            [&](FormDriver& d) {
                d.Enter(o.rows[1].ids[0], "1200");
                d.Enter(o.rows[6].ids[2], "250"); // refused: the working value is reset
                d.Enter(o.rows[12].ids[3], "14");
                d.Enter(o.rows[0].ids[1], "22");
            },
            close));
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(SameSavedFields(project, before));
    }

    // A distinct value typed into every editable box lands in its own stage and field, and
    // shows again on reopening; nothing else moves. The years rise past the analysis period,
    // which this form does not compare them with.
    void acceptStoresEveryBoxInItsOwnField_data() { AddOptionRows(); }
    void acceptStoresEveryBoxInItsOwnField() {
        QFETCH(QString, option);
        const Option& o = OptionNamed(option);
        std::deque<std::string> names;
        QList<test::FieldEntry> entries;
        for (std::size_t r = 0; r < o.rows.size(); ++r) {
            for (int stage = 0; stage < 4; ++stage) {
                if (r == 0 && stage == 0) continue;
                names.push_back(std::string(o.stages) + "[" + std::to_string(stage) + "]." +
                                o.rows[r].field);
                const QString value = FormatDouble(50 + 4 * double(r) + stage + 0.25);
                entries.append({o.rows[r].ids[stage], names.back().c_str(), value + "0", value});
            }
        }
        test::CheckAcceptStores(o.edit, entries);
    }

    // The exchange reads the boxes in the form's own order, not the order on the screen. A box
    // read after one that does not parse keeps its old value, so its check sees no -1.
    void theExchangeStopsInTheFormsOrder_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<int>("unreadable");
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        // Aggregate base thickness is read first, days to complete last.
        QTest::newRow("asphalt") << "asphalt" << 1038 << 1014 << 1061;
        // Concrete areas in the order stage 0, 2, 1, 3.
        QTest::newRow("concrete areas") << "concrete" << 1067 << 1037 << 1049;
        // Unit weights before the days, the miscellaneous quantities before the areas.
        QTest::newRow("concrete") << "concrete" << 1092 << 1090 << 1083;
    }
    void theExchangeStopsInTheFormsOrder() {
        QFETCH(QString, option);
        QFETCH(int, unreadable);
        QFETCH(int, before);
        QFETCH(int, after);
        ProjectData project;
        auto form = MakeForm(option, project);
        FormDriver driver(*form);
        test::MessageRecorder messages;
        const QString held = driver.Text(after);

        static_cast<QLineEdit*>(form->Control(unreadable))->setText("1..2");
        driver.Enter(after, "-1");
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].caption, QString("Invalid Number"));
        QCOMPARE(driver.Text(after), held);
        messages.shown.clear();

        driver.Focus(OptionNamed(option).rows[0].ids[0]); // away from the reverted box
        static_cast<QLineEdit*>(form->Control(unreadable))->setText("1..2");
        driver.Enter(before, "-1");
        QCOMPARE(messages.shown.size(), 2);
        QCOMPARE(messages.shown[0].caption, QString("Invalid Number"));
        QCOMPARE(messages.shown[1].caption, QString("Value Out of Range"));
        QVERIFY(driver.HasFocus(before));
    }

    void tabOrderRunsRowByRowThenTheButtonsThenTheDescriptions_data() { AddOptionRows(); }
    void tabOrderRunsRowByRowThenTheButtonsThenTheDescriptions() {
        QFETCH(QString, option);
        const Option& o = OptionNamed(option);
        ProjectData project;
        auto form = MakeForm(option, project);
        FormDriver driver(*form);
        QList<int> expected;
        for (const Row& row : o.rows) expected.append(QList<int>(row.ids.begin(), row.ids.end()));
        expected.append({2, 1});
        expected.append(QList<int>(o.descriptions.begin(), o.descriptions.end()));
        expected.append(o.rows[0].ids[0]);
        QCOMPARE(driver.TabWalk(int(expected.size())), expected);
    }

    void screenshots() {
        ProjectData project;
        project.asphaltMisc.unit = UnitCode::Ton;
        project.asphaltMisc.description = "Guardrail";
        project.asphaltStage[0].wearingThickness = 1.5;
        project.asphaltStage[0].binderThickness = 2.5;
        project.asphaltStage[0].baseThickness = 6;
        project.asphaltStage[0].aggBaseThickness = 8;
        project.asphaltStage[1].wearingThickness = 1.5;
        project.asphaltStage[1].millingArea = 14080;
        project.PrepareAsphaltMiscLabels();
        CAsphaltActivitiesDlg asphalt(project);
        FormDriver asphaltDriver(asphalt);
        QCOMPARE(asphalt.windowTitle(),
                 QString("Asphalt Construction/Rehabilitation Activities (Shift+F1=Pop-Up Help; "
                         "F1=Full Help)"));
        test::SaveScreenshot(&asphalt, "asphalt-activities");

        project.concreteMisc[0].description = "Dowel bars";
        project.concreteMisc[1].unit = UnitCode::Cy;
        project.concreteMisc[1].description = "Lean concrete";
        project.concreteMisc[2].unit = UnitCode::Foot;
        project.concreteMisc[2].description = "Edge drain";
        project.concreteStage[0].concreteArea = 14080;
        project.concreteStage[0].aggBaseThickness = 6;
        project.concreteStage[1].year = 20;
        project.concreteStage[1].concretePatchingArea = 352;
        project.PrepareConcreteMiscLabels();
        CConcreteActivitiesDlg concrete(project);
        FormDriver concreteDriver(concrete);
        QCOMPARE(concrete.windowTitle(),
                 QString("Concrete Construction/Rehabilitation Activities (Shift+F1=Pop-Up Help; "
                         "F1=Full Help)"));
        test::SaveScreenshot(&concrete, "concrete-activities");
    }
};

QTEST_MAIN(ActivitiesDlgTest)
#include "ActivitiesDlgTest.moc"
