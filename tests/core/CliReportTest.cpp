#include "Cli.h"
#include "FileIo.h"

#include <cerrno>
#include <cstring>
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

std::string WithoutDateLine(const std::string& bytes) {
    const std::size_t start = bytes.find("\r\nDate and Time:\t");
    const std::size_t end = bytes.find("\r\n", start + 2);
    if (start == std::string::npos || end == std::string::npos) return bytes;
    return bytes.substr(0, start) + bytes.substr(end);
}

class CliReportTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ =
            fs::temp_directory_path() /
            ("velmora-report-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        fs::copy_file(fs::path(VELMORA_TEST_DATA) / "default.vlm", dir_ / "default.vlm");
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    static std::string ReadFile(const std::string& path) {
        std::string error;
        return cli::ReadFileBytes(path, error).value_or("");
    }
    fs::path dir_;
};

constexpr const char* kExported = "Your life cycle cost analysis has been successfully exported.\n";

} // namespace

TEST_F(CliReportTest, WritesTheReportOfTheRunAndReplacesAnOldOne) {
    ASSERT_TRUE(cli::WriteFileAtomically(Path("lcca"), "old report").empty());
    const CliRun run = RunCli({"report", Path("default.vlm"), Path("lcca")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, kExported);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(WithoutDateLine(ReadFile(Path("lcca"))),
              WithoutDateLine(ReadFile(std::string(VELMORA_TEST_DATA) + "/report-default.xls")));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
}

TEST_F(CliReportTest, CarriesSetsRecomputedCountsAndGridlock) {
    const CliRun run =
        RunCli({"report", "--set", "aadt=20000", Path("default.vlm"), Path("out.xls"), "--set",
                "trafficGrowth=10", "--set", "concreteMaintenance[1].description=Diamond grinding",
                "--set", "concreteMaintenance[1].quantity=18773", "--set",
                "concreteMaintenance[1].unitPrice=3.1", "--set",
                "concreteMaintenance[1].yearsBetween=15"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, kExported);
    EXPECT_EQ(run.err, std::string("Gridlock (asphalt option)\n") + kGridlockText + "\n");
    EXPECT_EQ(WithoutDateLine(ReadFile(Path("out.xls"))),
              WithoutDateLine(ReadFile(std::string(VELMORA_TEST_DATA) + "/report-gridlock.xls")));
}

TEST_F(CliReportTest, RefusedOrUnwritableReportsAreNeverSuccesses) {
    ASSERT_TRUE(cli::WriteFileAtomically(Path("keep.xls"), "previous").empty());
    const CliRun refused =
        RunCli({"report", Path("default.vlm"), Path("keep.xls"), "--set", "wzSpeedLimit=60"});
    EXPECT_EQ(refused.status, 3);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err.substr(0, refused.err.find('\n')),
              "Work Zone Speed Limit Exceeds Project Speed Limit");
    EXPECT_EQ(ReadFile(Path("keep.xls")), "previous");

    const std::string nowhere = Path("no/such/folder/lcca.xls");
    const CliRun unwritable = RunCli({"report", Path("default.vlm"), nowhere});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_EQ(unwritable.out, "");
    EXPECT_EQ(unwritable.err,
              "velmora-cli: cannot write " + nowhere + ": " + std::strerror(ENOENT) + "\n");

    const CliRun unencodable = RunCli(
        {"report", Path("default.vlm"), Path("keep.xls"), "--set", "projectTitle=Kraków \u0101"});
    EXPECT_EQ(unencodable.status, 1);
    EXPECT_NE(unencodable.err.find("projectTitle"), std::string::npos);
    EXPECT_EQ(ReadFile(Path("keep.xls")), "previous");
}

TEST_F(CliReportTest, BadArgumentsAreUsageErrors) {
    EXPECT_EQ(RunCli({"report", Path("default.vlm")}).status, 2);
    EXPECT_EQ(RunCli({"report", Path("default.vlm"), Path("a"), Path("b")}).status, 2);
    EXPECT_EQ(RunCli({"report", Path("default.vlm"), Path("a"), "--json"}).status, 2);
    EXPECT_FALSE(fs::exists(Path("a")));
}
