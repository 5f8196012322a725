#include "Cli.h"
#include "FileIo.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

using namespace velmora;
namespace fs = std::filesystem;

namespace {

struct CliRun {
    int status;
    std::string out, err;
};

CliRun RunCli(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int status = cli::Run(args, out, err);
    return {status, out.str(), err.str()};
}

class CliComputeTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("velmora-compute-" +
                std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        fs::copy_file(fs::path(VELMORA_TEST_DATA) / "default.vlm", dir_ / "default.vlm");
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    std::string Read(const std::string& name) const {
        std::string error;
        return cli::ReadFileBytes(Path(name), error).value_or("");
    }
    fs::path dir_;
};

} // namespace

TEST_F(CliComputeTest, PrintsTheResultsInTableOrder) {
    const CliRun run = RunCli({"compute", Path("default.vlm")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "asphaltAgency[0]\t0\n"
                       "asphaltAgency[1]\t0\n"
                       "asphaltAgency[2]\t0\n"
                       "asphaltAgency[3]\t0\n"
                       "asphaltAgencySubtotal\t0\n"
                       "asphaltUser[0]\t88\n"
                       "asphaltUser[1]\t57\n"
                       "asphaltUser[2]\t40\n"
                       "asphaltUser[3]\t32\n"
                       "asphaltUserSubtotal\t217\n"
                       "asphaltMaintenanceCost\t0\n"
                       "asphaltTotal\t217\n"
                       "concreteAgency[0]\t0\n"
                       "concreteAgency[1]\t0\n"
                       "concreteAgency[2]\t0\n"
                       "concreteAgency[3]\t0\n"
                       "concreteAgencySubtotal\t0\n"
                       "concreteUser[0]\t88\n"
                       "concreteUser[1]\t88\n"
                       "concreteUser[2]\t88\n"
                       "concreteUser[3]\t88\n"
                       "concreteUserSubtotal\t352\n"
                       "concreteMaintenanceCost\t0\n"
                       "concreteTotal\t352\n"
                       "asphaltGridlock\t0\n"
                       "concreteGridlock\t0\n");
    EXPECT_EQ(run.err, "");
}

TEST_F(CliComputeTest, SetOverridesAndJsonCarriesCountsAndComponents) {
    const std::string before = Read("default.vlm");
    const CliRun run =
        RunCli({"compute", "--set", "hmaWearingPrice=50", Path("default.vlm"), "--set",
                "asphaltStage[1].wearingThickness=2", "--json", "--set",
                "asphaltMaintenance[2].yearsBetween=7", "--set", "initialWzInclusion=1"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.front(), '{');
    EXPECT_EQ(run.out.substr(run.out.size() - 2), "}\n");
    EXPECT_NE(run.out.find("\n  \"asphaltAgency[1]\": 56681,\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\n  \"asphaltUser[0]\": 0,\n"), std::string::npos);
    EXPECT_NE(run.out.find("\n  \"asphaltTotal\": 56810,\n"), std::string::npos); // + 57+40+32
    EXPECT_NE(run.out.find("\n  \"concreteGridlock\": false,\n"), std::string::npos);
    EXPECT_NE(run.out.find("\n  \"asphaltTreatmentCount\": [0, 0, 5, 0],\n"), std::string::npos);
    EXPECT_NE(run.out.find("\n  \"asphaltUserComponents\": [[0, 0, 0, 0, 48.5"), std::string::npos);
    EXPECT_EQ(Read("default.vlm"), before); // compute never writes the file
}

TEST_F(CliComputeTest, RefusalExitsWithThreeAndGridlockStillPrints) {
    const CliRun refused =
        RunCli({"compute", Path("default.vlm"), "--set", "wzLength=1.5", "--json"});
    EXPECT_EQ(refused.status, 3);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err, "Work Zone Length Exceeds Project Length\n"
                           "Please adjust either work zone or project length, or both.\n");

    const CliRun damaged = RunCli({"compute", Path("default.vlm"), "--set", "terrain=4"});
    EXPECT_EQ(damaged.status, 3);
    EXPECT_EQ(damaged.err.substr(0, damaged.err.find('\n')), "Value Out of Range");

    // The asphalt overlays, 35 years on at 10 % growth, meet a queue that never clears.
    const CliRun gridlock = RunCli(
        {"compute", Path("default.vlm"), "--set", "aadt=20000", "--set", "trafficGrowth=10"});
    EXPECT_EQ(gridlock.status, 0);
    EXPECT_NE(gridlock.out.find("\nasphaltGridlock\t1\nconcreteGridlock\t0\n"), std::string::npos)
        << gridlock.out;
    EXPECT_EQ(gridlock.err, std::string("Gridlock (asphalt option)\n") + kGridlockText + "\n");
}

TEST_F(CliComputeTest, BadArgumentsAreUsageErrors) {
    EXPECT_EQ(RunCli({"compute"}).status, 2);
    EXPECT_EQ(RunCli({"compute", Path("default.vlm"), "extra"}).status, 2);
    EXPECT_EQ(RunCli({"compute", Path("default.vlm"), "--xml"}).status, 2);
    EXPECT_EQ(RunCli({"compute", Path("default.vlm"), "--set"}).status, 2);
    EXPECT_EQ(RunCli({"compute", Path("default.vlm"), "--set", "nosuch=1"}).status, 2);
    EXPECT_EQ(RunCli({"compute", Path("missing.vlm")}).status, 1);
}
