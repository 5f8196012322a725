#include "CoreTestSupport.h"
#include "ProcessSupport.h"

#include "model/ProjectFile.h"
#include "risk/RiskDefinitions.h"

#include <charconv>

using namespace velmora;
using namespace velmora::test;

using CliRiskTest = ScratchFolder;

// Each row of the samples, set with compute --set, gives the row's 24 results again.
TEST_F(CliRiskTest, SampleRowsRunAgainWithComputeSet) {
    const std::string file = HeavyWithDefinitions();
    const CliRun run = RunCli({"simulate", file, "--iterations", "25", "--samples", Path("s.csv")});
    ASSERT_EQ(run.status, 0) << run.err;
    std::istringstream csv(Read("s.csv"));
    std::string line;
    std::getline(csv, line);
    const std::vector<std::string> columns = Split(line, ",");
    const std::size_t fields = columns.size() - 1 - 24 - 3;
    ASSERT_EQ(fields, 8u);
    int rows = 0;
    for (; std::getline(csv, line); ++rows) {
        const std::vector<std::string> cells = Split(line, ",");
        std::vector<std::string> args{"compute", file};
        for (std::size_t j = 1; j <= fields; ++j)
            args.insert(args.end(), {"--set", columns[j] + "=" + cells[j]});
        const CliRun again = RunCli(args);
        ASSERT_EQ(again.status, 0) << again.err;
        std::string expected;
        for (std::size_t r = 0; r < 24; ++r)
            expected += columns[1 + fields + r] + "\t" + cells[1 + fields + r] + "\n";
        expected += "asphaltGridlock\t" + cells[1 + fields + 24] + "\nconcreteGridlock\t" +
                    cells[2 + fields + 24] + "\n";
        EXPECT_EQ(again.out, expected) << "iteration " << cells[0];
    }
    EXPECT_EQ(rows, 25);
}

// The command line's settings override the file's; the summary prints the totals, the odds and
// the inputs that drive the difference, with the figures of the JSON.
TEST_F(CliRiskTest, SettingsOverrideTheFilesAndTheSummaryGivesTheJsonsFigures) {
    const std::string file = HeavyWithDefinitions();
    std::vector<std::string> args{"simulate", file, "--iterations", "1500",
                                  "--seed",   "5",  "--sampling",   "mc"};
    const CliRun text = RunCli(args);
    ASSERT_EQ(text.status, 0) << text.err;
    args.push_back("--json");
    const nlohmann::json j = nlohmann::json::parse(RunCli(args).out);
    EXPECT_NE(
        text.out.find("Risk analysis of " + file + ": 1500 iterations (Monte Carlo, seed 5)\n"),
        std::string::npos)
        << text.out;
    const std::size_t at = text.out.find("\nasphaltTotal      ");
    ASSERT_NE(at, std::string::npos) << text.out;
    const std::string line = text.out.substr(at + 1, text.out.find('\n', at + 1) - at - 1);
    const auto& total = j["statistics"]["asphaltTotal"];
    for (const double v :
         {total["mean"].get<double>(), total["percentiles"]["5"]["value"].get<double>(),
          total["percentiles"]["95"]["value"].get<double>()}) {
        char buffer[32];
        char* end = std::to_chars(buffer, buffer + 32, v, std::chars_format::fixed, 0).ptr;
        EXPECT_NE(line.find(" " + std::string(buffer, end)), std::string::npos) << line;
    }
    EXPECT_NE(text.out.find("Asphalt is the cheaper option in "), std::string::npos);
    const std::size_t drivers = text.out.find("Inputs that drive the difference");
    ASSERT_NE(drivers, std::string::npos);
    EXPECT_EQ(std::count(text.out.begin() + drivers, text.out.end(), '\n'), 9);
}

// A run that the memory available cannot hold is refused before it starts, with its estimate
// (a precision-driven run at its most iterations) and what to change; a smaller one runs.
TEST_F(CliRiskTest, ARunTheMemoryCannotHoldIsRefusedUpFront) {
    const std::string file = HeavyWithDefinitions();
    const Environment available("VELMORA_AVAILABLE_MEMORY", "5000000");
    const std::string refusal =
        "velmora-cli: " + file +
        ": 20000 iterations need about 6.4 MB of memory, and 5.0 MB is available; run fewer "
        "iterations (--iterations N), or stop at a precision (--precision D with "
        "--max-iterations N)\n";
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"simulate", file, "--iterations", "20000", "--samples",
                                   Path("s.csv")},
          {"workbook", file, Path("w.xlsx"), "--simulate", "--precision", "1", "--max-iterations",
           "20000"}}) {
        const CliRun run = RunCli(args);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out + run.err, refusal);
    }
    EXPECT_EQ(FileCount(), 2); // default.vlm and heavy.vlm
    EXPECT_EQ(RunCli({"simulate", file, "--iterations", "15000", "--json"}).status, 0);
}

// A damaged definitions block is reported on every command that opens the file, which still
// opens; the definitions are gone, no save writes them back, and --clear drops the block.
TEST_F(CliRiskTest, ADamagedBlockIsReportedAndNotWrittenBack) {
    const std::string file = HeavyWithDefinitions();
    std::string bytes = Read("heavy.vlm");
    bytes[bytes.size() - 10] ^= 1;
    ASSERT_TRUE(cli::WriteFileAtomically(file, bytes).ok());
    const std::string warning = "velmora-cli: " + file +
                                ": The risk definitions could not be read: their checksum does "
                                "not match, so they are damaged.\n";
    const CliRun show = RunCli({"risk", file});
    EXPECT_EQ(show.status, 0);
    EXPECT_EQ(show.out + show.err, "{}\n" + warning);
    EXPECT_EQ(RunCli({"compute", file}).err, warning);
    EXPECT_EQ(RunCli({"risk", file, "--clear", "--import", kRiskExample}).status, 2);
    EXPECT_EQ(RunCli({"risk", file, "--clear"}).status, 0);
    EXPECT_EQ(RunCli({"risk", file}).err, "");
    EXPECT_EQ(Read("heavy.vlm").find("VRSK"), std::string::npos);
}

// Every project shipped in examples/ computes as it is, without a refusal or a gridlock, carries
// the definitions of its -risk.json beside it, and runs a risk analysis.
TEST(ExampleProjects, ComputeAndSimulateAsShipped) {
    std::vector<std::filesystem::path> projects;
    for (const auto& entry : std::filesystem::directory_iterator(VELMORA_EXAMPLES))
        if (entry.path().extension() == ".vlm") projects.push_back(entry.path());
    EXPECT_GE(projects.size(), 4u);
    for (const std::filesystem::path& project : projects) {
        SCOPED_TRACE(project.filename().string());
        const std::string file = project.string();
        const CliRun compute = RunCli({"compute", file});
        EXPECT_EQ(compute.status, 0);
        EXPECT_EQ(compute.err, ""); // where a gridlock would be reported

        const risk::ParsedDefinitions defs = risk::ParseRiskDefinitions(
            ReadFile(project.parent_path() / (project.stem().string() + "-risk.json")));
        ASSERT_EQ(defs.error, "");
        EXPECT_EQ(RunCli({"risk", file}).out, risk::RiskDefinitionsText(defs.definitions) + "\n");

        EXPECT_EQ(RunCli({"simulate", file, "--iterations", "200", "--threads", "2"}).status, 0);
    }
}
