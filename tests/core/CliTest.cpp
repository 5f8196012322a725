#include "CoreTestSupport.h"

#include <cerrno>
#include <cstring>

using namespace velmora;
using namespace velmora::test;

using CliTest = ScratchFolder;

// Every saved field, one name=value line each in file order; numbers read back exactly.
TEST_F(CliTest, NewWritesTheDefaultProjectAndShowListsEveryField) {
    ASSERT_EQ(RunCli({"new", Path("a.vlm")}).status, 0);
    EXPECT_EQ(Read("a.vlm"), DataFile("default.vlm"));
    const CliRun show = RunCli({"show", Path("a.vlm")});
    EXPECT_EQ(show.status, 0);
    EXPECT_EQ(show.out, DataFile("show-default.txt"));
    EXPECT_EQ(show.err, "");
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

    for (const char* bad : {"noSuchField=1", "wzLanes=2.5", "aadt=1,5", "aadt", "projectTitle=a\\",
                            "projectTitle=\\q"})
        EXPECT_FALSE(cli::ApplySet(p, bad, err)) << bad;
    EXPECT_EQ(p.wzLanes, -3);
    EXPECT_EQ(p.projectTitle, "Enter Project Title Here");
}

TEST_F(CliTest, ShowReportsFilesItCannotRead) {
    const CliRun missing = RunCli({"show", Path("missing.vlm")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "velmora-cli: cannot read " + Path("missing.vlm") + ": " +
                               std::strerror(ENOENT) + "\n");

    std::filesystem::resize_file(Path("default.vlm"), 1000);
    const CliRun cut = RunCli({"show", Path("default.vlm")});
    EXPECT_EQ(cut.status, 1);
    EXPECT_EQ(cut.err, "velmora-cli: cannot read " + Path("default.vlm") +
                           ": The file is incomplete: it ends before "
                           "concreteStage[2].hmaOverlayThickness (item 121 of 214).\n");
    EXPECT_EQ(cut.out, "");
}

// Usage errors exit with 2, files that cannot be read with 1; neither prints a result nor
// writes a file.
TEST_F(CliTest, BadArgumentsAndMissingFiles) {
    const std::string file = Path("default.vlm"), out = Path("a");
    const struct {
        std::vector<std::string> args;
        int status;
    } cases[] = {
        {{}, 2},
        {{"frobnicate"}, 2},
        {{"new"}, 2},
        {{"show", file, "b"}, 2},
        {{"compute"}, 2},
        {{"compute", file, "extra"}, 2},
        {{"compute", file, "--xml"}, 2},
        {{"compute", file, "--set"}, 2},
        {{"compute", file, "--set", "nosuch=1"}, 2},
        {{"report", file}, 2},
        {{"report", file, out, "--json"}, 2},
        {{"compute", Path("missing.vlm")}, 1},
    };
    for (const auto& c : cases) {
        const CliRun run = RunCli(c.args);
        EXPECT_EQ(run.status, c.status) << ::testing::PrintToString(c.args);
        EXPECT_EQ(run.out, "");
        EXPECT_FALSE(run.err.empty());
    }
    EXPECT_EQ(FileCount(), 1);
}

TEST_F(CliTest, AFailedSaveLeavesTheOldFileIntact) {
    const std::string before = Read("default.vlm");
    ProjectData p;
    p.projectTitle = "\u0100"; // not in Windows-1252
    std::ostringstream err;
    EXPECT_FALSE(cli::SaveProject(Path("default.vlm"), p, err));
    EXPECT_NE(err.str().find("projectTitle"), std::string::npos);
    EXPECT_EQ(Read("default.vlm"), before);

    // A write that fails at the rename leaves neither a damaged target nor a stray temporary.
    std::filesystem::create_directories(dir_ / "taken" / "inside");
    EXPECT_FALSE(cli::WriteFileAtomically(Path("taken"), "x").empty());
    EXPECT_TRUE(std::filesystem::is_directory(dir_ / "taken" / "inside"));
    EXPECT_EQ(FileCount(), 2);
}
