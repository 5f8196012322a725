#include "CoreTestSupport.h"

#include "model/ProjectFile.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

using namespace velmora;
using namespace velmora::test;

using CliTest = ScratchFolder;

// Every saved field, one name=value line each in file order; numbers read back exactly.
// `new --set` is how a project is written from a script: the changes land in the file, and a
// refused change leaves no file behind.
TEST_F(CliTest, NewWritesTheDefaultProjectAndItsSetChanges) {
    ASSERT_EQ(RunCli({"new", Path("a.vlm")}).status, 0);
    EXPECT_EQ(Read("a.vlm"), DataFile("default.vlm"));
    const CliRun show = RunCli({"show", Path("a.vlm")});
    EXPECT_EQ(show.status, 0);
    EXPECT_EQ(show.out + show.err, DataFile("show-default.txt"));
    ASSERT_EQ(RunCli({"new", Path("b.vlm"), "--set", "aadt=24000.5", "--set",
                      "concreteMisc[1].description=Dowel bars\\tepoxy"})
                  .status,
              0);
    const std::string shown = RunCli({"show", Path("b.vlm")}).out;
    EXPECT_NE(shown.find("\naadt=24000.5\n"), std::string::npos);
    EXPECT_NE(shown.find("\nconcreteMisc[1].description=Dowel bars\\tepoxy\n"), std::string::npos);
    EXPECT_EQ(RunCli({"new", Path("c.vlm"), "--set", "aadt=many"}).status, 2);
    EXPECT_FALSE(std::filesystem::exists(Path("c.vlm")));
}

// Set and show use one notation. A file's texts never reach a terminal as control characters:
// every one that has no letter of its own prints as \xHH, and --set reads that back to the same
// bytes; numbers read back exactly.
TEST_F(CliTest, ShowEscapesEveryControlCharacterAndSetReadsItBack) {
    const struct {
        std::string text, shown;
    } cases[] = {
        {"\x1b]0;owned\x07\x1b[2J", "\\x1b]0;owned\\x07\\x1b[2J"},
        {std::string("a\0b\x7f\x01\x1f", 6), "a\\x00b\\x7f\\x01\\x1f"},
        {"\u009d\u0081 \u00a0\u00e9\u20ac", "\\xc2\\x9d\\xc2\\x81 \u00a0\u00e9\u20ac"},
        {"Line 1\r\nTab\there \\ done", "Line 1\\r\\nTab\\there \\\\ done"},
    };
    for (const auto& c : cases) {
        ProjectData p;
        p.projectTitle = c.text;
        std::ostringstream err;
        ASSERT_TRUE(cli::SaveProject(Path("p.vlm"), p, err)) << err.str();
        const CliRun show = RunCli({"show", Path("p.vlm")});
        EXPECT_NE(show.out.find("\nprojectTitle=" + c.shown + "\n"), std::string::npos) << c.shown;

        ProjectData back;
        ASSERT_TRUE(cli::ApplySet(back, "projectTitle=" + c.shown, err)) << err.str();
        EXPECT_EQ(back.projectTitle, c.text);
    }
    ProjectData p;
    std::ostringstream err;
    ASSERT_TRUE(cli::ApplySet(p, "concreteStage[1].miscQuantity[0]=0.10000000000000001", err));
    ASSERT_TRUE(cli::ApplySet(p, "wzLanes=-3", err));
    ASSERT_TRUE(cli::ApplySet(p, "projectTitle=\\x1B\\xC2\\x9D", err));
    EXPECT_EQ(std::tuple(p.concreteStage[1].miscQuantity[0], p.wzLanes, p.projectTitle),
              std::tuple(0.1, -3, std::string("\x1b\u009d")));
}

// A refused --set names what is wrong and ends the run as a usage error.
TEST_F(CliTest, RefusedSetsSayWhy) {
    const struct {
        const char* assignment;
        std::string message;
    } cases[] = {
        {"aadt", "--set needs NAME=VALUE, not aadt"},
        {"noSuchField=1", "no saved field is named noSuchField"},
        {"wzLanes=2.5", "2.5 is not a value for wzLanes"},
        {"projectTitle=\\x4", "\\x4 is not a value for projectTitle"},
        {"aadt=1,5", "1,5 is not a value for aadt"},
        {"projectTitle=a\\", "a\\ is not a value for projectTitle"},
        {"projectTitle=\\q", "\\q is not a value for projectTitle"},
    };
    for (const auto& c : cases) {
        const CliRun run = RunCli({"compute", Path("default.vlm"), "--set", c.assignment});
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "velmora-cli: " + c.message + "\n");
    }
}

// Only a regular file of a project file's size is read; anything else is refused at once,
// without waiting for a writer to a FIFO or reading an endless device.
TEST_F(CliTest, ShowReportsFilesItCannotRead) {
    std::filesystem::copy_file(Path("default.vlm"), Path("cut.vlm"));
    std::filesystem::resize_file(Path("cut.vlm"), 1000);
    std::filesystem::copy_file(Path("default.vlm"), Path("huge.vlm"));
    std::filesystem::resize_file(Path("huge.vlm"), kMaxProjectFileBytes + 1);
    ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
    std::filesystem::create_directory(Path("folder"));
    const struct {
        std::string path, reason;
    } cases[] = {
        {Path("missing.vlm"), std::strerror(ENOENT)},
        {Path("cut.vlm"), "The file is incomplete: it ends before "
                          "concreteStage[2].hmaOverlayThickness (item 121 of 214)."},
        {Path("huge.vlm"), "Larger than any project file (64 MiB)"},
        {Path("fifo"), "Not a regular file"},
        {"/dev/zero", "Not a regular file"},
        {Path("folder"), std::strerror(EISDIR)},
    };
    for (const auto& c : cases) {
        const CliRun show = RunCli({"show", c.path});
        EXPECT_EQ(show.status, 1);
        EXPECT_EQ(show.err, "velmora-cli: cannot read " + c.path + ": " + c.reason + "\n");
        EXPECT_EQ(show.out, "");
    }
}

// Usage errors exit with 2, print no result and write no file.
TEST_F(CliTest, BadArgumentsAreUsageErrors) {
    const std::string file = Path("default.vlm"), out = Path("a");
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{},
                                               {"frobnicate"},
                                               {"new"},
                                               {"show", file, "b"},
                                               {"compute", file, "--xml"},
                                               {"compute", file, "--set"},
                                               {"report", file},
                                               {"report", file, out, "--json"},
                                               {"report", file, out, "extra"},
                                               {"new", out, "b"},
                                               {"show", "--", file, "b"},
                                               {"risk", file, "b"},
                                               {"simulate", file, "--iterations"}}) {
        const CliRun run = RunCli(args);
        EXPECT_EQ(run.status, 2) << ::testing::PrintToString(args);
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
}

// --version answers on standard output; -- ends the options, so that a file whose
// name starts with dashes can be given.
TEST_F(CliTest, VersionAndFilesThatLookLikeOptions) {
    EXPECT_EQ(RunCli({"--version"}).out, "velmora-cli " VELMORA_VERSION "\n");
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
    std::filesystem::copy_file("default.vlm", "--x.vlm");
    const CliRun file = RunCli({"show", "--", "--x.vlm"});
    const CliRun option = RunCli({"show", "--x.vlm"});
    std::filesystem::current_path(before);
    EXPECT_EQ(file.status, 0);
    EXPECT_EQ(file.out, DataFile("show-default.txt"));
    EXPECT_EQ(option.status, 2);
}

// The installed manual page keeps up with the program: every command of `--help`, and every
// option of each command's `--help`, is in it.
TEST(CliManualPage, NamesEveryCommandAndOption) {
    const std::string page = ReadFile(VELMORA_MAN_PAGE);
    ASSERT_FALSE(page.empty());
    const std::string help = RunCli({"--help"}).out;
    std::vector<std::string> commands;
    std::istringstream lines(help.substr(help.find("Subcommands:")));
    for (std::string line; std::getline(lines, line);)
        if (line.starts_with("  ")) commands.push_back(line.substr(2, line.find(' ', 2) - 2));
    EXPECT_GE(commands.size(), 6u);
    for (const std::string& command : commands) {
        EXPECT_NE(page.find("\n.B velmora-cli " + command + "\n"), std::string::npos) << command;
        const std::string options = RunCli({command, "--help"}).out;
        for (std::size_t at = options.find("--"); at != std::string::npos;
             at = options.find("--", at + 2)) {
            const std::size_t end =
                options.find_first_not_of("abcdefghijklmnopqrstuvwxyz-", at + 2);
            std::string escaped;
            for (const char c : options.substr(at, end - at))
                escaped += c == '-' ? "\\-" : std::string(1, c);
            EXPECT_NE(page.find(escaped), std::string::npos) << command << ": " << escaped;
        }
    }
}

// Output that never arrived is no success, whatever the command; and nothing a command throws
// leaves the run without a message.
TEST_F(CliTest, AFailedStandardOutputFailsTheRun) {
    struct Full : std::streambuf {
        int overflow(int) override { return traits_type::eof(); }
    } full;
    const std::string file = Path("default.vlm");
    const std::vector<std::vector<std::string>> commands{
        {"show", file}, {"compute", file}, {"compute", file, "--json"},       {"report", file, "-"},
        {"--help"},     {"--version"},     {"report", file, Path("lcca.xls")}};
    for (const std::vector<std::string>& args : commands) {
        std::ostream out(&full);
        std::ostringstream err;
        EXPECT_EQ(cli::Run(args, out, err), 1) << ::testing::PrintToString(args);
        EXPECT_TRUE(err.str().ends_with("velmora-cli: cannot write standard output\n"))
            << err.str();
    }

    std::ostream throwing(&full);
    throwing.exceptions(std::ios::badbit);
    std::ostringstream err;
    EXPECT_EQ(cli::Run({"compute", file}, throwing, err), 1);
    EXPECT_TRUE(err.str().starts_with("velmora-cli: ")) << err.str();
}
