#pragma once

// What several core tests share: velmora-cli run in-process, the checked-in data, and a scratch
// folder of its own for each test.

#include "Cli.h"
#include "FileIo.h"
#include "FileIoNames.h"
#include "risk/RiskAnalysis.h"
#include "risk/Statistics.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>
#include <zlib.h>

namespace velmora::test {

// Spearman's rank correlation of two columns, through the summary's own ranking.
inline double Spearman(const std::vector<double>& x, const std::vector<double>& y) {
    risk::RankingScratch scratch;
    const risk::RankedFigure figure = risk::RankFigure(y, {}, scratch);
    double rho = 0.0;
    risk::SpearmanCorrelations(x, &figure, 1, &rho, scratch);
    return rho;
}

// Risk definitions of `inputs` and `correlations` (JSON list entries), with `settings` (JSON
// members, each followed by a comma).
inline risk::RiskDefinitions Definitions(const std::string& inputs,
                                         const std::string& settings = "",
                                         const std::string& correlations = "") {
    const risk::ParsedDefinitions parsed = risk::ParseRiskDefinitions(
        R"({"format": "velmora-risk", "version": 1, )" + settings + R"( "inputs": [)" + inputs +
        R"(], "correlations": [)" + correlations + "]}");
    EXPECT_TRUE(parsed.ok()) << parsed.error;
    return parsed.definitions;
}

inline risk::RiskAnalysis Simulate(const ProjectData& project, const risk::RiskDefinitions& d,
                                   risk::SimulationOptions options = {2, nullptr}) {
    risk::RiskAnalysis a = risk::RunRiskAnalysis(project, d, options);
    EXPECT_EQ(a.error, "");
    return a;
}

// A Compute Costs run that the hand-off must let through.
inline AnalysisResult Analyse(ProjectData p) {
    const HandOff handOff = PrepareAnalysis(p);
    EXPECT_TRUE(handOff.ok()) << handOff.refusal.caption << ": " << handOff.refusal.text;
    return RunAnalysis(p);
}

struct CliRun {
    int status;
    std::string out, err;
};

inline CliRun RunCli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = cli::Run(args, out, err);
    return {status, out.str(), err.str()};
}

inline std::string ReadFile(const std::filesystem::path& path) {
    return cli::ReadFileBytes(path.string()).bytes;
}

// A member of a zip file (a workbook's sheet, say), as unzip -p gives it; empty when missing.
// The central directory gives each member's sizes, which the local header may leave out.
inline std::string Unzip(const std::string& file, const std::string& member) {
    const std::string zip = ReadFile(file);
    const auto number = [&](std::size_t at, int bytes) {
        std::uint64_t value = 0;
        for (int k = bytes - 1; k >= 0 && at + k < zip.size(); --k)
            value = value << 8 | static_cast<unsigned char>(zip[at + k]);
        return static_cast<std::size_t>(value);
    };
    const std::size_t end = zip.rfind("PK\x05\x06");
    if (end == std::string::npos) return {};
    for (std::size_t at = number(end + 16, 4), k = 0; k < number(end + 10, 2); ++k) {
        const std::size_t nameLength = number(at + 28, 2);
        if (zip.compare(at + 46, nameLength, member) == 0 && nameLength == member.size()) {
            const std::size_t local = number(at + 42, 4);
            const std::size_t data = local + 30 + number(local + 26, 2) + number(local + 28, 2);
            std::string text(number(at + 24, 4), '\0');
            if (number(at + 10, 2) == 0) return zip.substr(data, text.size());
            z_stream stream{};
            if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return {};
            stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zip.data() + data));
            stream.avail_in = static_cast<uInt>(std::min(number(at + 20, 4), zip.size() - data));
            stream.next_out = reinterpret_cast<Bytef*>(text.data());
            stream.avail_out = static_cast<uInt>(text.size());
            const int status = inflate(&stream, Z_FINISH);
            inflateEnd(&stream);
            return status == Z_STREAM_END ? text : std::string();
        }
        at += 46 + nameLength + number(at + 30, 2) + number(at + 32, 2);
    }
    return {};
}

// A file of tests/data; one that is missing or empty would leave a table's cases untried.
inline std::string DataFile(const std::string& name) {
    std::string bytes = ReadFile(std::filesystem::path(VELMORA_TEST_DATA) / name);
    EXPECT_FALSE(bytes.empty()) << name;
    return bytes;
}

inline const std::string kRiskExample = std::string(VELMORA_TEST_DATA) + "/risk-example.json";
inline constexpr const char* kExported =
    "Your life cycle cost analysis has been successfully exported.\n";

// The lines of a tests/data file, such as the NAME=VALUE lines of a *.set file in the notation
// of `velmora-cli show`; lines that start with # say what the file is for.
inline std::vector<std::string> DataLines(const std::string& name) {
    std::vector<std::string> lines;
    std::istringstream in(DataFile(name));
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#') lines.push_back(line);
    return lines;
}

inline ProjectData ProjectWith(const std::vector<std::string>& assignments) {
    ProjectData project;
    std::ostringstream err;
    for (const std::string& assignment : assignments)
        EXPECT_TRUE(cli::ApplySet(project, assignment, err)) << err.str();
    return project;
}

inline ProjectData HeavyPricedProject() {
    return ProjectWith(DataLines("heavy-priced.set"));
}

inline std::vector<std::string> WithSets(std::vector<std::string> args,
                                         const std::vector<std::string>& assignments) {
    for (const std::string& assignment : assignments)
        args.insert(args.end(), {"--set", assignment});
    return args;
}

// The cases of a tests/data/*.txt table, one a line: what comes before the first " | ", and what
// comes after it; lines that start with # say what the table is for.
inline std::vector<std::pair<std::string, std::string>> DataCases(const std::string& name) {
    std::vector<std::pair<std::string, std::string>> cases;
    std::istringstream in(DataFile(name));
    for (std::string line; std::getline(in, line);) {
        const std::size_t bar = line.find(" | ");
        if (!line.empty() && line[0] != '#' && bar != std::string::npos)
            cases.emplace_back(line.substr(0, bar), line.substr(bar + 3));
    }
    return cases;
}

// `text` cut at every `separator`, empty parts included.
inline std::vector<std::string> Split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    for (std::size_t at = 0;;) {
        const std::size_t end = text.find(separator, at);
        parts.push_back(text.substr(at, end - at));
        if (end == std::string::npos) return parts;
        at = end + separator.size();
    }
}

inline std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), {}};
}

// The cases of tests/data/refusals.txt: "ASSIGNMENTS | CAPTION | TEXT".
struct RefusalCase {
    std::vector<std::string> assignments;
    std::string caption, text;
};
inline std::vector<RefusalCase> RefusalCases() {
    std::vector<RefusalCase> cases;
    for (const std::string& line : DataLines("refusals.txt")) {
        const std::vector<std::string> cells = Split(line, " | ");
        cases.push_back({Words(cells.at(0)), cells.at(1), cells.at(2)});
    }
    return cases;
}

// A report without its date and time line, which follows the clock and the time zone.
inline std::string WithoutDateLine(const std::string& bytes) {
    const std::size_t start = bytes.find("\r\nDate and Time:\t");
    if (start == std::string::npos) return bytes;
    return bytes.substr(0, start) + bytes.substr(bytes.find("\r\n", start + 2));
}

// A fresh folder for each test, holding a copy of tests/data/default.vlm. The process id keeps
// the run under the comma locale apart from the other run of the same test.
class ScratchFolder : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::filesystem::temp_directory_path() /
               ("velmora-" + std::string(test->test_suite_name()) + "-" + test->name() + "-" +
                std::to_string(cli::CurrentProcessId()));
        RemoveFolder();
        std::filesystem::create_directories(dir_);
        std::filesystem::copy_file(std::filesystem::path(VELMORA_TEST_DATA) / "default.vlm",
                                   dir_ / "default.vlm");
    }
    void TearDown() override { RemoveFolder(); }
    // Windows removes no read-only file, and a test may have made one.
    void RemoveFolder() const {
        std::error_code ignored;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(dir_, ignored))
            if (!entry.is_symlink())
                std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_write,
                                             std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(dir_);
    }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    std::string Read(const std::string& name) const { return ReadFile(dir_ / name); }
    // `project` saved in the folder as `name`; its path.
    std::string Save(const std::string& name, const ProjectData& project) const {
        std::ostringstream err;
        EXPECT_TRUE(cli::SaveProject(Path(name), project, err)) << err.str();
        return Path(name);
    }
    // The heavily queued project with prices on both options and the example definitions.
    std::string HeavyWithDefinitions() const {
        const std::string file = Save("heavy.vlm", HeavyPricedProject());
        EXPECT_EQ(RunCli({"risk", file, "--import", kRiskExample}).status, 0);
        return file;
    }
    long FileCount() const {
        return std::distance(std::filesystem::directory_iterator(dir_),
                             std::filesystem::directory_iterator());
    }
    std::filesystem::path dir_;
};

} // namespace velmora::test
