#include "CoreTestSupport.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

using namespace velmora;
using namespace velmora::test;

using CliReportTest = ScratchFolder;

namespace {

constexpr const char* kExported = "Your life cycle cost analysis has been successfully exported.\n";

} // namespace

// The old report keeps its permissions; a run killed before its rename left a temporary file,
// which the next write to the same report removes.
TEST_F(CliReportTest, WritesTheReportOfTheRunAndReplacesAnOldOne) {
    ASSERT_TRUE(cli::WriteFileAtomically(Path("lcca"), "old report").ok());
    std::filesystem::permissions(Path("lcca"), std::filesystem::perms(0640));
    ASSERT_TRUE(cli::WriteFileAtomically(cli::TemporaryPathFor(Path("lcca")), "killed").ok());
    const CliRun run = RunCli({"report", Path("default.vlm"), Path("lcca")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, kExported);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(WithoutDateLine(Read("lcca")), WithoutDateLine(DataFile("report-default.xls")));
    EXPECT_EQ(std::filesystem::status(Path("lcca")).permissions(), std::filesystem::perms(0640));
    EXPECT_EQ(FileCount(), 2);
}

// A link is written through and stays a link, also one whose file is still to come; a name as
// long as the file system allows still leaves room for the temporary file.
TEST_F(CliReportTest, WritesThroughLinksAndUnderTheLongestNames) {
    namespace fs = std::filesystem;
    fs::create_directories(dir_ / "links");
    ASSERT_TRUE(cli::WriteFileAtomically(Path("kept.xls"), "old report").ok());
    fs::permissions(Path("kept.xls"), fs::perms(0600));
    fs::create_symlink("../kept.xls", dir_ / "links" / "kept.xls");
    fs::create_symlink("../new.xls", dir_ / "links" / "new.xls");
    const std::string longest(255, 'r');
    for (const std::string& name :
         {std::string("links/kept.xls"), std::string("links/new.xls"), longest}) {
        const CliRun run = RunCli({"report", Path("default.vlm"), Path(name)});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(WithoutDateLine(Read(name)), WithoutDateLine(DataFile("report-default.xls")));
    }
    EXPECT_TRUE(fs::is_symlink(dir_ / "links" / "kept.xls"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "links" / "new.xls"));
    EXPECT_EQ(fs::status(Path("kept.xls")).permissions(), fs::perms(0600));
    EXPECT_TRUE(fs::is_regular_file(Path("new.xls")));
    EXPECT_EQ(FileCount(), 5); // default.vlm, kept.xls, new.xls, links, the long one
}

TEST_F(CliReportTest, DashWritesTheReportToStandardOutput) {
    const CliRun run = RunCli({"report", Path("default.vlm"), "-"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(WithoutDateLine(run.out), WithoutDateLine(DataFile("report-default.xls")));
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(FileCount(), 1);
}

// What is not a report's to replace is left as it was: the project file itself under any name,
// a file the user may not write, and anything that is not a regular file.
TEST_F(CliReportTest, RefusesToReplaceWhatIsNotItsOwn) {
    namespace fs = std::filesystem;
    fs::create_hard_link(Path("default.vlm"), Path("hard.vlm"));
    fs::create_symlink("default.vlm", Path("soft.vlm"));
    ASSERT_TRUE(cli::WriteFileAtomically(Path("locked.xls"), "previous").ok());
    fs::permissions(Path("locked.xls"), fs::perms(0444));
    ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
    fs::create_directories(dir_ / "folder" / "inside");
    const std::string project = Read("default.vlm");
    const std::string same = " is the project file " + Path("default.vlm") +
                             "; the report would "
                             "replace it";
    const struct {
        std::string out;
        int status;
        std::string message;
    } cases[] = {
        {Path("default.vlm"), 2, Path("default.vlm") + same},
        {(dir_ / "folder" / ".." / "default.vlm").string(), 2,
         (dir_ / "folder" / ".." / "default.vlm").string() + same},
        {Path("hard.vlm"), 2, Path("hard.vlm") + same},
        {Path("soft.vlm"), 2, Path("soft.vlm") + same},
        {Path("locked.xls"), 1,
         "cannot write " + Path("locked.xls") + ": " + std::strerror(EACCES)},
        {Path("fifo"), 1, "cannot write " + Path("fifo") + ": Not a regular file"},
        {Path("folder"), 1, "cannot write " + Path("folder") + ": " + std::strerror(EISDIR)},
    };
    for (const auto& c : cases) {
        const CliRun run = RunCli({"report", Path("default.vlm"), c.out});
        EXPECT_EQ(run.status, c.status) << c.out;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "velmora-cli: " + c.message + "\n");
    }
    EXPECT_EQ(Read("default.vlm"), project);
    EXPECT_TRUE(fs::is_symlink(Path("soft.vlm")));
    EXPECT_EQ(Read("locked.xls"), "previous");
    EXPECT_TRUE(fs::is_fifo(Path("fifo")));
    EXPECT_TRUE(fs::is_directory(dir_ / "folder" / "inside"));
    EXPECT_EQ(FileCount(), 6);
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
    ASSERT_TRUE(cli::WriteFileAtomically(Path("keep.xls"), "previous").ok());
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
