#include "CoreTestSupport.h"
#include "ProcessSupport.h"

#include "model/ProjectFile.h"

#include <cstring>
#include <memory>
#include <thread>

using namespace velmora;
using namespace velmora::test;

using FileIoTest = ScratchFolder;
namespace fs = std::filesystem;

// Writers to one target at the same time, threads of one process and separate processes, each
// succeed; the file is always one writer's complete content, and no temporary file stays.
TEST_F(FileIoTest, ConcurrentWritersEachSucceedAndOneCompleteContentWins) {
    const std::string target = Path("s.vlm");
    std::vector<std::string> contents;
    for (char c : std::string("abcd")) contents.push_back(std::string(200000, c));
    for (int round = 0; round < 40; ++round) {
        std::vector<int> failed(contents.size());
        {
            std::vector<std::jthread> writers;
            for (std::size_t k = 0; k < contents.size(); ++k)
                writers.emplace_back(
                    [&, k] { failed[k] = !cli::WriteFileAtomically(target, contents[k]).ok(); });
        }
        ASSERT_EQ(failed, std::vector<int>(contents.size())) << "round " << round;
        ASSERT_NE(std::ranges::find(contents, Read("s.vlm")), contents.end()) << "round " << round;
    }

    std::vector<std::string> projects;
    for (int k = 0; k < 4; ++k) {
        ProjectData p;
        p.projectTitle = "writer " + std::to_string(k);
        projects.push_back(EncodeProject(p).bytes);
    }
    for (int round = 0; round < 10; ++round) {
        std::vector<std::unique_ptr<CliProcess>> writers;
        for (int k = 0; k < 4; ++k)
            writers.push_back(std::make_unique<CliProcess>(std::vector<std::string>{
                "new", target, "--set", "projectTitle=writer " + std::to_string(k)}));
        for (const auto& writer : writers) EXPECT_EQ(writer->Wait(), 0) << "round " << round;
    }
    EXPECT_NE(std::ranges::find(projects, Read("s.vlm")), projects.end());
    EXPECT_EQ(FileCount(), 2); // default.vlm and s.vlm
}

// A write that fails after its temporary file has a name (here the target turns into a folder
// before the rename) leaves the folder as it was, apart from what made it fail.
TEST_F(FileIoTest, AFailedWriteLeavesNoTemporaryFile) {
    const std::string target = Path("out.xls");
    const cli::FileWrite failed = cli::WriteFileAtomically(target, [&](const auto& write) {
        write("report");
        fs::create_directory(target);
    });
    EXPECT_EQ(failed.error, std::strerror(EISDIR));
    EXPECT_EQ(FileCount(), 2); // default.vlm and the folder
}

// The next write to a target removes what a killed writer left, and keeps the file of a writer
// that still runs (here the test's own process), and those of other targets.
TEST_F(FileIoTest, RemovesOnlyLeftoversOfWritersThatNoLongerRun) {
    const std::string target = Path("out.xls");
    const std::string killed = cli::TemporaryPathFor(target, EndedProcessId());
    const std::string running = cli::TemporaryPathFor(target, cli::CurrentProcessId());
    const std::string other = cli::TemporaryPathFor(Path("other.xls"), EndedProcessId());
    for (const std::string& path : {killed, running, other})
        ASSERT_TRUE(cli::WriteFileAtomically(path, "part").ok());
    ASSERT_TRUE(cli::WriteFileAtomically(target, "report").ok());
    EXPECT_FALSE(fs::exists(killed));
    EXPECT_TRUE(fs::exists(running));
    EXPECT_TRUE(fs::exists(other));
}

// Names are UTF-8 from the command line to the file system, on Windows as well, where both go
// through the system's wide names: a project saved and read under a name beyond the machine's
// code page is the same file under the same name.
TEST_F(FileIoTest, NamesBeyondTheCodePageAreKeptWhole) {
    const std::string name = "\xc3\x9c"
                             "bersicht \xe2\x82\xac \xce\xb1.vlm"; // Übersicht € α
    // Not Path(name): a std::filesystem::path made of a std::string reads it in the code page.
    const std::string path = dir_.string() + "/" + name;
    const std::string title = name.substr(0, name.find(" \xce")); // a project file's text is CP1252
    CliProcess writer({"new", path, "--set", "projectTitle=" + title});
    ASSERT_EQ(writer.Wait(), 0);
    EXPECT_TRUE(fs::exists(dir_ / fs::path(std::u8string(name.begin(), name.end()))));
    const CliRun show = RunCli({"show", path});
    EXPECT_NE(show.out.find("\nprojectTitle=" + title + "\n"), std::string::npos) << show.err;
    EXPECT_TRUE(cli::SameFile(path, path));
}
