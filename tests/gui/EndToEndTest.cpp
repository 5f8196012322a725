// A whole project as a user enters it: every field of the six forms through the command form's
// buttons, then Compute Costs, Export All Data, Save As, and the project opened again. Each
// field must land in its own saved field, the reopened forms must show what was typed
// (normalised), and the second run must give the same results and the same bytes, which must
// also be those of velmora-cli on the saved file.
#include "Cli.h"
#include "MainWindowFixture.h"
#include "forms/AsphaltActivitiesForm.h"
#include "forms/ComputedCostsForm.h"
#include "forms/ConcreteActivitiesForm.h"
#include "forms/MaintenanceForm.h"
#include "gui/FormNumbers.h"
#include "model/SavedFields.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSet>
#include <sstream>

using namespace velmora;
using test::FormDriver;

namespace {

// What to type into control `id` (for a drop-down list, the index of the entry; null: nothing,
// the control only shows something) and what it then shows; `field` is the saved field it
// edits, as velmora-cli show names it (null: none).
struct Entry {
    int id;
    std::string field;
    QString typed;
    QString shown;
};

struct FormEntries {
    int button;
    QList<Entry> entries;
};

// A row of an activities form by its label, the stage field it edits, and whether it holds a
// unit weight (whose values must stay within 50 to 200).
struct StageRow {
    const char* label;
    const char* field;
    bool unitWeight = false;
};

QList<Entry> StageEntries(const InputForm& form, const char* stages,
                          std::initializer_list<StageRow> rows) {
    QList<Entry> entries;
    int r = 0;
    for (const StageRow& row : rows) {
        const QList<int> ids = form.IdsLabelled(row.label);
        for (int s = r == 0; s < 4; ++s) { // the initial year is not editable
            // A distinct value for every box, so that two boxes bound to each other's field
            // show.
            const double value = (row.unitWeight ? 100 : 0) + r + 1 + s / 4.0;
            entries.append({ids[s],
                            std::string(stages) + "[" + std::to_string(s) + "]." + row.field,
                            QString::number(value, 'f', 3), FormatDouble(value)});
        }
        ++r;
    }
    return entries;
}

QList<FormEntries> WholeProject() {
    QList<Entry> asphalt = StageEntries(AsphaltActivitiesForm(ProjectData()), "asphaltStage",
                                        {{"Year:", "year"},
                                         {"HMA Wearing Course, in:", "wearingThickness"},
                                         {"HMA Wearing Course, pcf:", "wearingUnitWeight", true},
                                         {"HMA Binder Course, in.:", "binderThickness"},
                                         {"HMA Binder Course, pcf.:", "binderUnitWeight", true},
                                         {"HMA Base Course, in.:", "baseThickness"},
                                         {"HMA Base Course, pcf:", "baseUnitWeight", true},
                                         {"Aggregate Base, in.:", "aggBaseThickness"},
                                         {"Aggregate Base, pcf:", "aggBaseUnitWeight", true},
                                         // labelled from the pay item's unit when shown
                                         {"", "miscQuantity"},
                                         {"Milling, sy:", "millingArea"},
                                         {"Patching, sy:", "patchingArea"},
                                         {"Days to Complete:", "daysToComplete"}});
    asphalt += {{1070, {}, {}, "Misc., ton:"}, {1071, {}, {}, "Guardrail"}};
    QList<Entry> concrete = StageEntries(ConcreteActivitiesForm(ProjectData()), "concreteStage",
                                         {{"Year:", "year"},
                                          {"Concrete, sy:", "concreteArea"},
                                          {"Concrete Milling, sy:", "concreteMillingArea"},
                                          {"Joint Sealing, ft:", "jointSealingLength"},
                                          {"Concrete Patching, sy:", "concretePatchingArea"},
                                          {"HMA Overlay, in.:", "hmaOverlayThickness"},
                                          {"HMA Overlay, pcf:", "hmaOverlayUnitWeight", true},
                                          {"Aggregate Base, in.:", "aggBaseThickness"},
                                          {"Aggregate Base, pcf:", "aggBaseUnitWeight", true},
                                          {"Miscellaneous 1:", "miscQuantity[0]"},
                                          {"Miscellaneous 2:", "miscQuantity[1]"},
                                          {"Miscellaneous 3:", "miscQuantity[2]"},
                                          {"Days to Complete:", "daysToComplete"}});
    // The unit words beside the boxes of the miscellaneous rows, stage 0 to 3.
    const int unitWords[3][4] = {
        {1034, 1061, 1079, 1095}, {1035, 1062, 1080, 1096}, {1036, 1063, 1081, 1097}};
    const char* words[] = {"other", "cy", "ton"};
    for (int item = 0; item < 3; ++item)
        for (int s = 0; s < 4; ++s)
            concrete.append({unitWords[item][s],
                             "concreteStage[" + std::to_string(s) + "].miscUnitLabel[" +
                                 std::to_string(item) + "]",
                             {},
                             words[item]});
    concrete += {{1102, {}, {}, "Dowel bars"}, {1103, {}, {}, "Lean concrete"}};

    const MaintenanceForm maintenance(ProjectData{});
    QList<Entry> activities;
    const int years[] = {7, 8, 9, 10, 5, 4, 3, 2};
    const char* counts[] = {"5", "4", "3", "3", "7", "8", "11", "17"}; // over 35 years
    for (int k = 0; k < 8; ++k) {
        const std::string activity = std::string(k < 4 ? "asphalt" : "concrete") + "Maintenance[" +
                                     std::to_string(k % 4) + "].";
        auto id = [&](const char* column) { return maintenance.IdsLabelled(column)[k]; };
        const QString description = k == 6 ? "" : QString("Crack sealing %1").arg(k);
        activities +=
            {{id("Activity"), activity + "description", description, description},
             {id("Quantity"), activity + "quantity", QString("%1.50").arg(100 + k),
              QString("%1.5").arg(100 + k)},
             {id("Unit Price"), activity + "unitPrice", QString::number(2 + k),
              QString::number(2 + k)},
             {id("Years between treatments"), activity + "yearsBetween", QString::number(years[k]),
              QString::number(years[k])},
             {id("Number of Treatments in Analysis"), activity + "treatmentCount", {}, counts[k]}};
    }

    return {
        {1000,
         {{1001, "projectTitle", "Route 9 \u2013 M\u00fcllerstra\u00dfe",
           "Route 9 \u2013 M\u00fcllerstra\u00dfe"},
          {1002, "projectDescription", "Widening\nphase two", "Widening\nphase two"},
          {1011, "projectLength", "12.50", "12.5"},
          {1008, "laneCount", "6", "6"},
          {1003, "laneWidth", "11.000", "11"},
          {1009, "shoulderCount", "2.5", "2.5"},
          {1007, "shoulderWidth", "8", "8"},
          {1004, "speedLimit", "65", "65"},
          {1006, "analysisPeriod", "35", "35"},
          {1005, "discountRate", "3.5e0", "3.5"},
          {1010, "currentCpi", "251.107", "251.107"},
          {1067, "initialWzInclusion", "1", "Exclude"},
          {1068, "rehabWzInclusion", "0", "Include"}}},
        {1008,
         {{1009, "hmaWearingPrice", "55.50", "55.5"},
          {1010, "hmaBinderPrice", "50", "50"},
          {1011, "hmaBasePrice", "45", "45"},
          {1012, "asphaltAggBasePrice", "12", "12"},
          {1014, "asphaltMillingPrice", "2.75", "2.75"},
          {1015, "asphaltPatchingPrice", "30", "30"},
          {1036, "asphaltMisc.description", "Guardrail", "Guardrail"},
          {1013, "asphaltMisc.unitPrice", "18.00", "18"},
          {1037, "asphaltMisc.unit", "3", "ton"},
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
          {1028, "concreteMisc[1].description", "Lean concrete", "Lean concrete"},
          {1031, "concreteMisc[1].unitPrice", "8", "8"},
          {1034, "concreteMisc[1].unit", "2", "cy"},
          {1029, "concreteMisc[2].description", "Tie bars", "Tie bars"},
          {1032, "concreteMisc[2].unitPrice", "7", "7"},
          {1035, "concreteMisc[2].unit", "3", "ton"},
          {1022, "concreteMobilizationPct", "6", "6"},
          {1023, "concreteTrafficControlPct", "2.50", "2.5"}}},
        {1011, asphalt},
        {1014, concrete},
        {1013,
         {{1019, "terrain", "1", "Rolling"},
          {1020, "trafficType", "1", "Urban"},
          {1021, "aadt", "8000.0", "8000"},
          {1022, "truckPercent", "12.50", "12.5"},
          {1023, "trafficGrowth", "2", "2"},
          {1024, "wzSpeedLimit", "45", "45"},
          {1025, "wzLength", "3", "3"},
          {1027, "wzLanes", "2", "2"},
          {1026, "asphaltWzTiming", "1", "Night Closures (8 PM-6 AM)"},
          {1028, "concreteWzTiming", "0", "24 Hour Closures"}}},
        {1015, activities},
    };
}

// Every saved field as text, by name: numbers as the forms show them.
QHash<std::string, QString> SavedFields(const ProjectData& project) {
    QHash<std::string, QString> out;
    ForEachSavedField(project, [&](const FieldName& name, const auto& field) {
        using T = std::decay_t<decltype(field)>;
        if constexpr (std::is_same_v<T, double>)
            out.insert(name.str(), FormatDouble(field));
        else if constexpr (std::is_same_v<T, std::int32_t>)
            out.insert(name.str(), QString::number(field));
        else
            out.insert(name.str(), QString::fromStdString(field));
    });
    return out;
}

} // namespace

class EndToEndTest : public test::MainWindowFixture {
    Q_OBJECT

    test::MessageRecorder messages;
    test::FileDialogAnswers files;

    // Opens the form of `button`, lets `drive` work on it and accepts it.
    void RunForm(int button, const std::function<void(FormDriver&)>& drive) {
        test::WhenModalShows([&](QWidget* modal) {
            FormDriver driver(*static_cast<InputForm*>(modal));
            drive(driver);
            driver.Click(1);
        });
        View().Button(button)->click();
    }

    // Compute Costs: the 24 numbers of the results form; Export All Data into `report`; OK.
    QStringList Compute(const QString& report) {
        QStringList cells;
        test::WhenModalShows([&](QWidget* modal) {
            auto* form = static_cast<ComputedCostsForm*>(modal);
            cells = test::ResultCells(*form, false);
            files.Answer(report);
            static_cast<QPushButton*>(form->Control(ComputedCostsForm::kExportAllData))->click();
            form->accept();
        });
        View().Button(1012)->click();
        return cells;
    }

private slots:
    void initTestCase() { StartClean(); }
    void cleanupTestCase() { Stop(); }

    void aWholeProjectComputesSavesAndReopensUnchanged() {
        const QList<FormEntries> forms = WholeProject();

        QHash<std::string, QString> expected; // by saved field
        for (const FormEntries& form : forms) {
            RunForm(form.button, [&](FormDriver& d) {
                QSet<int> typed;
                for (const Entry& e : form.entries)
                    if (!e.typed.isNull()) d.Enter(e.id, e.typed), typed << e.id;
                // Every field a user can change is in the table.
                for (int id = 3; id < 1200; ++id) {
                    auto* edit = qobject_cast<QLineEdit*>(d.form.Control(id));
                    const bool input = edit ? !edit->isReadOnly()
                                            : d.form.Control(id) &&
                                                  d.form.Control(id)->isEnabled() &&
                                                  d.form.Control(id)->focusPolicy() != Qt::NoFocus;
                    QVERIFY2(!input || typed.contains(id), qPrintable(QString::number(id)));
                }
                for (const Entry& e : form.entries) {
                    QVERIFY2(d.Text(e.id) == e.shown, qPrintable(QString::number(e.id)));
                    const bool list = qobject_cast<QComboBox*>(d.form.Control(e.id));
                    if (!e.field.empty())
                        expected[e.field] = list ? e.typed : QString(e.shown).replace("\n", "\r\n");
                }
            });
        }
        QCOMPARE(messages.shown.size(), 0);
        QVERIFY(Frame()->isWindowModified());
        const QHash<std::string, QString> stored = SavedFields(app->Document().Project());
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QVERIFY2(stored.value(it.key()) == it.value(),
                     qPrintable(QString::fromStdString(it.key()) + " holds " +
                                stored.value(it.key()) + ", not " + it.value()));

        const QStringList results = Compute(Path("first.xls"));
        QCOMPARE(results.size(), 24);
        QVERIFY2(results[9] != "0" && results[21] != "0", "user delay costs of both options");
        QCOMPARE(messages.shown.size(), 1); // the export's
        QCOMPARE(messages.shown[0].caption, QString("Export LCCA"));
        files.Answer(Path("route9")); // ".vlm" is added
        Trigger(&MainWindow::Actions::saveAs);
        const QString path = Path("route9.vlm");
        QCOMPARE(Caption(), QString("route9.vlm[*] - Velmora"));
        QVERIFY(!Frame()->isWindowModified());
        QCOMPARE(app->RecentFiles(), QStringList{path});
        const QByteArray saved = test::ReadAll(path);
        const QByteArray report = test::WithoutDateLine(test::ReadAll(Path("first.xls")));

        // velmora-cli on the saved file: the same numbers, as the form shows them, and the
        // same report.
        std::ostringstream out, err;
        QCOMPARE(cli::Run({"compute", path.toStdString()}, out, err), 0);
        QStringList cliResults;
        std::istringstream lines(out.str());
        for (std::string line; std::getline(lines, line) && cliResults.size() < 24;)
            cliResults << FormatDouble(
                ParseDouble(QString::fromStdString(line).section('\t', 1)).value_or(-1));
        QCOMPARE(results, cliResults);
        const QString cliReport = Path("cli.xls");
        QCOMPARE(cli::Run({"report", path.toStdString(), cliReport.toStdString()}, out, err), 0);
        QCOMPARE(test::WithoutDateLine(test::ReadAll(cliReport)), report);

        // Opened again, every form shows what was typed; accepting them all changes nothing.
        app->Document().Project() = ProjectData();
        files.Answer(path);
        Trigger(&MainWindow::Actions::open);
        for (const FormEntries& form : forms) {
            RunForm(form.button, [&](FormDriver& d) {
                for (const Entry& e : form.entries)
                    QVERIFY2(d.Text(e.id) == e.shown, qPrintable(QString::number(e.id)));
            });
        }
        QVERIFY(!Frame()->isWindowModified());
        QCOMPARE(Compute(Path("second.xls")), results);
        QCOMPARE(test::WithoutDateLine(test::ReadAll(Path("second.xls"))), report);
        const qsizetype asked = files.requests.size();
        Trigger(&MainWindow::Actions::save);
        QCOMPARE(files.requests.size(), asked); // saved to its file without asking
        QCOMPARE(test::ReadAll(path), saved);
        QCOMPARE(messages.shown.size(), 2);
    }
};

QTEST_MAIN(EndToEndTest)
#include "EndToEndTest.moc"
