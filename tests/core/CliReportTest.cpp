#include "CoreTestSupport.h"

#include <cerrno>
#include <cstring>

using namespace velmora;
using namespace velmora::test;

using CliReportTest = ScratchFolder;

namespace {

constexpr const char* kExported = "Your life cycle cost analysis has been successfully exported.\n";

} // namespace

TEST_F(CliReportTest, WritesTheReportOfTheRunAndReplacesAnOldOne) {
    ASSERT_TRUE(cli::WriteFileAtomically(Path("lcca"), "old report").empty());
    const CliRun run = RunCli({"report", Path("default.vlm"), Path("lcca")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, kExported);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(WithoutDateLine(Read("lcca")), WithoutDateLine(DataFile("report-default.xls")));
    EXPECT_EQ(FileCount(), 2);
}

// The report holds the project after the sets, with the treatment counts the run recomputed.
TEST_F(CliReportTest, CarriesSetsRecomputedCountsAndGridlock) {
    const CliRun run = RunCli(WithSets({"report", Path("default.vlm"), Path("out.xls")},
                                       Assignments("report-gridlock.set")));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, kExported);
    EXPECT_EQ(run.err, std::string("Gridlock (asphalt option)\n") + kGridlockText + "\n");
    EXPECT_EQ(WithoutDateLine(Read("out.xls")), WithoutDateLine(DataFile("report-gridlock.xls")));
}

TEST_F(CliReportTest, RefusedOrUnwritableReportsAreNeverSuccesses) {
    ASSERT_TRUE(cli::WriteFileAtomically(Path("keep.xls"), "previous").empty());
    const CliRun refused =
        RunCli({"report", Path("default.vlm"), Path("keep.xls"), "--set", "wzSpeedLimit=60"});
    EXPECT_EQ(refused.status, 3);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err.substr(0, refused.err.find('\n')),
              "Work Zone Speed Limit Exceeds Project Speed Limit");

    const std::string nowhere = Path("no/such/folder/lcca.xls");
    const CliRun unwritable = RunCli({"report", Path("default.vlm"), nowhere});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_EQ(unwritable.out, "");
    EXPECT_EQ(unwritable.err,
              "velmora-cli: cannot write " + nowhere + ": " + std::strerror(ENOENT) + "\n");

    const CliRun unencodable = RunCli({"report", Path("default.vlm"), Path("keep.xls"), "--set",
                                       "concreteMaintenance[2].description=Repair \u0101"});
    EXPECT_EQ(unencodable.status, 1);
    EXPECT_EQ(unencodable.err, "velmora-cli: cannot write " + Path("keep.xls") +
                                   ": concreteMaintenance[2].description holds a character that "
                                   "a report cannot hold\n");
    EXPECT_EQ(Read("keep.xls"), "previous");
}
