#include "Cli.h"
#include "FileIo.h"
#include "model/ProjectFile.h"

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

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("velmora-cli-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
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

TEST_F(CliTest, NewWritesTheDefaultProjectAndShowListsEveryField) {
    ASSERT_EQ(RunCli({"new", Path("a.vlm")}).status, 0);
    EXPECT_EQ(Read("a.vlm"), EncodeProject(ProjectData{}).bytes);

    const CliRun show = RunCli({"show", Path("a.vlm")});
    ASSERT_EQ(show.status, 0) << show.err;
    EXPECT_EQ(std::count(show.out.begin(), show.out.end(), '\n'), 214);
    EXPECT_EQ(show.out.substr(0, 70), "analysisPeriod=40\ndiscountRate=4\nlaneWidth=12\n"
                                      "projectDescription=Enter");
    EXPECT_NE(show.out.find("\ncurrentCpi=173.64400000000001\n"), std::string::npos);
    EXPECT_NE(show.out.find("\nasphaltStage[2].year=27\n"), std::string::npos);
    EXPECT_NE(show.out.find("\nconcreteStage[3].miscUnitLabel[2]=NA\n"), std::string::npos);
    EXPECT_NE(show.out.find("\nconcreteMisc[0].unit=0\n"), std::string::npos);
    EXPECT_NE(show.out.find("\nasphaltMisc.description=Misc Description...\n"), std::string::npos);
    EXPECT_TRUE(show.out.ends_with("concreteMaintenance[3].unitPrice=0\n"));
}

TEST_F(CliTest, SetAndShowUseOneNotation) {
    ProjectData p;
    std::ostringstream err;
    ASSERT_TRUE(cli::ApplySet(p, "projectDescription=Line 1\\r\\nTab\\there \\\\ done", err));
    ASSERT_TRUE(cli::ApplySet(p, "concreteStage[1].miscQuantity[0]=0.10000000000000001", err));
    ASSERT_TRUE(cli::ApplySet(p, "wzLanes=-3", err));
    EXPECT_EQ(p.projectDescription, "Line 1\r\nTab\there \\ done");
    EXPECT_EQ(p.concreteStage[1].miscQuantity[0], 0.1);
    EXPECT_EQ(p.wzLanes, -3);
    EXPECT_EQ(cli::EscapeText(p.projectDescription), "Line 1\\r\\nTab\\there \\\\ done");

    EXPECT_FALSE(cli::ApplySet(p, "noSuchField=1", err));
    EXPECT_FALSE(cli::ApplySet(p, "wzLanes=2.5", err));
    EXPECT_FALSE(cli::ApplySet(p, "aadt=1,5", err));
    EXPECT_FALSE(cli::ApplySet(p, "aadt", err));
    EXPECT_EQ(p.wzLanes, -3);
}

TEST_F(CliTest, ShowReportsFilesItCannotRead) {
    const CliRun missing = RunCli({"show", Path("missing.vlm")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("missing.vlm"), std::string::npos);
    EXPECT_EQ(std::count(missing.err.begin(), missing.err.end(), '\n'), 1);

    ASSERT_EQ(RunCli({"new", Path("a.vlm")}).status, 0);
    fs::resize_file(Path("a.vlm"), 1000);
    const CliRun cut = RunCli({"show", Path("a.vlm")});
    EXPECT_EQ(cut.status, 1);
    EXPECT_NE(cut.err.find("a.vlm"), std::string::npos);
    EXPECT_NE(cut.err.find("concreteStage[2].hmaOverlayThickness (item 121 of 214)"),
              std::string::npos)
        << cut.err;
    EXPECT_TRUE(cut.out.empty());
}

TEST_F(CliTest, UsageErrorsExitWithTwo) {
    EXPECT_EQ(RunCli({}).status, 2);
    EXPECT_EQ(RunCli({"frobnicate"}).status, 2);
    EXPECT_EQ(RunCli({"new"}).status, 2);
    EXPECT_EQ(RunCli({"show", "a", "b"}).status, 2);
}

TEST_F(CliTest, AFailedSaveLeavesTheOldFileIntact) {
    ASSERT_EQ(RunCli({"new", Path("a.vlm")}).status, 0);
    const std::string before = Read("a.vlm");

    ProjectData p;
    p.projectTitle = "\u0100"; // not in Windows-1252
    std::ostringstream err;
    EXPECT_FALSE(cli::SaveProject(Path("a.vlm"), p, err));
    EXPECT_NE(err.str().find("projectTitle"), std::string::npos);
    EXPECT_EQ(Read("a.vlm"), before);

    // A write that fails at the rename leaves neither a damaged target nor a stray temporary.
    fs::create_directories(dir_ / "taken" / "inside");
    EXPECT_FALSE(cli::WriteFileAtomically(Path("taken"), "x").empty());
    EXPECT_TRUE(fs::is_directory(dir_ / "taken" / "inside"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
    EXPECT_FALSE(cli::WriteFileAtomically(Path("no/such/dir.vlm"), "x").empty());
}
