#include "CoreTestSupport.h"

#include "report/Workbook.h"
#include "risk/RiskDefinitions.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <nlohmann/json.hpp>

using namespace velmora;
using namespace velmora::test;

namespace {

const std::string kExample = std::string(VELMORA_TEST_DATA) + "/risk-example.json";
constexpr const char* kExported = "Your life cycle cost analysis has been successfully exported.\n";

struct Cell {
    bool number = false;
    double value = 0.0;
    std::string text;
};
// Cells by reference ("B3").
using SheetCells = std::map<std::string, Cell>;

std::string Unzip(const std::string& file, const std::string& member) {
    std::string text;
    if (FILE* pipe = ::popen(("unzip -p '" + file + "' '" + member + "'").c_str(), "r")) {
        char buffer[65536];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            text.append(buffer, n);
        ::pclose(pipe);
    }
    return text;
}

std::string Between(const std::string& text, std::size_t& at, const std::string& open,
                    const std::string& close) {
    const std::size_t start = text.find(open, at);
    if (start == std::string::npos) return at = std::string::npos, "";
    const std::size_t end = text.find(close, start + open.size());
    at = end == std::string::npos ? end : end + close.size();
    return text.substr(start + open.size(), end - start - open.size());
}

std::string Unescape(std::string text) {
    for (const auto& [entity, character] :
         {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}})
        for (std::size_t k; (k = text.find(entity)) != std::string::npos;)
            text.replace(k, std::strlen(entity), character);
    return text;
}

// A small reader of what the workbook holds: the sheet names in order, and each sheet's cells,
// numbers as <v> values and texts as inline strings.
struct WorkbookFile {
    explicit WorkbookFile(const std::string& path) : path_(path) {
        const std::string book = Unzip(path, "xl/workbook.xml");
        for (std::size_t at = 0; at != std::string::npos;) {
            const std::string name = Between(book, at, "<sheet name=\"", "\"");
            if (at != std::string::npos) names.push_back(Unescape(name));
        }
    }

    SheetCells Sheet(const std::string& name) const {
        const auto k = std::ranges::find(names, name) - names.begin();
        const std::string xml =
            Unzip(path_, "xl/worksheets/sheet" + std::to_string(k + 1) + ".xml");
        SheetCells cells;
        for (std::size_t at = 0;;) {
            const std::size_t start = xml.find("<c r=\"", at);
            if (start == std::string::npos) break;
            const std::size_t tagEnd = xml.find('>', start);
            const std::string tag = xml.substr(start, tagEnd - start);
            const std::string ref = tag.substr(6, tag.find('"', 6) - 6);
            at = tagEnd;
            if (tag.ends_with("/")) continue;
            const std::string body = Between(xml, at, ">", "</c>");
            Cell& cell = cells[ref];
            if (tag.find("t=\"inlineStr\"") != std::string::npos) {
                cell.text = Unescape(
                    body.substr(body.find('>', 4) + 1, body.rfind("</t>") - body.find('>', 4) - 1));
            } else if (body.starts_with("<v>")) {
                cell.number = true;
                const std::string v = body.substr(3, body.find("</v>") - 3);
                std::from_chars(v.data(), v.data() + v.size(), cell.value);
            }
        }
        return cells;
    }

    std::vector<std::string> names;

private:
    std::string path_;
};

// The reference of the first cell holding `text`, and the cell `columns` to its right.
std::string RightOf(const SheetCells& cells, const std::string& text, int columns = 1) {
    for (const auto& [ref, cell] : cells) {
        if (cell.number || cell.text != text) continue;
        const std::size_t digits = ref.find_first_of("0123456789");
        std::string column = ref.substr(0, digits);
        column.back() = static_cast<char>(column.back() + columns);
        return column + ref.substr(digits);
    }
    return "(no " + text + ")";
}

// The NAME=VALUE lines of `velmora-cli show`.
std::map<std::string, std::string> Shown(const std::string& file) {
    std::map<std::string, std::string> fields;
    std::istringstream in(RunCli({"show", file}).out);
    for (std::string line; std::getline(in, line);)
        fields[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
    return fields;
}

double Parse(const std::string& text) {
    double value = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

using CliWorkbookTest = ScratchFolder;

} // namespace

// The figures a user takes from the workbook are those of `compute --json` and `show`, stored as
// numbers; user costs the switches leave out read "Excluded" as on the form.
TEST_F(CliWorkbookTest, ResultsAndInputsAreTheNumbersOfComputeAndShow) {
    for (const char* set : {"report-priced.set", "report-excluded.set"}) {
        SCOPED_TRACE(set);
        const ProjectData project = ProjectWith(Assignments(set));
        std::ostringstream err;
        ASSERT_TRUE(cli::SaveProject(Path("p.vlm"), project, err));
        const CliRun run = RunCli({"workbook", Path("p.vlm"), Path("p.xlsx")});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, kExported);
        const WorkbookFile book(Path("p.xlsx"));
        EXPECT_EQ(book.names, (std::vector<std::string>{"Inputs", "Results", "Cash Flow"}));

        const auto computed =
            nlohmann::json::parse(RunCli({"compute", Path("p.vlm"), "--json"}).out);
        const SheetCells results = book.Sheet("Results");
        const bool excluded = !UserCostsIncluded(project);
        for (int option = 0; option < 2; ++option) {
            const std::string name = PavementOption::kNames[option];
            const char agency = option == 0 ? 'B' : 'F';
            std::vector<std::pair<std::string, std::string>> cells;
            for (int k = 0; k < 5; ++k) {
                const std::string row = std::to_string(3 + k);
                const std::string index = k < 4 ? "[" + std::to_string(k) + "]" : "Subtotal";
                cells.push_back({name + "Agency" + index, agency + row});
                cells.push_back({name + "User" + index, char(agency + 1) + row});
            }
            cells.push_back({name + "MaintenanceCost", agency + std::string("8")});
            cells.push_back({name + "Total", agency + std::string("9")});
            for (const auto& [result, ref] : cells) {
                SCOPED_TRACE(result + " in " + ref);
                const Cell& cell = results.at(ref);
                if (excluded && result.find("User") != std::string::npos) {
                    EXPECT_EQ(cell.text, "Excluded");
                    continue;
                }
                ASSERT_TRUE(cell.number);
                EXPECT_EQ(cell.value, computed.at(result).get<double>());
            }
            // The equal yearly amount of the total, at the project's rate over its period.
            const double i = project.discountRate / 100.0;
            const double growth = std::pow(1.0 + i, project.analysisPeriod);
            EXPECT_NEAR(results.at(agency + std::string("10")).value,
                        computed.at(name + "Total").get<double>() * i * growth / (growth - 1.0),
                        1e-6);
        }

        const SheetCells inputs = book.Sheet("Inputs");
        const std::map<std::string, std::string> shown = Shown(Path("p.vlm"));
        const struct {
            const char* label;
            const char* field;
            const char* unit;
        } kInputs[] = {
            {"Project Length:", "projectLength", "miles"},
            {"Number of Lanes:", "laneCount", "(both directions)"},
            {"DiscountRate:", "discountRate", "%"},
            {"Current CPI:", "currentCpi", ""},
            {"HMA Wearing Course:", "hmaWearingPrice", "$/ton"},
            {"HMA Binder Course:", "hmaBinderPrice", "$/ton"},
            {"Concrete:", "concretePrice", "$/sy"},
            {"HMA Wearing Course, in.", "asphaltStage[0].wearingThickness", nullptr},
            {"Days to Complete", "asphaltStage[0].daysToComplete", nullptr},
        };
        for (const auto& input : kInputs) {
            SCOPED_TRACE(input.label);
            const Cell& value = inputs.at(RightOf(inputs, input.label));
            ASSERT_TRUE(value.number);
            EXPECT_EQ(value.value, Parse(shown.at(input.field)));
            if (input.unit && *input.unit) {
                EXPECT_EQ(inputs.at(RightOf(inputs, input.label, 2)).text, input.unit);
            }
        }
        EXPECT_EQ(inputs.at(RightOf(inputs, "Project:")).text, project.projectTitle);
    }
}

// --simulate adds the figures of `simulate --json` and the rows of `--samples`.
TEST_F(CliWorkbookTest, SimulateAddsTheRiskAnalysisAndItsSamples) {
    std::ostringstream err;
    ASSERT_TRUE(cli::SaveProject(Path("heavy.vlm"), HeavyPricedProject(), err));
    ASSERT_EQ(RunCli({"risk", Path("heavy.vlm"), "--import", kExample}).status, 0);
    const std::vector<std::string> settings{"--iterations", "300", "--seed", "11"};
    std::vector<std::string> args{"workbook", Path("heavy.vlm"), Path("r.xlsx"), "--simulate"};
    args.insert(args.end(), settings.begin(), settings.end());
    const CliRun run = RunCli(args);
    ASSERT_EQ(run.status, 0) << run.err;
    args = {"simulate", Path("heavy.vlm"), "--json", "--samples", Path("s.csv")};
    args.insert(args.end(), settings.begin(), settings.end());
    const auto simulated = nlohmann::json::parse(RunCli(args).out);

    const WorkbookFile book(Path("r.xlsx"));
    EXPECT_EQ(book.names,
              (std::vector<std::string>{"Inputs", "Results", "Cash Flow", "Risk", "Samples"}));
    const SheetCells risk = book.Sheet("Risk");
    for (const char* result : {"asphaltTotal", "concreteTotal", "totalDifference"}) {
        SCOPED_TRACE(result);
        const auto& statistics = simulated.at("statistics").at(result);
        // Mean, SD, then the 5 % and the 50 % percentiles after the minimum.
        const struct {
            int columns;
            double expected;
        } kFigures[] = {
            {2, statistics.at("mean").get<double>()},
            {3, statistics.at("sd").get<double>()},
            {5, statistics.at("percentiles").at("5").at("value").get<double>()},
            {8, statistics.at("percentiles").at("50").at("value").get<double>()},
            {14, static_cast<double>(statistics.at("count").get<std::int64_t>())},
        };
        for (const auto& figure : kFigures) {
            const Cell& cell = risk.at(RightOf(risk, result, figure.columns));
            ASSERT_TRUE(cell.number) << figure.columns;
            EXPECT_NEAR(cell.value, figure.expected, std::fabs(figure.expected) * 1e-14);
        }
    }
    const auto& gridlock = simulated.at("asphaltGridlockProbability");
    EXPECT_NEAR(risk.at(RightOf(risk, "Asphalt gridlock")).value,
                gridlock.at("value").get<double>() * gridlock.at("count").get<double>(), 1e-6);

    // The samples sheet holds the CSV's rows cell for cell.
    const SheetCells samples = book.Sheet("Samples");
    std::istringstream csv(Read("s.csv"));
    int rows = 0;
    for (std::string line; std::getline(csv, line); ++rows) {
        std::istringstream fields(line);
        char column = 'A';
        for (std::string field; std::getline(fields, field, ','); ++column) {
            if (column > 'Z' || field.empty()) continue;
            const Cell& cell = samples.at(column + std::to_string(rows + 1));
            if (rows == 0)
                EXPECT_EQ(cell.text, field);
            else
                EXPECT_NEAR(cell.value, Parse(field), std::fabs(Parse(field)) * 1e-15);
        }
    }
    EXPECT_EQ(rows, 301);
    EXPECT_EQ(samples.count("A302"), 0u);
}

// Samples past the sheet's last row are left out, and a note row says how many.
TEST(WorkbookTest, SamplesStopAtTheSheetsRowLimitAndSaySo) {
    ProjectData project = HeavyPricedProject();
    risk::RiskDefinitions d = risk::ParseRiskDefinitions(DataFile("risk-example.json")).definitions;
    d.iterations = 40;
    const risk::RiskAnalysis analysis = risk::RunRiskAnalysis(project, d);
    AnalysisResult run = RunAnalysisOnCopy(project);
    WorkbookContent content;
    content.project = &project;
    content.run = &run;
    content.risk = &analysis;
    content.sampleRowLimit = 30;
    const Workbook workbook = BuildWorkbook(content);
    ASSERT_TRUE(workbook.ok()) << workbook.error;
    const std::string path = std::filesystem::temp_directory_path() /
                             ("velmora-cut-" + std::to_string(::getpid()) + ".xlsx");
    ASSERT_TRUE(cli::WriteFileAtomically(path, workbook.bytes).ok());
    const SheetCells samples = WorkbookFile(path).Sheet("Samples");
    std::filesystem::remove(path);
    EXPECT_EQ(samples.at("A29").value, 28.0);
    EXPECT_EQ(samples.at("A30").text,
              "Only the first 28 of 40 iterations fit on this sheet; velmora-cli simulate "
              "--samples writes them all.");
    EXPECT_EQ(samples.count("A31"), 0u);
}

// The workbook says what it is in its document properties; a control character in the project
// title, which cells escape, must not leave a file that no spreadsheet opens.
TEST(WorkbookTest, DocumentPropertiesNameTheAnalysisAndTheProject) {
    ProjectData project;
    project.projectTitle = "Route 9\x01north & south";
    WorkbookContent content;
    content.project = &project;
    const Refusal refusal{"text", "caption"};
    content.refusal = &refusal;
    const Workbook workbook = BuildWorkbook(content);
    ASSERT_TRUE(workbook.ok()) << workbook.error;
    const std::string path = std::filesystem::temp_directory_path() /
                             ("velmora-properties-" + std::to_string(::getpid()) + ".xlsx");
    ASSERT_TRUE(cli::WriteFileAtomically(path, workbook.bytes).ok());
    const std::string properties = Unzip(path, "docProps/core.xml");
    std::filesystem::remove(path);
    EXPECT_NE(properties.find("<dc:title>Velmora life-cycle cost analysis</dc:title>"),
              std::string::npos);
    EXPECT_NE(properties.find("<dc:subject>Route 9 north &amp; south</dc:subject>"),
              std::string::npos)
        << properties;
}

// A refused project still gets its inputs and the refusal, and exits as `report` does; a
// workbook is never written over the project file or where it cannot go.
TEST_F(CliWorkbookTest, RefusalsAndFilesItMayNotWrite) {
    const RefusalCase refusal = RefusalCases().front();
    const CliRun refused =
        RunCli(WithSets({"workbook", Path("default.vlm"), Path("r.xlsx")}, refusal.assignments));
    EXPECT_EQ(refused.status, 3);
    EXPECT_EQ(refused.err, refusal.caption + "\n" + refusal.text + "\n");
    const WorkbookFile book(Path("r.xlsx"));
    EXPECT_EQ(book.names, (std::vector<std::string>{"Inputs", "Results"}));
    const SheetCells results = book.Sheet("Results");
    EXPECT_EQ(results.at("A1").text, refusal.caption);
    EXPECT_EQ(results.at("A2").text, refusal.text);
    EXPECT_TRUE(book.Sheet("Inputs").at(RightOf(book.Sheet("Inputs"), "Project Length:")).number);

    const std::string project = Read("default.vlm");
    const struct {
        std::string out;
        int status;
        std::string err;
    } kCases[] = {
        {Path("default.vlm"), 2,
         "velmora-cli: " + Path("default.vlm") + " is the project file " + Path("default.vlm") +
             "; the workbook would replace it\n"},
        {Path("missing/w.xlsx"), 1,
         "velmora-cli: cannot write " + Path("missing/w.xlsx") + ": " + std::strerror(ENOENT) +
             "\n"},
    };
    for (const auto& c : kCases) {
        const CliRun run = RunCli({"workbook", Path("default.vlm"), c.out});
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(Read("default.vlm"), project);
}
