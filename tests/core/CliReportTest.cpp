#include "CoreTestSupport.h"
#include "ProcessSupport.h"

using namespace velmora;
using namespace velmora::test;

using CliReportTest = ScratchFolder;
namespace fs = std::filesystem;

namespace {

void ExpectDefaultReport(const std::string& bytes) {
    EXPECT_EQ(WithoutDateLine(bytes), WithoutDateLine(DataFile("report-default.xls")));
}

} // namespace

// A replaced report keeps its permissions, also through a link (where the system lets a user make
// one); a run killed before its rename left a temporary file, which the next write removes; a
// name as long as the file system allows still leaves room for the temporary file; "-" is
// standard output.
TEST_F(CliReportTest, WritesTheReportAndReplacesAnOldOne) {
    ASSERT_TRUE(cli::WriteFileAtomically(Path("lcca"), "old report").ok());
    fs::permissions(Path("lcca"), fs::perms(0640));
    const fs::perms permissions = fs::status(Path("lcca")).permissions();
    ASSERT_TRUE(
        cli::WriteFileAtomically(cli::TemporaryPathFor(Path("lcca"), EndedProcessId()), "killed")
            .ok());
    fs::create_directories(dir_ / "links");
    std::vector<std::string> names{"lcca", std::string(255, 'r')};
#if !defined(_WIN32)
    fs::create_symlink("../lcca", dir_ / "links" / "kept.xls");
    fs::create_symlink("../new.xls", dir_ / "links" / "new.xls");
    names.insert(names.end(), {"links/kept.xls", "links/new.xls"});
#endif
    for (const std::string& name : names) {
        const CliRun run = RunCli({"report", Path("default.vlm"), Path(name)});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out + run.err, kExported);
        ExpectDefaultReport(Read(name));
    }
    EXPECT_EQ(fs::status(Path("lcca")).permissions(), permissions);
#if !defined(_WIN32)
    EXPECT_TRUE(fs::is_symlink(dir_ / "links" / "kept.xls"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "links" / "new.xls"));
    fs::remove(dir_ / "new.xls");
#endif
    EXPECT_EQ(FileCount(), 4); // default.vlm, lcca, links, the long one
    const CliRun dash = RunCli({"report", Path("default.vlm"), "-"});
    EXPECT_EQ(dash.status, 0) << dash.err;
    ExpectDefaultReport(dash.out);
    EXPECT_EQ(FileCount(), 4);
}

// The report holds the project after the sets, with the treatment counts the run recomputed.
TEST_F(CliReportTest, CarriesSetsRecomputedCountsAndGridlock) {
    const CliRun run = RunCli(WithSets({"report", Path("default.vlm"), Path("out.xls")},
                                       DataLines("report-gridlock.set")));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, kExported);
    EXPECT_EQ(run.err, std::string("Gridlock (asphalt option)\n") + kGridlockText + "\n");
    EXPECT_EQ(WithoutDateLine(Read("out.xls")), WithoutDateLine(DataFile("report-gridlock.xls")));
}
