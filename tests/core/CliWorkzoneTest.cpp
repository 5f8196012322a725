#include "CoreTestSupport.h"
#include "planner/WorkZonePlanner.h"
#include "report/NumberText.h"

#include <nlohmann/json.hpp>

using namespace velmora;
using namespace velmora::test;
using Json = nlohmann::ordered_json;

using CliWorkzoneTest = ScratchFolder;

// The project's own window of every stage costs road users what Compute Costs says, closed all
// day and at night; a gridlocked option has no cost to give. Every window stays in the JSON,
// whatever --top says.
TEST_F(CliWorkzoneTest, TheProjectsWindowCostsWhatComputeSays) {
    const std::string file = Save("heavy.vlm", HeavyPricedProject());
    int compared = 0;
    for (const std::string timing : {"0", "1"}) {
        const std::vector<std::string> sets{"asphaltWzTiming=" + timing,
                                            "concreteWzTiming=" + timing};
        const Json computed = Json::parse(RunCli(WithSets({"compute", file, "--json"}, sets)).out);
        const CliRun run = RunCli(WithSets({"workzone", file, "--json", "--top", "1"}, sets));
        ASSERT_EQ(run.status, 0) << run.err;
        const Json planned = Json::parse(run.out);
        EXPECT_EQ(planned["file"], file);
        ASSERT_EQ(planned["options"].size(), 2u);
        for (const Json& option : planned["options"]) {
            const std::string name = option["option"];
            ASSERT_EQ(option["stages"].size(), 4u);
            for (const Json& stage : option["stages"]) {
                const int k = stage["stage"];
                const Json& own = stage["projectWindow"];
                EXPECT_EQ(own["start"], timing == "0" ? 0 : 20);
                const Json expected = computed[name + "Gridlock"]
                                          ? Json()
                                          : computed[name + "User[" + std::to_string(k) + "]"];
                EXPECT_EQ(own["userCost"], expected) << name << k << " timing " << timing;
                EXPECT_EQ(stage["candidates"].size(), planner::kWindowCount);
                EXPECT_FALSE(stage.contains("hourly"));
                ++compared;
            }
        }
    }
    EXPECT_EQ(compared, 16);
}

// The command line's settings go over the file's, a left-out one keeps the file's, and the
// no-closure hours given replace the file's. A window that breaks a limit is marked, never
// dropped, and ranks after every feasible one. The file is never written.
TEST_F(CliWorkzoneTest, OptionsOverrideTheFilesSettingsAndLimitsMarkWindows) {
    ProjectData project = HeavyPricedProject();
    project.workZonePlanner = R"({"format":"velmora-workzone","version":1,"setupHours":2,
        "maxQueueMiles":3,"noClosure":[[6,9]],"closureCost":2500})";
    const std::string file = Save("heavy.vlm", project);
    const std::string before = Read("heavy.vlm");
    const CliRun run =
        RunCli({"workzone", file, "--json", "--option", "concrete", "--stage", "1", "--max-queue",
                "0.5", "--no-closure", "15-19", "--setup-hours", "1.5", "--no-closure", "22-2"});
    ASSERT_EQ(run.status, 0) << run.err;
    const Json planned = Json::parse(run.out);
    EXPECT_EQ(planned["settings"].dump(),
              R"({"format":"velmora-workzone","version":1,"setupHours":1.5,"maxQueueMiles":0.5,)"
              R"("noClosure":[[15,19],[22,2]],"closureCost":2500.0})");
    ASSERT_EQ(planned["options"].size(), 1u);
    EXPECT_EQ(planned["options"][0]["option"], "concrete");
    ASSERT_EQ(planned["options"][0]["stages"].size(), 1u);
    const Json& stage = planned["options"][0]["stages"][0];
    EXPECT_EQ(stage["stage"], 1);
    EXPECT_EQ(stage["year"], 10.0);
    ASSERT_EQ(stage["candidates"].size(), planner::kWindowCount);
    bool infeasibleSeen = false;
    int marked = 0;
    for (const Json& c : stage["candidates"]) {
        const ClosureWindow window{c["start"], c["end"]};
        bool closedHours = false;
        for (int h : {15, 16, 17, 18, 22, 23, 0, 1}) closedHours |= window.Contains(h);
        const std::string broken = c["broken"];
        EXPECT_EQ(broken.find("in no-closure hours") != std::string::npos, closedHours);
        EXPECT_EQ(broken.find("queue too long") != std::string::npos, c["maxQueueMiles"] > 0.5);
        EXPECT_EQ(c["feasible"], broken.empty());
        EXPECT_FALSE(c["feasible"] && infeasibleSeen) << "a feasible window ranked after another";
        infeasibleSeen |= !c["feasible"];
        marked += !broken.empty();
        if (c["feasible"] && c["hours"] != 24) {
            EXPECT_GT(c["closureCost"], 0.0); // the file's cost of a closure still applies
        }
    }
    EXPECT_GT(marked, 300);
    EXPECT_EQ(Read("heavy.vlm"), before);
}

// The table shows the --top cheapest windows and the project's own window below them, in whole
// dollars; --hourly shows the project window's day instead, with the stage's user cost as
// Compute Costs gives it.
TEST_F(CliWorkzoneTest, TheTableShowsTheTopWindowsAndTheProjectsOwn) {
    const std::string file = Save("heavy.vlm", HeavyPricedProject());
    const Json planned = Json::parse(RunCli({"workzone", file, "--json"}).out);
    const Json& stage = planned["options"][0]["stages"][0];
    const CliRun text =
        RunCli({"workzone", file, "--top", "3", "--option", "asphalt", "--stage", "0"});
    ASSERT_EQ(text.status, 0) << text.err;
    const std::vector<std::string> lines = Split(text.out, "\n");
    ASSERT_EQ(lines.size(), 7u) << text.out; // heading, column names, 3 windows, project, ""
    const double userCost = stage["projectWindow"]["userCost"];
    EXPECT_TRUE(lines[0].starts_with("Asphalt option, Initial Construction, year 0: the "
                                     "project's window 24 hours, 1 day, user cost " +
                                     WholeNumber(userCost) + ", rank "))
        << lines[0];
    const Json& best = stage["candidates"][0];
    EXPECT_EQ(Words(lines[2]).at(0), "1");
    EXPECT_NE(lines[2].find(planner::WindowText({best["start"], best["end"]})), std::string::npos);
    EXPECT_NE(lines[2].find(" " + WholeNumber(best["total"]) + " "), std::string::npos);
    // Without a closure cost the project's total is its user cost.
    const double difference = best["total"].get<double>() - userCost;
    EXPECT_NE(lines[2].find(" " + WholeNumber(difference) + " "), std::string::npos);
    EXPECT_EQ(Words(lines[4]).at(0), "3");
    const std::vector<std::string> own = Words(lines[5]);
    EXPECT_EQ(own.at(0) + " " + own.at(1) + " " + own.at(2), "project 24 hours");
    EXPECT_NE(lines[5].find(" " + WholeNumber(userCost) + " "), std::string::npos);
    EXPECT_EQ(own.at(9), "0"); // no difference from itself

    const Json computed = Json::parse(RunCli({"compute", file, "--json"}).out);
    const CliRun hourly = RunCli({"workzone", file, "--hourly", "--stage", "1"});
    ASSERT_EQ(hourly.status, 0) << hourly.err;
    EXPECT_EQ(Split(hourly.out, "\n").size(), 2 * (1 + 1 + 48 + 1 + 7 + 1) + 1 + 1);
    for (const std::string option : {"asphalt", "concrete"})
        EXPECT_NE(hourly.out.find("User cost of the stage, present worth per mile: " +
                                  WholeNumber(computed[option + "User[1]"]) + "\n"),
                  std::string::npos)
            << option;
}
