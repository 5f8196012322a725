#include "CoreTestSupport.h"

#include "model/ProjectFile.h"

#include <cerrno>
#include <cstring>
#include <functional>
#include <map>
#include <thread>
#if !defined(_WIN32)
#include <sys/stat.h>
#endif

using namespace velmora;
using namespace velmora::test;

using CliTest = ScratchFolder;

// Every saved field, one name=value line each in file order; numbers read back exactly.
// `new --set` is how a project is written from a script: the changes land in the file.
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
        const CliRun show = RunCli({"show", Save("p.vlm", p)});
        EXPECT_NE(show.out.find("\nprojectTitle=" + c.shown + "\n"), std::string::npos) << c.shown;
        EXPECT_EQ(ProjectWith({"projectTitle=" + c.shown}).projectTitle, c.text);
    }
    const ProjectData p = ProjectWith({"concreteStage[1].miscQuantity[0]=0.10000000000000001",
                                       "wzLanes=-3", "projectTitle=\\x1B\\xC2\\x9D"});
    EXPECT_EQ(std::tuple(p.concreteStage[1].miscQuantity[0], p.wzLanes, p.projectTitle),
              std::tuple(0.1, -3, std::string("\x1b\u009d")));
}

// Every case of tests/data/cli-refusals.txt (those of this system) fails with its status and its
// message, prints no result, and leaves every file of the folder as it was.
TEST_F(CliTest, RefusedRunsSayWhyAndChangeNoFile) {
    namespace fs = std::filesystem;
    fs::copy_file(fs::path(VELMORA_TEST_DATA) / "risk-default.vlm", dir_ / "risk.vlm");
    std::string bad = DataFile("risk-example.json");
    bad.replace(bad.find(R"("mode": 15)"), 10, R"("mode": 25)");
    ASSERT_TRUE(cli::WriteFileAtomically(Path("bad.json"), bad).ok());
    fs::copy_file(Path("default.vlm"), Path("cut.vlm"));
    fs::resize_file(Path("cut.vlm"), 1000);
    fs::copy_file(Path("default.vlm"), Path("huge.vlm"));
    fs::resize_file(Path("huge.vlm"), kMaxProjectFileBytes + 1);
    ASSERT_TRUE(cli::WriteFileAtomically(Path("huge.json"), "{}").ok());
    fs::resize_file(Path("huge.json"), cli::kRiskDefinitionsFileLimit.bytes + 1);
    fs::copy_file(fs::path(VELMORA_TEST_DATA) / "risk-example.json", dir_ / "defs.json");
    fs::create_hard_link(Path("defs.json"), Path("hard.json"));
    fs::create_directories(dir_ / "folder" / "inside");
    fs::create_hard_link(Path("default.vlm"), Path("hard.vlm"));
#if defined(_WIN32)
    const std::string ownSystem = "[windows] ", otherSystem = "[posix] ";
#else
    const std::string ownSystem = "[posix] ", otherSystem = "[windows] ";
    fs::create_symlink("defs.json", Path("soft.json"));
    fs::create_symlink("default.vlm", Path("soft.vlm"));
    ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
#endif
    ASSERT_TRUE(cli::WriteFileAtomically(Path("locked.xls"), "previous").ok());
    fs::permissions(Path("locked.xls"), fs::perms(0444));
    ASSERT_TRUE(cli::WriteFileAtomically(Path("keep.xls"), "previous").ok());
    const auto snapshot = [&] {
        std::map<std::string, std::string> files;
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(dir_))
            files[entry.path().filename().string()] =
                std::to_string(static_cast<int>(entry.symlink_status().type())) + ", " +
                std::to_string(std::hash<std::string>{}(ReadFile(entry.path())));
        return files;
    };
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const auto expand = [&](std::string text) {
        for (const auto& [name, value] : {std::pair<std::string, std::string>{"$D", dir_.string()},
                                          {"{ENOENT}", std::strerror(ENOENT)},
                                          {"{EISDIR}", std::strerror(EISDIR)},
                                          {"{EACCES}", std::strerror(EACCES)},
                                          {"{CORES}", std::to_string(cores)},
                                          {"{MOST_THREADS}", std::to_string(4 * cores)}})
            for (std::size_t at; (at = text.find(name)) != std::string::npos;)
                text.replace(at, name.size(), value);
        return text;
    };
    const auto before = snapshot();
    for (auto [args, rest] : DataCases("cli-refusals.txt")) {
        if (args.starts_with(otherSystem)) continue;
        if (args.starts_with(ownSystem)) args.erase(0, ownSystem.size());
        const std::size_t bar = rest.find(" | ");
        std::vector<std::string> words = Words(expand(args));
        std::ranges::replace(words, std::string("''"), std::string());
        const CliRun run = RunCli(words);
        EXPECT_EQ(run.status, std::stoi(rest.substr(0, bar))) << args;
        EXPECT_EQ(run.out, "") << args;
        EXPECT_EQ(run.err.substr(0, run.err.find('\n')), expand(rest.substr(bar + 3))) << args;
    }
    EXPECT_EQ(snapshot(), before);
}

// The installed manual page keeps up with the program: every command of `--help`, and every
// option of each command's `--help`, is in it.
TEST(CliManualPage, NamesEveryCommandAndOption) {
    const std::string page = ReadFile(VELMORA_MAN_PAGE);
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
