#include "CoreTestSupport.h"
#include "engine/Arithmetic.h"
#include "planner/WorkZonePlanner.h"

#include <gtest/gtest.h>

#include <set>

using namespace velmora;
using namespace velmora::planner;
using namespace velmora::test;

namespace {

ProjectData Including(ProjectData p) {
    p.initialWzInclusion = p.rehabWzInclusion = WzInclusion::Include;
    return p;
}

// The project's own window, searched or simulated alone, gives every stage the user cost of
// Compute Costs to the dollar: on the heavily queued project closed all day and at night, and on
// every queued project of the analysis tests.
TEST(Planner, TheProjectsOwnWindowGivesEachStageTheUserCostOfComputeCosts) {
    std::vector<ProjectData> projects;
    for (std::int32_t timing : {WorkZoneTiming::FullDay, WorkZoneTiming::Night}) {
        ProjectData heavy = HeavyPricedProject();
        heavy.asphaltWzTiming = heavy.concreteWzTiming = timing;
        projects.push_back(heavy);
    }
    for (const auto& [assignments, figures] : DataCases("queued-projects.txt"))
        projects.push_back(ProjectWith(Words(assignments)));
    int compared = 0;
    for (const ProjectData& project : projects) {
        const AnalysisResult run = Analyse(Including(project));
        const PlannerRun search = SearchClosures(project, {});
        const PreparedProject prepared = PrepareProject(project);
        ASSERT_TRUE(search.ok());
        for (int option : {PavementOption::Asphalt, PavementOption::Concrete}) {
            if (run.option[option].gridlock) continue;
            for (int k = 0; k < 4; ++k) {
                const StageSearch& s = search.options[option].stages[k];
                const double expected = run.results[option].user[k];
                EXPECT_EQ(s.projectWindow.userCost, expected) << option << k;
                EXPECT_TRUE(SameWindow(s.projectWindow.window, ProjectWindow(project, option)));
                const StageDay day = SimulateStage(prepared, option, k, s.projectWindow.window, 1);
                EXPECT_EQ(day.userCost, expected);
                EXPECT_EQ(day.components, run.option[option].userComponents[k]);
                ++compared;
            }
        }
    }
    EXPECT_GT(compared, 300);
}

// One direction, one lane closed from 10 AM to noon, 1,200 vehicles in each of those hours and
// 500 in every other: the queue grows by 200 an hour and clears in the first open hour.
TEST(Planner, AHandWorkedQueueOfTwoHours) {
    WorkZoneModel model = MakeWorkZoneModel(ProjectData{});
    model.normalCapacity = 2000;
    model.closureCapacity = 1000;
    model.queueCapacity = 1400;
    std::array<Hours, 2> demand{};
    demand[0].fill(500);
    demand[0][10] = demand[0][11] = 1200;
    const StageDay day = SimulateDemand(model, 55, demand, {10, 12}, 90);
    const auto& hours = day.hours[0];

    EXPECT_EQ(hours[10].queue, 200);
    EXPECT_EQ(hours[11].queue, 400);
    EXPECT_EQ(hours[12].queue, 0);
    EXPECT_EQ(hours[12].capacity, 1400); // the queue discharges at the queue capacity
    EXPECT_EQ(hours[10].served, 1000);
    EXPECT_EQ(hours[12].served, 900);
    EXPECT_TRUE(hours[11].closed && !hours[12].closed);
    // Queue speed 13.334 r² + 12.707 r mph at capacity ratio r; the length is the mean queue over
    // the density in it less the density of the arrivals.
    const double closedSpeed = 13.334 * 0.25 + 12.707 * 0.5;         // 9.687 mph
    const double openSpeed = 13.334 * 0.49 + 12.707 * 0.7;           // 15.42856 mph
    const double miles11 = 300 / (1000 / closedSpeed - 1200 / 55.0); // 3.685
    const double miles12 = 200 / (1400 / openSpeed - 500 / 55.0);    // 2.449
    EXPECT_NEAR(hours[11].queueMiles, miles11, 1e-9);
    EXPECT_NEAR(hours[12].queueMiles, miles12, 1e-9);
    EXPECT_NEAR(hours[11].delayMinutes, (miles11 / closedSpeed - miles11 / 55) * 60, 1e-9);
    EXPECT_NEAR(hours[11].delayMinutes, 18.80, 0.01);
    for (int h : {0, 9, 13, 23}) EXPECT_EQ(hours[h].queue + hours[h].queueMiles, 0) << h;

    // Ten days of night closures (10 hours, 9 of work after an hour's setup) take 90 days
    // closed 2 hours a day (1 of work), and 26 whole days when a full day's ten are done at night.
    EXPECT_EQ(WindowDays(10, {20, 6}, {10, 12}, 1), 90);
    EXPECT_EQ(WindowDays(10, {0, 0}, {20, 6}, 1), 26);
    EXPECT_EQ(WindowDays(10.9, {20, 6}, {20, 6}, 1), 10);
    EXPECT_EQ(WindowDays(10, {20, 6}, {3, 4}, 1), 0); // no time to work
}

// Limits mark the windows that break them; every window stays in the list.
TEST(Planner, LimitsMarkCandidatesAndNeverDropThem) {
    PlannerSettings limits;
    limits.maxQueueMiles = 1.0;
    limits.maxDelayMinutes = 10.0;
    limits.maxDays = 20.0;
    limits.noClosure = {{6, 9}, {15, 19}};
    limits.closureCost = 5000;
    ProjectData project = HeavyPricedProject();
    project.asphaltStage[0].daysToComplete = 10;
    const PlannerRun run = SearchClosures(project, limits);
    ASSERT_TRUE(run.ok());
    for (const OptionSearch& option : run.options) {
        for (const StageSearch& s : option.stages) {
            ASSERT_EQ(s.candidates.size(), kWindowCount);
            std::set<std::pair<int, int>> windows;
            bool infeasibleSeen = false;
            double lastTotal = -1;
            for (const Candidate& c : s.candidates) {
                windows.insert({c.window.start, c.hours});
                bool rush = false;
                for (int h : {6, 7, 8, 15, 16, 17, 18}) rush |= c.window.Contains(h);
                EXPECT_EQ(bool(c.broken & Broken::ClosedHours), rush);
                EXPECT_EQ(bool(c.broken & Broken::QueueLength), c.maxQueueMiles > 1.0);
                EXPECT_EQ(bool(c.broken & Broken::Delay), c.maxDelayMinutes > 10.0);
                EXPECT_EQ(bool(c.broken & Broken::Days), c.days > 20.0);
                EXPECT_EQ(bool(c.broken & Broken::NoWorkTime), c.hours == 1);
                EXPECT_EQ(c.total, c.userCost + c.closureCost);
                if (c.priced()) {
                    EXPECT_EQ(c.closures, c.hours == 24 ? (c.days > 0) : c.days);
                }
                if (c.feasible()) {
                    EXPECT_FALSE(infeasibleSeen) << "a feasible window ranked after another";
                    EXPECT_GE(c.total, lastTotal);
                    lastTotal = c.total;
                }
                infeasibleSeen |= !c.feasible();
            }
            EXPECT_EQ(windows.size(), kWindowCount);
        }
    }
    // The 24-hour closure stands once: one closure's cost, per mile, at the stage's year.
    const StageSearch& initial = run.options[PavementOption::Asphalt].stages[0];
    const auto fullDay =
        std::ranges::find_if(initial.candidates, [](const Candidate& c) { return c.hours == 24; });
    EXPECT_EQ(fullDay->closures, 1);
    EXPECT_EQ(fullDay->closureCost, RoundWhole(5000 / project.projectLength));
    EXPECT_TRUE(fullDay->broken & Broken::ClosedHours);
    EXPECT_EQ(WindowText(fullDay->window), "24 hours");
    EXPECT_EQ(WindowText({20, 6}) + " / " + WindowText({0, 12}), "8 PM-6 AM / 12 AM-12 PM");
    EXPECT_EQ(BrokenText(Broken::Gridlock | Broken::ClosedHours), "gridlock, in no-closure hours");
}

TEST(Planner, SettingsRoundTripAndBadOnesAreNamed) {
    PlannerSettings s;
    s.setupHours = 1.5;
    s.maxDays = 30;
    s.noClosure = {{22, 2}};
    s.closureCost = 2500;
    const ParsedSettings back = ParsePlannerSettings(PlannerSettingsText(s));
    ASSERT_TRUE(back.ok()) << back.error;
    EXPECT_EQ(back.settings, s);
    for (const auto& [json, error] : std::vector<std::pair<std::string, std::string>>{
             {R"({"format":"velmora-workzone","version":1,"setupHours":12})",
              "The setup time must be from 0 to 9 hours."},
             {R"({"format":"velmora-workzone","version":1,"maxQueueMiles":0})",
              "The maximum queue length must be a number above 0."},
             {R"({"format":"velmora-workzone","version":1,"noClosure":[[6,6]]})",
              "A no-closure range must run from an hour 0 to 23 to a later hour up to 24 (it may "
              "wrap past midnight): 6-6 does not."},
             {R"({"format":"velmora-workzone","version":1,"closure":1})",
              "The work zone planner settings: unknown key \"closure\""},
             {R"({"format":"velmora-risk","version":1})", "format: must be \"velmora-workzone\""},
             {"{", "The work zone planner settings are not valid JSON"}}) {
        EXPECT_EQ(ParsePlannerSettings(json).error, error) << json;
    }
}

} // namespace
