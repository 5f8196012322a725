#include "CoreTestSupport.h"
#include "engine/Analysis.h"
#include "model/ProjectFile.h"
#include "model/SavedFields.h"
#include "risk/RiskDefinitionsCheck.h"
#include "risk/UncertainFields.h"

#include <gtest/gtest.h>
#include <map>

using namespace velmora;
using namespace velmora::risk;

TEST(RiskDefinitions, TheExampleSurvivesAProjectFileAndReadsBackAsWritten) {
    const ParsedDefinitions parsed = ParseRiskDefinitions(test::DataFile("risk-example.json"));
    ASSERT_TRUE(parsed.ok()) << parsed.error;
    ProjectData project;
    project.concretePrice = 30;
    EXPECT_EQ(CheckRiskDefinitions(parsed.definitions, project).error, "");

    // Absent optional keys stay absent; present ones travel.
    RiskDefinitions d = parsed.definitions;
    EXPECT_FALSE(d.precision || d.maxIterations);
    d.precision = 250.5;
    d.maxIterations = 50000;
    d.seed = 18446744073709551615u;
    d.sampling = Sampling::MonteCarlo;
    project.riskDefinitions = RiskDefinitionsText(d);
    ProjectData reopened;
    ASSERT_TRUE(DecodeProject(EncodeProject(project).bytes, reopened).ok());
    const ParsedDefinitions again = ParseRiskDefinitions(reopened.riskDefinitions);
    ASSERT_TRUE(again.ok()) << again.error;
    EXPECT_EQ(RiskDefinitionsText(again.definitions), project.riskDefinitions);
    const auto keys = [](const RiskDefinitions& r) {
        return std::tuple(r.precision, r.maxIterations, r.seed, r.sampling);
    };
    EXPECT_EQ(keys(again.definitions), keys(d));
}

// Every refusal of tests/data/risk-refusals.txt, parsed or checked against the default project,
// with the text it must name.
TEST(RiskDefinitions, EveryRefusalNamesTheEntryAndTheFault) {
    const auto cases = test::DataCases("risk-refusals.txt");
    for (const auto& [json, message] : cases) {
        const ParsedDefinitions parsed = ParseRiskDefinitions(json);
        const std::string problem =
            parsed.ok() ? CheckRiskDefinitions(parsed.definitions, ProjectData{}).error
                        : parsed.error;
        EXPECT_TRUE(problem.starts_with(message)) << json << "\n  gives: " << problem;
    }
    EXPECT_EQ(cases.size(), 63u);

    // However long a name the file holds, a message quotes 200 characters of it.
    const std::string problem =
        ParseRiskDefinitions(R"({"format": "velmora-risk", "version": 1, ")" +
                             std::string(1'000'000, 'k') + R"(": 1})")
            .error;
    EXPECT_EQ(problem, "The risk definitions: unknown key \"" + std::string(200, 'k') + "\u2026\"");
}

// The refusals of tests/data/risk-refusals-labelled.txt as the Risk Analysis window names them,
// by the labels of its tables; a field the window has no label for keeps its name. Unlabelled,
// the same definitions are refused in their keys' words (tests/data/risk-refusals.txt).
TEST(RiskDefinitions, RefusalsNameEntriesByTheWindowsLabels) {
    const std::map<std::string, std::string> labels{
        {"hmaWearingPrice", "HMA Wearing Course ($/ton)"},
        {"hmaBinderPrice", "HMA Binder Course ($/ton)"},
        {"aadt", "AADT"},
        {"terrain", "Terrain"}};
    const EntryNames people{[&](const std::string& field) {
        const auto it = labels.find(field);
        return it == labels.end() ? std::string() : it->second;
    }};
    const auto cases = test::DataCases("risk-refusals-labelled.txt");
    for (const auto& [json, message] : cases) {
        const ParsedDefinitions parsed = ParseRiskDefinitions(json);
        ASSERT_TRUE(parsed.ok()) << json << "\n  " << parsed.error;
        EXPECT_EQ(CheckRiskDefinitions(parsed.definitions, ProjectData{}, people).error, message);
    }
    EXPECT_EQ(cases.size(), 12u);
}

// The ranges the definitions allow are the hand-off's: a value at either end of a field's range
// passes PrepareAnalysis, and one just beyond is refused, unless the engine reads any value of
// that field.
TEST(RiskDefinitions, FieldRangesAreWhatTheHandOffAccepts) {
    ProjectData base; // neither work zone check stands in the way of any value
    base.projectLength = 1e9;
    base.wzLength = 0.0;
    base.speedLimit = 80.0;
    base.wzSpeedLimit = 5.0;
    const std::string readsAnyValue[] = {
        "initialWzInclusion",   "rehabWzInclusion",     "asphaltMisc.unit",
        "concreteMisc[0].unit", "concreteMisc[1].unit", "concreteMisc[2].unit",
        "trafficType",          "asphaltWzTiming",      "concreteWzTiming"};
    int checked = 0;
    ForEachSavedField(base, [&](const FieldName& name, const auto& member) {
        using T = std::decay_t<decltype(member)>;
        if constexpr (!std::is_same_v<T, std::string>) {
            const std::optional<FieldInfo> info = LookUpField(name.str());
            ASSERT_TRUE(info) << name.str();
            if (info->kind == FieldInfo::Kind::Recomputed) return;
            ++checked;
            auto refused = [&](double value) {
                ProjectData p = base;
                FindSlots(p, {info->item}).front().Set(value);
                return !PrepareAnalysis(p).ok();
            };
            const bool whole = !std::is_same_v<T, double>;
            const double step = whole ? 1.0 : std::max(1e-6, std::fabs(info->high) * 1e-9);
            EXPECT_FALSE(refused(info->low)) << name.str() << " at " << info->low;
            EXPECT_FALSE(refused(info->high)) << name.str() << " at " << info->high;
            const bool guarded =
                std::ranges::find(readsAnyValue, name.str()) == std::end(readsAnyValue) &&
                !name.str().ends_with(".yearsBetween");
            if (!guarded) return;
            EXPECT_TRUE(refused(info->low - step)) << name.str() << " below " << info->low;
            EXPECT_TRUE(refused(info->high + step)) << name.str() << " above " << info->high;
        }
    });
    EXPECT_EQ(checked, 214 - 26 - 16); // every number and index, less texts and rewritten fields
}

using RiskDefinitionsFile = test::ScratchFolder;

// A block whose checksum holds but whose text is no definitions (here, terminal controls) is
// reported by every command the moment the project is read, and none of its bytes reaches the
// terminal.
TEST_F(RiskDefinitionsFile, DefinitionsThatDoNotParseAreReportedByEveryCommand) {
    ProjectData p;
    p.riskDefinitions = "\x1b[2J\x1b]0;pwned\x07";
    ASSERT_TRUE(cli::WriteFileAtomically(Path("p.vlm"), EncodeProject(p).bytes).ok());
    const std::string warning = "velmora-cli: " + Path("p.vlm") +
                                ": The risk definitions could not be read: The risk definitions "
                                "are not valid JSON: parse error at line 1, column 1";
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"show"}, {"compute"}, {"risk"}, {"simulate"}}) {
        std::vector<std::string> command = args;
        command.push_back(Path("p.vlm"));
        const test::CliRun run = test::RunCli(command);
        EXPECT_TRUE(run.err.starts_with(warning)) << args[0] << ": " << run.err;
        EXPECT_EQ((run.out + run.err).find('\x1b'), std::string::npos) << args[0];
    }
}
