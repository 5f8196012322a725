#include "CoreTestSupport.h"

using namespace velmora;
using namespace velmora::test;

using CliComputeTest = ScratchFolder;

// The options may come in any order around FILE; the JSON, one line, adds the recomputed
// treatment counts and the seven user cost components of every stage.
TEST_F(CliComputeTest, SetOverridesAndJsonCarriesCountsAndComponents) {
    const std::string before = Read("default.vlm");
    const CliRun run =
        RunCli({"compute", "--set", "hmaWearingPrice=50", Path("default.vlm"), "--set",
                "asphaltStage[1].wearingThickness=2", "--json", "--set",
                "asphaltMaintenance[2].yearsBetween=7", "--set", "initialWzInclusion=1"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, DataFile("compute-sets.json"));
    EXPECT_EQ(Read("default.vlm"), before); // compute never writes the file
}

// Each gridlocked option is named in its own message.
TEST_F(CliComputeTest, GridlockStillPrintsTheResults) {
    const struct {
        std::vector<std::string> assignments;
        std::string option, flags;
    } cases[] = {
        {DataLines("report-gridlock.set"), "asphalt", "1\nconcreteGridlock\t0"},
        {{"aadt=50000", "laneCount=4", "asphaltWzTiming=1"}, "concrete", "0\nconcreteGridlock\t1"},
    };
    for (const auto& c : cases) {
        const CliRun run = RunCli(WithSets({"compute", Path("default.vlm")}, c.assignments));
        EXPECT_EQ(run.status, 0);
        EXPECT_TRUE(run.out.ends_with("\nasphaltGridlock\t" + c.flags + "\n")) << run.out;
        EXPECT_EQ(run.err, "Gridlock (" + c.option + " option)\n" + kGridlockText + "\n");
    }
}

// Several files run in parallel and print in the order given, one line of JSON each; the status
// is that of the first file that failed.
TEST_F(CliComputeTest, SeveralFilesPrintInTheOrderGiven) {
    const std::string file = Path("default.vlm"), heavy = Save("heavy.vlm", HeavyPricedProject());
    const std::string one = RunCli({"compute", file, "--json"}).out;
    const std::string two = RunCli({"compute", heavy, "--json"}).out;
    ASSERT_NE(one, two);
    const CliRun both = RunCli({"compute", "--json", file, heavy, file});
    EXPECT_EQ(both.status, 0);
    EXPECT_EQ(both.out, one + two + one);

    const CliRun text = RunCli({"compute", heavy, file});
    EXPECT_EQ(text.out, heavy + ":\n" + RunCli({"compute", heavy}).out + file + ":\n" +
                            DataFile("compute-default.txt"));

    const CliRun failed =
        RunCli({"compute", "--json", file, Path("missing.vlm"), "--set", "wzSpeedLimit=70"});
    EXPECT_EQ(failed.status, 3); // the first file is refused before the second cannot be read
    EXPECT_NE(failed.err.find("cannot read " + Path("missing.vlm")), std::string::npos);
    EXPECT_TRUE(failed.err.starts_with("Work Zone Speed Limit Exceeds Project Speed Limit\n"));
    EXPECT_EQ(failed.out, "");
}
