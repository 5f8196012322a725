// A whole project as a user enters it, every field of the six forms, computed, exported, saved
// and opened again: each field in its own saved field, the same forms, results and bytes, and
// the same report as velmora-cli's on the saved file.
#include "../core/CoreTestSupport.h"
#include "MainWindowFixture.h"
#include "forms/AsphaltActivitiesForm.h"
#include "forms/ConcreteActivitiesForm.h"
#include "forms/MaintenanceForm.h"
#include "gui/FormNumbers.h"
#include "model/SavedFields.h"
#include "views/ComputedCostsForm.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSet>

using namespace velmora;
using test::FormDriver;

namespace {

// What to type into control `id` and the saved field it edits, as velmora-cli show names it.
struct Entry {
    int id;
    std::string field;
    QString typed;
};

struct FormEntries {
    int button;
    QList<Entry> entries;
};

// The boxes of an activities form, "LABEL=FIELD|..." by their row's label, every stage but the
// initial year: years 5, 10 and 15, then a value of its own for each box (50 and up, which a unit
// weight also accepts), so that two boxes bound to each other's field show.
QList<Entry> StageEntries(const InputForm& form, const char* stages, const QString& rows) {
    QList<Entry> entries;
    const QStringList list = rows.split('|');
    for (int r = 0; r < list.size(); ++r) {
        const QList<int> ids = form.IdsLabelled(list[r].section('=', 0, 0));
        for (int s = r == 0; s < 4; ++s)
            entries.append({ids[s],
                            std::string(stages) + "[" + std::to_string(s) + "]." +
                                list[r].section('=', 1).toStdString(),
                            QString::number(r == 0 ? 5.0 * s : 50 + r + s / 4.0, 'f', 3)});
    }
    return entries;
}

QList<FormEntries> WholeProject() {
    // The asphalt miscellaneous row is labelled from the pay item's unit once shown.
    const QList<Entry> asphalt = StageEntries(
        AsphaltActivitiesForm(ProjectData()), "asphaltStage",
        "Year:=year|HMA Wearing Course, in:=wearingThickness|"
        "HMA Wearing Course, pcf:=wearingUnitWeight|HMA Binder Course, in.:=binderThickness|"
        "HMA Binder Course, pcf.:=binderUnitWeight|HMA Base Course, in.:=baseThickness|"
        "HMA Base Course, pcf:=baseUnitWeight|Aggregate Base, in.:=aggBaseThickness|"
        "Aggregate Base, pcf:=aggBaseUnitWeight|=miscQuantity|Milling, sy:=millingArea|"
        "Patching, sy:=patchingArea|Days to Complete:=daysToComplete");
    const QList<Entry> concrete = StageEntries(
        ConcreteActivitiesForm(ProjectData()), "concreteStage",
        "Year:=year|Concrete, sy:=concreteArea|Concrete Milling, sy:=concreteMillingArea|"
        "Joint Sealing, ft:=jointSealingLength|Concrete Patching, sy:=concretePatchingArea|"
        "HMA Overlay, in.:=hmaOverlayThickness|HMA Overlay, pcf:=hmaOverlayUnitWeight|"
        "Aggregate Base, in.:=aggBaseThickness|Aggregate Base, pcf:=aggBaseUnitWeight|"
        "Miscellaneous 1:=miscQuantity[0]|Miscellaneous 2:=miscQuantity[1]|"
        "Miscellaneous 3:=miscQuantity[2]|Days to Complete:=daysToComplete");

    const MaintenanceForm maintenance(ProjectData{});
    QList<Entry> activities;
    for (int k = 0; k < 8; ++k) {
        const std::string activity = std::string(k < 4 ? "asphalt" : "concrete") + "Maintenance[" +
                                     std::to_string(k % 4) + "].";
        auto id = [&](const char* column) { return maintenance.IdsLabelled(column)[k]; };
        activities +=
            {{id("Activity"), activity + "description", k == 6 ? "" : QString("Sealing %1").arg(k)},
             {id("Quantity"), activity + "quantity", QString("%1.50").arg(100 + k)},
             {id("Unit Price"), activity + "unitPrice", QString::number(2 + k)},
             {id("Years between treatments"), activity + "yearsBetween", QString::number(2 + k)}};
    }

    QList<FormEntries> forms;
    for (const auto& [control, typed] : test::DataCases("form-bindings.txt")) {
        const QStringList words = QString::fromStdString(control).split(' ');
        if (forms.isEmpty() || forms.back().button != words[0].toInt())
            forms.append(FormEntries{words[0].toInt(), {}});
        forms.back().entries.append({words[1].toInt(), words[2].toStdString(),
                                     QString::fromStdString(typed).replace("\\n", "\n")});
    }
    return forms + QList<FormEntries>{{1011, asphalt}, {1014, concrete}, {1015, activities}};
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
        Press(button, 1, [&](QDialog* form) {
            FormDriver driver(*static_cast<InputForm*>(form));
            drive(driver);
        });
    }

    // Compute Costs: the 24 numbers of the results form; Export All Data into `report`; OK.
    QStringList Compute(const QString& report) {
        QStringList cells;
        files.Answer(report);
        Press(1012, 1, [&](QDialog* modal) {
            auto* form = static_cast<ComputedCostsForm*>(modal);
            cells = test::ResultCells(*form, false);
            form->OnExportAllData();
        });
        return cells;
    }

private slots:
    void initTestCase() { StartClean(); }
    void cleanupTestCase() { Stop(); }

    void aWholeProjectComputesSavesAndReopensUnchanged() {
        const QList<FormEntries> forms = WholeProject();
        QHash<int, QString> shown;            // by control, what the reopened form shows
        QHash<std::string, QString> expected; // by saved field
        for (int f = 0; f < forms.size(); ++f) {
            RunForm(forms[f].button, [&](FormDriver& d) {
                QSet<int> typed;
                for (const Entry& e : forms[f].entries) {
                    d.Enter(e.id, e.typed);
                    typed << e.id;
                    const bool list = qobject_cast<QComboBox*>(d.form.Control(e.id));
                    const std::optional<double> number = ParseDouble(e.typed);
                    shown[f * 10000 + e.id] = list     ? d.Text(e.id)
                                              : number ? FormatDouble(*number)
                                                       : e.typed;
                    expected[e.field] =
                        list ? e.typed : QString(shown[f * 10000 + e.id]).replace("\n", "\r\n");
                }
                // Every field a user can change is in the table.
                for (int id = 3; id < 1200; ++id) {
                    QWidget* control = d.form.Control(id);
                    auto* edit = qobject_cast<QLineEdit*>(control);
                    const bool input = edit ? !edit->isReadOnly()
                                            : control && control->isEnabled() &&
                                                  control->focusPolicy() != Qt::NoFocus;
                    QVERIFY2(!input || typed.contains(id), qPrintable(QString::number(id)));
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
        // The unit words of the concrete pay items follow the units chosen on the prices form.
        QCOMPARE(stored.value("concreteStage[2].miscUnitLabel[1]"), QString("cy"));

        const QStringList results = Compute(Path("first.xls"));
        QVERIFY2(results[9] != "0" && results[21] != "0", "user delay costs of both options");
        QCOMPARE(messages.shown.size(), 1); // the export's
        files.Answer(Path("route9"));       // ".vlm" is added
        Trigger(&MainWindow::Actions::saveAs);
        const QString path = Path("route9.vlm");
        QCOMPARE(Caption(), QString("route9.vlm[*] - Velmora"));
        QVERIFY(!Frame()->isWindowModified());
        const QByteArray saved = test::ReadAll(path);
        const auto reportIn = [&](const char* name) {
            return test::WithoutDateLine(test::ReadFile(Path(name).toStdString()));
        };
        const std::string report = reportIn("first.xls");

        // velmora-cli on the saved file writes the same report, numbers and all.
        QCOMPARE(test::RunCli({"report", path.toStdString(), Path("cli.xls").toStdString()}).status,
                 0);
        QVERIFY(reportIn("cli.xls") == report);

        // Opened again, every form shows what was typed; accepting them all changes nothing.
        app->Document().Project() = ProjectData();
        files.Answer(path);
        Trigger(&MainWindow::Actions::open);
        for (int f = 0; f < forms.size(); ++f) {
            RunForm(forms[f].button, [&](FormDriver& d) {
                for (const Entry& e : forms[f].entries)
                    QVERIFY2(d.Text(e.id) == shown[f * 10000 + e.id],
                             qPrintable(QString::number(e.id)));
            });
        }
        QVERIFY(!Frame()->isWindowModified());
        QCOMPARE(Compute(Path("second.xls")), results);
        QVERIFY(reportIn("second.xls") == report);
        Trigger(&MainWindow::Actions::save);
        QCOMPARE(test::ReadAll(path), saved);
        QCOMPARE(messages.shown.size(), 2);
    }
};

QTEST_MAIN(EndToEndTest)
#include "EndToEndTest.moc"
