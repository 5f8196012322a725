// The Work Zone Planner window: reached on its key and from Computed Costs, pricing the project's
// own window as Computed Costs does, re-ranking as its settings are typed, and bringing its
// edits into the project only on OK, through save and open.
#include "MainWindowFixture.h"
#include "report/NumberText.h"
#include "views/ComputedCostsForm.h"
#include "views/PlannerTables.h"
#include "views/WorkZonePlannerWindow.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMetaEnum>
#include <QPalette>
#include <QTableView>

using namespace velmora;
using namespace velmora::test;
using P = WorkZonePlannerWindow;
using M = PlannerCandidatesModel;

namespace {

ProjectData Example(const QString& name) {
    ProjectData project;
    const QByteArray bytes = ReadAll(VELMORA_EXAMPLES "/" + name + ".vlm");
    [&] { QVERIFY(DecodeProject(bytes.toStdString(), project).ok()); }();
    return project;
}

template <class T = QWidget>
T* At(const P& w, int id) {
    return static_cast<T*>(w.Control(id));
}

void Type(const P& w, int id, const QString& text) {
    auto* edit = At<QLineEdit>(w, id);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

QString Cell(const P& w, int row, int column, int role = Qt::DisplayRole) {
    const QAbstractItemModel* model = At<QTableView>(w, P::kCandidates)->model();
    return model->data(model->index(row, column), role).toString();
}

bool Greyed(const P& w, int row) {
    const QAbstractItemModel* model = At<QTableView>(w, P::kCandidates)->model();
    return model->data(model->index(row, M::Window), Qt::ForegroundRole).isValid();
}

void Shoot(P& w, const QString& name) {
    w.resize(1280, 860);
    w.show();
    QTest::qWait(50);
    SaveScreenshot(&w, name);
}

} // namespace

class WorkZonePlannerTest : public MainWindowFixture {
    Q_OBJECT

private slots:
    void init() { StartClean(); }
    void cleanup() { Stop(); }

    // Ctrl+Shift+W is taken by nothing else; opened and closed, the planner leaves the project
    // as it was: unmodified, and without settings.
    void itsKeyOpensItAndLookingChangesNothing() {
        QVERIFY(app->OpenFile(VELMORA_EXAMPLES "/interstate.vlm"));
        const QByteArray before = Encoded(Project());
        const QKeySequence key(QStringLiteral("Ctrl+Shift+W"));
        QAction* planner = app->Commands().workZonePlanner;
        QCOMPARE(planner->shortcut(), key);
        const QMetaEnum standard = QMetaEnum::fromType<QKeySequence::StandardKey>();
        for (int k = 0; k < standard.keyCount(); ++k)
            QVERIFY2(!QKeySequence::keyBindings(QKeySequence::StandardKey(standard.value(k)))
                          .contains(key),
                     standard.key(k));
        for (const QAction* other : Frame()->findChildren<QAction*>())
            QVERIFY2(other == planner || !other->shortcuts().contains(key),
                     qPrintable(other->text()));

        Activate();
        MessageRecorder messages;
        bool opened = false;
        WhenModalShows([&](QWidget* modal) {
            auto* w = qobject_cast<P*>(modal);
            opened = w != nullptr;
            if (!w) return static_cast<QDialog*>(modal)->reject();
            Shoot(*w, "work-zone-planner-interstate");
            QTest::keyClick(w, Qt::Key_Escape);
        });
        QTest::keyClick(Frame(), Qt::Key_W, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(opened);
        QVERIFY(messages.shown.isEmpty()); // nothing to discard
        QVERIFY(!app->Document().IsModified());
        QCOMPARE(Encoded(Project()), before);
    }

    // Each stage's user cost of the project's own window, as the planner's ranking and its day
    // show it, is Computed Costs' to the dollar.
    void itPricesTheProjectsWindowAsComputedCosts() {
        ProjectData project = Example("interstate");
        CostResults shown{};
        int compared = 0;
        WhenModalShows([&](QWidget* modal) {
            auto* form = static_cast<ComputedCostsForm*>(modal);
            shown = form->Run().results;
            WhenModalShows([&](QWidget* planner) {
                auto& w = *static_cast<P*>(planner);
                for (int option = 0; option < 2; ++option)
                    for (int k = 0; k < 4; ++k) {
                        At<QComboBox>(w, P::kOption)->setCurrentIndex(option);
                        At<QComboBox>(w, P::kStage)->setCurrentIndex(k);
                        const QString dollars =
                            QString::fromStdString(Dollars(shown[option].user[k]));
                        const int row = static_cast<M*>(At<QTableView>(w, P::kCandidates)->model())
                                            ->RowOf(planner::ProjectWindow(project, option));
                        QCOMPARE(Cell(w, row, M::UserCost), dollars);
                        QVERIFY(Cell(w, row, M::Window).endsWith("(project)"));
                        QVERIFY(At<QLabel>(w, P::kComponents)->text().contains(dollars));
                        QCOMPARE(w.Day().userCost, shown[option].user[k]);
                        compared += shown[option].user[k] > 0;
                    }
                w.reject();
            });
            static_cast<QPushButton*>(form->Control(ComputedCostsForm::kWorkZonePlanner))->click();
            form->reject();
        });
        ComputeCosts(project);
        QCOMPARE(compared, 8);
    }

    // Limits typed in re-rank at once: what breaks one is greyed, says so, and comes after every
    // window that keeps them all. A wrong entry is marked and keeps the last good results.
    void settingsReRankAndMarkWhatBreaksALimit() {
        P w(Example("urban-arterial"));
        Shoot(w, "work-zone-planner-urban-arterial");
        const planner::Candidate best = w.Stage()->candidates.front();
        QVERIFY(best.feasible() && best.hours < 24);
        Type(w, P::kNoClosure, QString("%1-%2").arg(best.window.start).arg(best.window.start + 1));
        Type(w, P::kMaxQueue, "0.25");
        const auto& ranked = w.Stage()->candidates;
        QVERIFY(!planner::SameWindow(ranked.front().window, best.window));
        bool broken = false;
        for (int row = 0; row < int(ranked.size()); ++row) {
            const planner::Candidate& c = ranked[std::size_t(row)];
            const bool closedHour = c.window.Contains(best.window.start);
            QCOMPARE(Cell(w, row, M::Limits).contains("in no-closure hours"), closedHour);
            QCOMPARE(Cell(w, row, M::Limits).contains("queue too long"), c.maxQueueMiles > 0.25);
            QCOMPARE(Greyed(w, row), !c.feasible());
            QVERIFY(!broken || Greyed(w, row)); // nothing feasible after the first broken row
            broken = Greyed(w, row);
            if (planner::SameWindow(c.window, best.window)) QVERIFY(Greyed(w, row));
        }
        QVERIFY(broken);

        const planner::PlannerSettings kept = w.Settings();
        for (const auto& [entry, why] : {std::pair{"abc", "\"abc\" is not a number"},
                                         std::pair{"0", "must be a number above 0"}}) {
            Type(w, P::kMaxDelay, entry);
            QVERIFY(At(w, P::kSettingsNote)->isVisible());
            QVERIFY2(At<QLabel>(w, P::kSettingsNote)->text().contains(why), entry);
            QVERIFY(!At(w, P::kMaxDelay)->styleSheet().isEmpty());
            QCOMPARE(w.Settings(), kept);
        }
        Type(w, P::kMaxDelay, "");
        QVERIFY(!At(w, P::kSettingsNote)->isVisible());

        // A project Compute Costs refuses is not planned; the window says why.
        ProjectData refused = Example("interstate");
        refused.wzLength = 100;
        P r(refused);
        QVERIFY(At<QLabel>(r, P::kRefusal)->text().contains("Work Zone Length Exceeds Project"));
    }

    // Use Night Closures sets the option's timing and scales its days; Cancel drops it all, OK
    // keeps it with the settings, which a saved and opened project shows again.
    void nightClosuresAndSettingsReachTheProjectOnlyOnOk() {
        QVERIFY(app->OpenFile(VELMORA_EXAMPLES "/interstate.vlm"));
        const ProjectData before = Project();
        QCOMPARE(before.asphaltWzTiming, WorkZoneTiming::FullDay);
        MessageRecorder messages;
        for (bool ok : {false, true}) {
            WhenModalShows([&](QWidget* modal) {
                auto& w = *static_cast<P*>(modal);
                Type(w, P::kMaxQueue, "3");
                auto* night = At<QPushButton>(w, P::kUseNight);
                QVERIFY(night->isEnabled());
                night->click();
                QVERIFY(!night->isEnabled());
                QVERIFY(planner::SameWindow(w.Stage()->projectWindow.window, {20, 6}));
                ok ? w.accept() : w.reject();
            });
            Trigger(&MainWindow::Actions::workZonePlanner);
            if (!ok) {
                QCOMPARE(messages.shown.size(), 1); // discard the changes?
                QVERIFY(!app->Document().IsModified());
                QCOMPARE(Encoded(Project()), Encoded(before));
            }
        }
        QVERIFY(app->Document().IsModified());
        QCOMPARE(Project().asphaltWzTiming, WorkZoneTiming::Night);
        for (int k = 0; k < 4; ++k) {
            // 24 productive hours a day before, 9 of a night closure after.
            QCOMPARE(Project().asphaltStage[k].daysToComplete,
                     std::trunc(before.asphaltStage[k].daysToComplete * 24 / 9));
            QCOMPARE(Project().concreteStage[k].daysToComplete,
                     before.concreteStage[k].daysToComplete);
        }
        QCOMPARE(Project().concreteWzTiming, before.concreteWzTiming);

        QCOMPARE(app->Document().Save(Path("planned.vlm")), QString());
        QVERIFY(app->OpenFile(Path("planned.vlm")));
        planner::PlannerSettings expected;
        expected.maxQueueMiles = 3;
        QCOMPARE(planner::ParsePlannerSettings(Project().workZonePlanner).settings, expected);
        P w(Project());
        QCOMPARE(w.Settings(), expected);
        QCOMPARE(At<QLineEdit>(w, P::kMaxQueue)->text(), QString("3"));
    }
};

QTEST_MAIN(WorkZonePlannerTest)
#include "WorkZonePlannerTest.moc"
