#include "CoreTestSupport.h"

#include "report/DecisionSummary.h"
#include "report/Workbook.h"
#include "risk/RiskAnalysis.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <map>
#include <nlohmann/json.hpp>
#include <regex>
#include <variant>

using namespace velmora;
using namespace velmora::test;
using nlohmann::json;

namespace {

double Parse(const std::string& text) {
    double value = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

using Value = std::variant<double, std::string>;
// What a workbook holds: its sheet names in order, and every cell by "Sheet!B3", numbers as
// numbers and texts as inline strings.
struct Book {
    std::string sheets;
    std::map<std::string, Value> cells;
};
Book ReadBook(const std::string& path) {
    const std::string names = Unzip(path, "xl/workbook.xml");
    const std::regex sheet("<sheet name=\"([^\"]*)\""),
        cell("<c r=\"([A-Z]+[0-9]+)\"[^>/]*>(?:<v>([^<]*)</v>|<is><t[^>]*>([^<]*)</t>)");
    Book book;
    int k = 0;
    for (std::sregex_iterator s(names.begin(), names.end(), sheet), end; s != end; ++s) {
        book.sheets += (*s)[1].str() + "|";
        const std::string xml = Unzip(path, "xl/worksheets/sheet" + std::to_string(++k) + ".xml");
        for (std::sregex_iterator c(xml.begin(), xml.end(), cell); c != end; ++c)
            book.cells[(*s)[1].str() + "!" + (*c)[1].str()] =
                (*c)[2].matched ? Value(Parse((*c)[2])) : Value((*c)[3].str());
    }
    return book;
}

// The cell in `column` beside the first cell (in reference order) of column `at` ("Inputs!B")
// reading `label`.
std::string Beside(const Book& book, const std::string& at, const std::string& label, char column) {
    for (const auto& [ref, value] : book.cells)
        if (ref.starts_with(at) && std::isdigit(ref[at.size()]) && value == Value(label))
            return at.substr(0, at.size() - 1) + column + ref.substr(at.size());
    return "(no " + label + ")";
}
std::string InputsBeside(const Book& book, const std::string& label, char column) {
    return Beside(book, "Inputs!B", label, column);
}

// The row of the swing table that names `input`: the one with its value at P10 beside it.
std::string SwingRow(const Book& book, const std::string& input) {
    for (const auto& [ref, value] : book.cells)
        if (ref.starts_with("Risk!A") && value == Value(input) &&
            book.cells.contains("Risk!E" + ref.substr(6)))
            return ref.substr(6);
    ADD_FAILURE() << "no swing of " << input;
    return "0";
}

using CliWorkbookTest = ScratchFolder;

} // namespace

// The figures a user takes from the workbook are those of `compute --json` and of the project,
// stored as numbers; user costs the switches leave out read "Excluded" as on the form.
TEST_F(CliWorkbookTest, ResultsAndInputsAreTheNumbersOfComputeAndShow) {
    for (const char* set : {"report-priced.set", "report-excluded.set"}) {
        SCOPED_TRACE(set);
        const ProjectData project = ProjectWith(DataLines(set));
        const CliRun run = RunCli({"workbook", Save("p.vlm", project), Path("p.xlsx")});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, kExported);
        const Book book = ReadBook(Path("p.xlsx"));
        EXPECT_EQ(book.sheets, "Summary|Inputs|Results|Cash Flow|");
        for (const auto& [label, column, expected] : {
                 std::tuple<const char*, char, Value>{"Project:", 'C', project.projectTitle},
                 {"Project Length:", 'C', project.projectLength},
                 {"Project Length:", 'D', "miles"},
                 {"HMA Wearing Course, in.", 'D', project.asphaltStage[1].wearingThickness},
             })
            EXPECT_EQ(book.cells.at(InputsBeside(book, label, column)), expected) << label;

        const json computed = json::parse(RunCli({"compute", Path("p.vlm"), "--json"}).out);
        const bool excluded = !UserCostsIncluded(project);
        const double i = project.discountRate / 100.0;
        const double growth = std::pow(1.0 + i, project.analysisPeriod);
        for (const std::string name : {"asphalt", "concrete"}) {
            const char agency = name == "asphalt" ? 'B' : 'F';
            const auto expect = [&](char column, int row, const std::string& key) {
                const std::string ref = "Results!" + std::string(1, column) + std::to_string(row);
                const bool user = excluded && key.starts_with("User");
                EXPECT_EQ(book.cells.at(ref),
                          user ? Value("Excluded") : Value(computed.at(name + key).get<double>()))
                    << ref;
            };
            for (int k = 0; k < 5; ++k) {
                const std::string index = k < 4 ? "[" + std::to_string(k) + "]" : "Subtotal";
                expect(agency, 3 + k, "Agency" + index);
                expect(agency + 1, 3 + k, "User" + index);
            }
            expect(agency, 8, "MaintenanceCost");
            expect(agency, 9, "Total");
            // The equal yearly amount of the total, at the project's rate over its period.
            const double total = computed.at(name + "Total").get<double>();
            EXPECT_NEAR(std::get<double>(book.cells.at("Results!" + std::string(1, agency) + "10")),
                        total * i * growth / (growth - 1.0), 1e-6);
        }
    }
}

// The workbook opens on the decision: its sentence and the costs side by side as numbers, at
// the moment of the export as the Inputs sheet gives it.
TEST_F(CliWorkbookTest, TheSummaryOpensTheWorkbookWithTheDecision) {
    const std::string route9 = std::string(VELMORA_EXAMPLES) + "/route-9.vlm";
    ASSERT_EQ(RunCli({"workbook", route9, Path("r.xlsx")}).status, 0);
    const Book book = ReadBook(Path("r.xlsx"));
    EXPECT_EQ(book.sheets, "Summary|Inputs|Results|Cash Flow|");
    EXPECT_EQ(book.cells.at("Summary!A5"),
              Value("Concrete is the cheaper option by $61,672 per mile (2.7 % of the asphalt "
                    "total) in net present value over 40 years at 4.00 %"));
    for (const auto& [column, expected] :
         {std::pair{'B', 2289636.0}, {'C', 2227964.0}, {'D', 61672.0}})
        EXPECT_EQ(book.cells.at(Beside(book, "Summary!A", "Total (net present value)", column)),
                  Value(expected))
            << column;
    EXPECT_EQ(book.cells.at(Beside(book, "Summary!A", "Date and Time:", 'B')),
              book.cells.at(InputsBeside(book, "Date and Time:", 'C')));
}

// --simulate adds the figures of `simulate --json` and the rows of `--samples`, how sure the
// decision is to the Summary, and three charts to the Risk sheet that draw numbers held in its
// cells, the histogram every iteration that has a difference.
TEST_F(CliWorkbookTest, SimulateAddsTheRiskAnalysisAndItsSamples) {
    const std::string heavy = HeavyWithDefinitions();
    const auto run = [](std::vector<std::string> args) {
        args.insert(args.end(), {"--iterations", "300", "--seed", "11"});
        return RunCli(args);
    };
    ASSERT_EQ(run({"workbook", heavy, Path("r.xlsx"), "--simulate"}).status, 0);
    const json simulated =
        json::parse(run({"simulate", heavy, "--json", "--samples", Path("s.csv")}).out);
    const Book book = ReadBook(Path("r.xlsx"));
    EXPECT_EQ(book.sheets, "Summary|Inputs|Results|Cash Flow|Risk|Samples|");
    const auto expect = [&](const std::string& ref, double expected) {
        EXPECT_NEAR(std::get<double>(book.cells.at(ref)), expected, std::fabs(expected) * 1e-14)
            << ref;
    };
    // A row for each result, the difference last; the mean, SD, 5 % and 50 % percentiles and the
    // count by column.
    for (const char* result : {"asphaltTotal", "concreteTotal", "totalDifference"}) {
        const std::string row = std::to_string(6 + risk::ResultIndex(result));
        const json& s = simulated.at("statistics").at(result);
        expect("Risk!C" + row, s.at("mean").get<double>());
        expect("Risk!D" + row, s.at("sd").get<double>());
        expect("Risk!F" + row, s.at("percentiles").at("5").at("value").get<double>());
        expect("Risk!I" + row, s.at("percentiles").at("50").at("value").get<double>());
        expect("Risk!O" + row, s.at("count").get<double>());
    }
    const json& cheaper = simulated.at("asphaltCheaperProbability");
    risk::Proportion proportion{0, cheaper.at("count"), cheaper.at("value"), cheaper.at("lower"),
                                cheaper.at("upper")};
    EXPECT_TRUE(std::get<std::string>(book.cells.at("Summary!A14"))
                    .starts_with(CheaperOptionSentence(proportion) + " of a risk analysis"));
    const json& difference = simulated.at("statistics").at("totalDifference");
    expect(Beside(book, "Summary!A", kDifferenceHeading, 'C'),
           difference.at("percentiles").at("50").at("value").get<double>());
    const std::regex range(
        "<c:(?:val|xVal|yVal)><c:numRef><c:f>Risk!\\$([A-Z])\\$([0-9]+):\\$[A-Z]\\$([0-9]+)<");
    // A swing whose run gridlocked leaves a gap in its range, never a text.
    int riskCharts = 0;
    double histogram = 0.0;
    for (int k = 1; k <= 6; ++k) {
        const std::string xml =
            Unzip(Path("r.xlsx"), "xl/charts/chart" + std::to_string(k) + ".xml");
        EXPECT_EQ(xml.empty(), k == 6) << k;
        const bool columns = xml.find("<c:barDir val=\"col\"/>") != std::string::npos;
        int ranges = 0;
        for (std::sregex_iterator m(xml.begin(), xml.end(), range), end; m != end; ++m, ++ranges) {
            int numbers = 0;
            for (int row = std::stoi((*m)[2]); row <= std::stoi((*m)[3]); ++row) {
                const auto cell = book.cells.find("Risk!" + (*m)[1].str() + std::to_string(row));
                if (cell == book.cells.end()) continue;
                ASSERT_TRUE(std::holds_alternative<double>(cell->second)) << (*m)[0];
                ++numbers;
                if (columns) histogram += std::get<double>(cell->second);
            }
            EXPECT_GT(numbers, 0) << (*m)[0];
        }
        riskCharts += ranges > 0;
    }
    EXPECT_EQ(riskCharts, 3);
    EXPECT_EQ(histogram, difference.at("count").get<double>());
    const json& gridlock = simulated.at("asphaltGridlockProbability");
    expect("Risk!B34", gridlock.at("value").get<double>() * gridlock.at("count").get<double>());
    // The samples sheet holds the CSV's rows cell for cell.
    std::istringstream csv(ReadFile(Path("s.csv")));
    int rows = 0;
    for (std::string line; std::getline(csv, line); ++rows) {
        std::istringstream fields(line);
        char column = 'A';
        for (std::string field; std::getline(fields, field, ',') && column <= 'Z'; ++column) {
            const std::string ref = "Samples!" + std::string(1, column) + std::to_string(rows + 1);
            if (rows == 0)
                EXPECT_EQ(book.cells.at(ref), Value(field));
            else if (!field.empty())
                expect(ref, Parse(field));
        }
    }
    EXPECT_EQ(rows, 301);
    EXPECT_EQ(book.cells.count("Samples!A302"), 0u);
}

// Samples past the sheet's last row are left out and a note row says how many, the heading and
// the note within the limit. The swing table holds each input's P10 and P90 values, as precise
// as the input (whole but for the relative concrete price's hundredths), and the differences
// there, low then high. The desktop program names inputs as its forms label them, in the swing
// table and the Samples headings, and keeps the field's name where a label is empty; the Risk
// sheet lists the distributions assumed, with their parameters as written. A control character
// in the project's title must not leave a file that no spreadsheet opens.
TEST_F(CliWorkbookTest, SampleRowLimitSwingsLabelsAndDistributions) {
    ProjectData project = HeavyPricedProject();
    risk::RiskDefinitions d = risk::ParseRiskDefinitions(DataFile("risk-example.json")).definitions;
    d.iterations = 40;
    const risk::RiskAnalysis analysis = risk::RunRiskAnalysis(project, d);
    const AnalysisResult run = RunAnalysisOnCopy(project);
    project.projectTitle = "Route 9\x01north & south";
    const std::map<std::string, std::string> labels{
        {"hmaWearingPrice", "HMA Wearing Course ($/ton)"},
        {"concretePrice", "Concrete Pavement ($/cu. yd.)"},
        {"aadt", "AADT (vehicles/day)"}};
    const auto name = [&](const std::string& field) {
        return labels.contains(field) ? labels.at(field) : field;
    };
    // The heading, the samples that fit, and the note in the last row when some do not.
    for (const auto& [limit, samples] : {std::pair{30, 28}, {40, 38}, {41, 40}}) {
        SCOPED_TRACE(limit);
        WorkbookContent content{&project, &run, nullptr, &analysis, 0, limit, nullptr};
        content.inputLabel = [&](const std::string& field) {
            return labels.contains(field) ? labels.at(field) : std::string();
        };
        ASSERT_TRUE(cli::WriteFileAtomically(Path("w.xlsx"), BuildWorkbook(content).bytes).ok());
        const Book book = ReadBook(Path("w.xlsx"));
        const auto rows = std::ranges::count_if(book.cells, [](const auto& cell) {
            return cell.first.starts_with("Samples!A") && std::isdigit(cell.first[9]);
        });
        const bool cut = samples < 40;
        EXPECT_EQ(rows, 1 + samples + cut);
        EXPECT_EQ(book.cells.at("Samples!A" + std::to_string(1 + samples)), Value(samples * 1.0));
        EXPECT_EQ(book.cells.at("Samples!A" + std::to_string(rows)),
                  cut ? Value("Only the first " + std::to_string(samples) +
                              " of 40 iterations fit on this sheet; velmora-cli simulate "
                              "--samples writes them all.")
                      : Value(samples * 1.0));
    }
    const Book book = ReadBook(Path("w.xlsx"));
    for (std::size_t k = 0; k < analysis.fields.size(); ++k)
        EXPECT_EQ(book.cells.at("Samples!" + std::string(1, char('B' + k)) + "1"),
                  Value(name(analysis.fields[k])));
    ASSERT_FALSE(analysis.swings.empty());
    for (const risk::Swing& swing : analysis.swings) {
        const std::string row = SwingRow(book, name(swing.field));
        const double scale = swing.field == "concretePrice" ? 100.0 : 1.0;
        for (const auto& [column, expected, tolerance] :
             {std::tuple{'E', std::round(swing.low * scale) / scale, 0.0},
              {'F', std::round(swing.high * scale) / scale, 0.0},
              {'G', swing.differenceAtLow, std::fabs(swing.differenceAtLow) * 1e-14},
              {'H', swing.differenceAtHigh, std::fabs(swing.differenceAtHigh) * 1e-14}}) {
            const std::string ref = "Risk!" + std::string(1, column) + row;
            if (std::isnan(expected))
                EXPECT_EQ(book.cells.count(ref), 0u) << ref;
            else
                EXPECT_NEAR(std::get<double>(book.cells.at(ref)), expected, tolerance) << ref;
        }
    }
    const auto title = std::ranges::find(book.cells, Value("Distributions assumed"),
                                         &std::pair<const std::string, Value>::second);
    ASSERT_NE(title, book.cells.end());
    ASSERT_TRUE(title->first.starts_with("Risk!A"));
    int row = std::stoi(title->first.substr(6));
    for (const std::string& line : DataLines("workbook-distributions.txt")) {
        char column = 'A';
        ++row;
        for (const std::string& text : Split(line, " | ")) {
            const std::string ref = "Risk!" + std::string(1, column++) + std::to_string(row);
            EXPECT_EQ(book.cells.contains(ref) ? book.cells.at(ref) : Value("(empty)"),
                      std::isdigit(text[0]) ? Value(Parse(text)) : Value(text))
                << ref;
        }
    }
    EXPECT_NE(Unzip(Path("w.xlsx"), "docProps/core.xml")
                  .find("<dc:subject>Route 9 north &amp; south</dc:subject>"),
              std::string::npos);
}

// A text longer than a cell holds, counted in characters as spreadsheets count them, is never
// left out silently: the workbook is refused, naming the field, and an old one stays as it was.
TEST_F(CliWorkbookTest, ATextTooLongForACellIsRefusedByName) {
    const auto repeat = [](const std::string& text, int times) {
        std::string out;
        for (int k = 0; k < times; ++k) out += text;
        return out;
    };
    ASSERT_TRUE(cli::WriteFileAtomically(Path("w.xlsx"), "previous").ok());
    for (const auto& [field, text] :
         {std::pair<std::string, std::string>{"projectTitle", repeat("\u00e9", 40000)},
          {"concreteMaintenance[1].description", repeat("a", 32768)}}) {
        const CliRun run =
            RunCli({"workbook", Path("default.vlm"), Path("w.xlsx"), "--set", field + "=" + text});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out + run.err,
                  "velmora-cli: cannot write " + Path("w.xlsx") + ": " + field +
                      " needs a cell of " +
                      std::to_string(text == repeat("a", 32768) ? 32768 : 40000) +
                      " characters; a workbook cell holds at most 32767\n");
        EXPECT_EQ(Read("w.xlsx"), "previous");
    }
    const std::string longest = repeat("\u00e9", 32767);
    const CliRun fits = RunCli(
        {"workbook", Path("default.vlm"), Path("w.xlsx"), "--set", "projectTitle=" + longest});
    ASSERT_EQ(fits.status, 0) << fits.err;
    // Too long a cell for ReadBook's pattern: the Inputs sheet holds the text whole.
    EXPECT_NE(Unzip(Path("w.xlsx"), "xl/worksheets/sheet2.xml").find(">" + longest + "</t>"),
              std::string::npos);
}

// A refused project still gets its inputs and the refusal, the Summary too, and exits as
// `report` does.
TEST_F(CliWorkbookTest, ARefusedProjectGetsItsInputsAndTheRefusal) {
    const RefusalCase refusal = RefusalCases().front();
    const CliRun refused =
        RunCli(WithSets({"workbook", Path("default.vlm"), Path("r.xlsx")}, refusal.assignments));
    EXPECT_EQ(refused.status, 3);
    EXPECT_EQ(refused.err, refusal.caption + "\n" + refusal.text + "\n");
    const Book book = ReadBook(Path("r.xlsx"));
    EXPECT_EQ(book.sheets, "Summary|Inputs|Results|");
    // The Summary says why, and claims nothing more.
    EXPECT_EQ(book.cells.at("Summary!A5"),
              Value("The costs cannot be computed: " + refusal.caption));
    EXPECT_EQ(book.cells.at("Summary!A6"), Value(refusal.text));
    EXPECT_EQ(std::ranges::count_if(
                  book.cells, [](const auto& cell) { return cell.first.starts_with("Summary!"); }),
              6);
    EXPECT_EQ(book.cells.at("Results!A1"), Value(refusal.caption));
    EXPECT_EQ(book.cells.at("Results!A2"), Value(refusal.text));
    EXPECT_TRUE(
        std::holds_alternative<double>(book.cells.at(InputsBeside(book, "Project Length:", 'C'))));
}

// Planner settings add the Work Zone sheet last: each stage's 553 windows, one that keeps every
// limit first, the project's window marked and priced as Compute Costs prices it, and its day
// beside them, closed in the window's hours in both directions.
TEST_F(CliWorkbookTest, PlannerSettingsAddTheWorkZoneSheetLast) {
    ProjectData project = HeavyPricedProject();
    project.workZonePlanner = R"({"format": "velmora-workzone", "version": 1, "maxQueueMiles": 1})";
    ASSERT_EQ(RunCli({"workbook", Save("p.vlm", project), Path("p.xlsx")}).status, 0);
    const json computed = json::parse(RunCli({"compute", Path("p.vlm"), "--json"}).out);
    const Book book = ReadBook(Path("p.xlsx"));
    EXPECT_EQ(book.sheets, "Summary|Inputs|Results|Cash Flow|Work Zone|");
    const auto cell = [&](const std::string& column, int row) {
        const auto at = book.cells.find("Work Zone!" + column + std::to_string(row));
        return at == book.cells.end() ? Value("") : at->second;
    };
    const auto stageOf = [&](const std::string& column, int row) {
        const char n = std::get<std::string>(cell(std::string(1, column[0] + 1), row))[0];
        return (cell(column, row) == Value("Asphalt") ? "asphaltUser[" : "concreteUser[") +
               std::string(1, std::isdigit(n) ? n : '0') + "]";
    };
    std::map<std::string, std::array<double, 3>> stages; // windows, hours, closed hours
    for (int row = 6; cell("A", row) != Value(""); ++row) {
        auto& [windows, hours, closed] = stages[stageOf("A", row)];
        EXPECT_TRUE(windows++ > 0 || cell("Q", row) == Value("Yes")) << row;
        if (cell("S", row) != Value("Project's window")) continue;
        hours = std::get<double>(cell("H", row));
        EXPECT_EQ(cell("K", row), Value(computed.at(stageOf("A", row)).get<double>())) << row;
    }
    for (int row = 6; cell("U", row) != Value(""); ++row)
        stages[stageOf("U", row)][2] += cell("AF", row) == Value("Yes");
    EXPECT_EQ(stages.size(), 8u);
    for (const auto& [name, s] : stages)
        EXPECT_EQ(s, (std::array<double, 3>{553, s[1], 2 * s[1]})) << name;
}
