#include "CoreTestSupport.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

using namespace velmora;
using namespace velmora::test;

using CliReportTest = ScratchFolder;
namespace fs = std::filesystem;

namespace {

constexpr const char* kExported = "Your life cycle cost analysis has been successfully exported.\n";

void ExpectDefaultReport(const std::string& bytes) {
    EXPECT_EQ(WithoutDateLine(bytes), WithoutDateLine(DataFile("report-default.xls")));
}

} // namespace

// A replaced report keeps its permissions, also through a link; a run killed before its rename
// left a temporary file, which the next write removes; a name as long as the file system allows
// still leaves room for the temporary file; "-" is standard output.
TEST_F(CliReportTest, WritesTheReportAndReplacesAnOldOne) {
    ASSERT_TRUE(cli::WriteFileAtomically(Path("lcca"), "old report").ok());
    fs::permissions(Path("lcca"), fs::perms(0640));
    ASSERT_TRUE(cli::WriteFileAtomically(cli::TemporaryPathFor(Path("lcca")), "killed").ok());
    fs::create_directories(dir_ / "links");
    fs::create_symlink("../lcca", dir_ / "links" / "kept.xls");
    fs::create_symlink("../new.xls", dir_ / "links" / "new.xls");
    for (const std::string& name : std::vector<std::string>{
             "lcca", "links/kept.xls", "links/new.xls", std::string(255, 'r')}) {
        const CliRun run = RunCli({"report", Path("default.vlm"), Path(name)});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out + run.err, kExported);
        ExpectDefaultReport(Read(name));
    }
    EXPECT_EQ(fs::status(Path("lcca")).permissions(), fs::perms(0640));
    EXPECT_TRUE(fs::is_symlink(dir_ / "links" / "kept.xls"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "links" / "new.xls"));
    EXPECT_EQ(FileCount(), 5); // default.vlm, lcca, new.xls, links, the long one
    const CliRun dash = RunCli({"report", Path("default.vlm"), "-"});
    EXPECT_EQ(dash.status, 0) << dash.err;
    ExpectDefaultReport(dash.out);
    EXPECT_EQ(FileCount(), 5);
}

// What is not a report's to replace is left as it was: the project file itself under any name,
// a file the user may not write, anything that is not a regular file, and an old report when
// the project is refused or holds a text a report cannot.
TEST_F(CliReportTest, RefusesToReplaceWhatIsNotItsOwn) {
    fs::create_hard_link(Path("default.vlm"), Path("hard.vlm"));
    fs::create_symlink("default.vlm", Path("soft.vlm"));
    ASSERT_TRUE(cli::WriteFileAtomically(Path("locked.xls"), "previous").ok());
    fs::permissions(Path("locked.xls"), fs::perms(0444));
    ASSERT_TRUE(cli::WriteFileAtomically(Path("keep.xls"), "previous").ok());
    ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
    fs::create_directories(dir_ / "folder" / "inside");
    const std::string project = Read("default.vlm");
    const std::string same =
        " is the project file " + Path("default.vlm") + "; the report would replace it\n";
    const std::string dotted = (dir_ / "folder" / ".." / "default.vlm").string();
    const std::string wont = "velmora-cli: cannot write ";
    const struct {
        std::vector<std::string> sets;
        std::string out;
        int status;
        std::string message;
    } cases[] = {
        {{}, Path("default.vlm"), 2, "velmora-cli: " + Path("default.vlm") + same},
        {{}, dotted, 2, "velmora-cli: " + dotted + same},
        {{}, Path("hard.vlm"), 2, "velmora-cli: " + Path("hard.vlm") + same},
        {{}, Path("soft.vlm"), 2, "velmora-cli: " + Path("soft.vlm") + same},
        {{},
         Path("locked.xls"),
         1,
         wont + Path("locked.xls") + ": " + std::strerror(EACCES) + "\n"},
        {{}, Path("fifo"), 1, wont + Path("fifo") + ": Not a regular file\n"},
        {{}, Path("folder"), 1, wont + Path("folder") + ": " + std::strerror(EISDIR) + "\n"},
        {{"wzSpeedLimit=60"},
         Path("keep.xls"),
         3,
         "Work Zone Speed Limit Exceeds Project Speed Limit\n"},
        {{"concreteMaintenance[2].description=Repair \u0101"},
         Path("keep.xls"),
         1,
         wont + Path("keep.xls") +
             ": concreteMaintenance[2].description holds a character that a report cannot hold\n"},
    };
    for (const auto& c : cases) {
        const CliRun run = RunCli(WithSets({"report", Path("default.vlm"), c.out}, c.sets));
        EXPECT_EQ(run.status, c.status) << c.out;
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(run.err.starts_with(c.message)) << run.err;
    }
    EXPECT_EQ(Read("default.vlm"), project);
    EXPECT_TRUE(fs::is_symlink(Path("soft.vlm")));
    EXPECT_EQ(Read("locked.xls") + Read("keep.xls"), "previousprevious");
    EXPECT_TRUE(fs::is_fifo(Path("fifo")));
    EXPECT_TRUE(fs::is_directory(dir_ / "folder" / "inside"));
    EXPECT_EQ(FileCount(), 7);
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
