#include "CoreTestSupport.h"
#include "engine/Analysis.h"
#include "model/ProjectFile.h"
#include "model/SavedFields.h"
#include "risk/RiskDefinitionsCheck.h"
#include "risk/UncertainFields.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::risk;

namespace {

// What parsing and then checking `json` against the default project says.
std::string Problem(const std::string& json) {
    const ParsedDefinitions parsed = ParseRiskDefinitions(json);
    return parsed.ok() ? CheckRiskDefinitions(parsed.definitions, ProjectData{}).error
                       : parsed.error;
}

std::string WithInputs(const std::string& inputs, const std::string& correlations = "") {
    return R"({"format": "velmora-risk", "version": 1, "inputs": [)" + inputs +
           R"(], "correlations": [)" + correlations + "]}";
}

} // namespace

TEST(RiskDefinitions, TheExampleSurvivesAProjectFileAndReadsBackAsWritten) {
    const ParsedDefinitions parsed = ParseRiskDefinitions(test::DataFile("risk-example.json"));
    ASSERT_TRUE(parsed.ok()) << parsed.error;
    ProjectData project;
    project.concretePrice = 30;
    EXPECT_EQ(CheckRiskDefinitions(parsed.definitions, project).error, "");

    const RiskDefinitions& d = parsed.definitions;
    ASSERT_EQ(d.inputs.size(), 8u);
    EXPECT_EQ(d.inputs[4].field, "asphaltStage[1].year");
    EXPECT_EQ(d.inputs[4].distribution, DistributionKind::Pert);
    EXPECT_EQ(d.inputs[4].mode, 15.0);
    EXPECT_TRUE(d.inputs[5].relative);
    EXPECT_EQ(d.inputs[7].probabilities, (std::vector<double>{0.7, 0.3}));
    EXPECT_FALSE(d.inputs[2].max.has_value());
    ASSERT_EQ(d.correlations.size(), 1u);
    EXPECT_EQ(d.correlations[0].second, "hmaBinderPrice");
    EXPECT_EQ(d.correlations[0].rank, 0.8);

    project.riskDefinitions = RiskDefinitionsText(d);
    ProjectData reopened;
    ASSERT_TRUE(DecodeProject(EncodeProject(project).bytes, reopened).ok());
    const ParsedDefinitions again = ParseRiskDefinitions(reopened.riskDefinitions);
    ASSERT_TRUE(again.ok()) << again.error;
    EXPECT_EQ(RiskDefinitionsText(again.definitions), project.riskDefinitions);

    // The optional keys travel too; absent ones stay absent.
    RiskDefinitions precise = d;
    precise.precision = 250.5;
    precise.maxIterations = 50000;
    precise.seed = 18446744073709551615u;
    precise.sampling = Sampling::MonteCarlo;
    const ParsedDefinitions read = ParseRiskDefinitions(RiskDefinitionsText(precise));
    EXPECT_EQ(read.definitions.precision, 250.5);
    EXPECT_EQ(read.definitions.maxIterations, 50000);
    EXPECT_EQ(read.definitions.seed, 18446744073709551615u);
    EXPECT_EQ(read.definitions.sampling, Sampling::MonteCarlo);
    EXPECT_FALSE(parsed.definitions.precision || parsed.definitions.maxIterations);
}

// Every refusal, with the text it must name. The inputs refer to the default project.
TEST(RiskDefinitions, EveryRefusalNamesTheEntryAndTheFault) {
    const std::string aadt =
        R"({"field": "aadt", "distribution": "uniform", "min": 400, "max": 600})";
    const std::string prices =
        R"({"field": "hmaWearingPrice", "distribution": "uniform", "min": 40, "max": 60},
           {"field": "hmaBinderPrice", "distribution": "uniform", "min": 40, "max": 60},
           {"field": "hmaBasePrice", "distribution": "uniform", "min": 40, "max": 60})";
    struct Case {
        std::string json, message;
    };
    const Case cases[] = {
        {R"({"format":)",
         "The risk definitions are not valid JSON: parse error at line 1, column 11"},
        {R"({"format": "velmora-risk", "version": 1, "iterations": 1e400})",
         "The risk definitions are not valid JSON: number overflow parsing '1e400'"},
        {"[]", "The risk definitions: must be one JSON object"},
        {R"({"format": "velmora", "version": 1})", R"(format: must be "velmora-risk")"},
        {R"({"format": "velmora-risk", "version": 2})", "version: must be 1"},
        {R"({"format": "velmora-risk", "version": 1, "iteration": 5})",
         R"(The risk definitions: unknown key "iteration")"},
        {R"({"format": "velmora-risk", "version": 1, "iterations": 5.5})",
         "iterations: must be a whole number"},
        {R"({"format": "velmora-risk", "version": 1, "seed": -1})",
         "seed: must be a whole number from 0 to 18446744073709551615"},
        {R"({"format": "velmora-risk", "version": 1, "sampling": "random"})",
         R"(sampling: must be "lhs" or "mc")"},
        {R"({"format": "velmora-risk", "version": 1, "inputs": {}})", "inputs: must be a list"},
        {WithInputs("3"), "inputs[0]: must be an object"},
        {WithInputs(R"({"distribution": "uniform"})"),
         R"(inputs[0]: "field" must name a saved field)"},
        {WithInputs(
             R"({"field": "aadt", "distribution": "triangular", "min": 1, "mde": 2, "max": 3})"),
         R"(inputs[0] (aadt): unknown key "mde")"},
        {WithInputs(R"({"field": "aadt", "distribution": "gamma"})"),
         R"(inputs[0] (aadt): "distribution" must be "uniform", "triangular", "pert", "normal", "lognormal" or "discrete")"},
        {WithInputs(R"({"field": "aadt", "distribution": "triangular", "min": 1, "max": 3})"),
         R"(inputs[0] (aadt): a triangular distribution needs "mode")"},
        {WithInputs(
             R"({"field": "aadt", "distribution": "uniform", "min": 1, "max": 3, "mean": 2})"),
         R"(inputs[0] (aadt): a uniform distribution takes no "mean")"},
        {WithInputs(R"({"field": "aadt", "distribution": "normal", "mean": "500", "sd": 3})"),
         R"(inputs[0] (aadt): "mean" must be a number)"},
        {WithInputs(
             R"({"field": "aadt", "distribution": "uniform", "relative": 1, "min": 1, "max": 2})"),
         R"(inputs[0] (aadt): "relative" must be true or false)"},
        {WithInputs(
             R"({"field": "terrain", "distribution": "discrete", "values": [0, "1"], "probabilities": [0.5, 0.5]})"),
         R"(inputs[0] (terrain): "values" must be a list of numbers)"},
        {WithInputs(
             R"({"field": "aadt", "distribution": "uniform", "min": 1, "max": 2, "values": [1]})"),
         R"(inputs[0] (aadt): a uniform distribution takes no "values")"},
        {WithInputs(aadt, R"({"fields": ["aadt"], "rank": 0.5})"),
         R"(correlations[0]: "fields" must name two uncertain inputs)"},
        {WithInputs(aadt, R"({"fields": ["aadt", "truckPercent"]})"),
         R"(correlations[0] (aadt, truckPercent): "rank" must be a number)"},

        {R"({"format": "velmora-risk", "version": 1, "iterations": 0})",
         "iterations: 0 lies outside 1 and 10000000"},
        {R"({"format": "velmora-risk", "version": 1, "iterations": 10000001})",
         "iterations: 10000001 lies outside 1 and 10000000"},
        {R"({"format": "velmora-risk", "version": 1, "precision": 10, "maxIterations": 0})",
         "maxIterations: 0 lies outside 1 and 10000000"},
        {R"({"format": "velmora-risk", "version": 1, "precision": 0})",
         "precision: 0 must be above 0"},
        {WithInputs(aadt +
                    R"(, {"field": "hmaPrice", "distribution": "uniform", "min": 1, "max": 2})"),
         "inputs[1] (hmaPrice): no saved field has this name"},
        {WithInputs(
             R"({"field": "projectTitle", "distribution": "discrete", "values": [1], "probabilities": [1]})"),
         "inputs[0] (projectTitle): a text cannot be uncertain"},
        {WithInputs(
             R"({"field": "asphaltMaintenance[0].treatmentCount", "distribution": "uniform", "min": 1, "max": 2})"),
         "inputs[0] (asphaltMaintenance[0].treatmentCount): every Compute Costs run recomputes "
         "this "
         "field, so it cannot be uncertain"},
        {WithInputs(aadt + "," + aadt),
         "inputs[1] (aadt): the field is already uncertain in inputs[0]"},
        {WithInputs(R"({"field": "aadt", "distribution": "uniform", "min": 5, "max": 3})"),
         "inputs[0] (aadt): min 5 lies above max 3"},
        {WithInputs(
             R"({"field": "asphaltStage[1].year", "distribution": "pert", "min": 12, "mode": 25, "max": 20})"),
         "inputs[0] (asphaltStage[1].year): mode 25 lies outside min 12 and max 20"},
        {WithInputs(R"({"field": "aadt", "distribution": "normal", "mean": 500, "sd": 0})"),
         "inputs[0] (aadt): sd 0 must be above 0"},
        {WithInputs(R"({"field": "aadt", "distribution": "lognormal", "mean": -5, "sd": 1})"),
         "inputs[0] (aadt): a lognormal distribution needs a mean above 0, not -5"},
        {WithInputs(
             R"({"field": "aadt", "distribution": "normal", "mean": 0, "sd": 1, "min": 50, "max": 60})"),
         "inputs[0] (aadt): min and max leave out the whole distribution"},
        {WithInputs(
             R"({"field": "terrain", "distribution": "discrete", "values": [0, 1], "probabilities": [0.5, 0.4, 0.1]})"),
         R"(inputs[0] (terrain): "values" and "probabilities" differ in length (2 and 3))"},
        {WithInputs(
             R"({"field": "terrain", "distribution": "discrete", "values": [0, 1], "probabilities": [0.5, 0.4]})"),
         "inputs[0] (terrain): the probabilities sum to 0.9, not 1"},
        {WithInputs(
             R"({"field": "terrain", "distribution": "discrete", "values": [0, 1], "probabilities": [1.1, -0.1]})"),
         "inputs[0] (terrain): probabilities[0] 1.1 lies outside 0 and 1"},
        {WithInputs(R"({"field": "terrain", "distribution": "uniform", "min": 0, "max": 2})"),
         "inputs[0] (terrain): a list index takes only a discrete distribution"},
        {WithInputs(
             R"({"field": "terrain", "distribution": "discrete", "relative": true, "values": [1], "probabilities": [1]})"),
         "inputs[0] (terrain): a list index cannot be relative"},
        {WithInputs(
             R"({"field": "terrain", "distribution": "discrete", "values": [0, 0.5], "probabilities": [0.5, 0.5]})"),
         "inputs[0] (terrain): values[1] 0.5 is no whole number"},
        {WithInputs(
             R"({"field": "terrain", "distribution": "discrete", "values": [0, 3], "probabilities": [0.5, 0.5]})"),
         "inputs[0] (terrain): value 3 is not an entry of its list (0 to 2)"},
        {WithInputs(
             R"({"field": "aadt", "distribution": "triangular", "min": -100, "mode": 500, "max": 600})"),
         "inputs[0] (aadt): samples reach -100, below 0, the least value Compute Costs accepts"},
        {WithInputs(
             R"({"field": "truckPercent", "distribution": "uniform", "min": 10, "max": 120})"),
         "inputs[0] (truckPercent): samples reach 120, above 100, the largest value Compute Costs "
         "accepts"},
        // An unbounded tail counts by its 0.0001 quantile: 1000 - 3.719 x 300.
        {WithInputs(R"({"field": "aadt", "distribution": "normal", "mean": 1000, "sd": 300})"),
         "inputs[0] (aadt): samples reach -115.70494"},
        {WithInputs(
             R"({"field": "speedLimit", "distribution": "uniform", "relative": true, "min": 0.05, "max": 1})"),
         "inputs[0] (speedLimit): samples reach 2.75, below 5,"},
        {WithInputs(R"({"field": "wzLanes", "distribution": "uniform", "min": 0.4, "max": 2})"),
         "inputs[0] (wzLanes): samples reach 0, below 1,"},
        {WithInputs(
             R"({"field": "hmaWearingPrice", "distribution": "lognormal", "relative": true, "mean": 1, "sd": 0.1})"),
         "inputs[0] (hmaWearingPrice): a relative lognormal distribution needs a project value "
         "above 0, not 0"},
        {WithInputs(aadt, R"({"fields": ["aadt", "aadt"], "rank": 0.5})"),
         "correlations[0] (aadt, aadt): a field cannot be correlated with itself"},
        {WithInputs(aadt, R"({"fields": ["aadt", "hmaBinderPrice"], "rank": 0.5})"),
         "correlations[0] (aadt, hmaBinderPrice): hmaBinderPrice is not an uncertain input"},
        {WithInputs(prices, R"({"fields": ["hmaWearingPrice", "hmaBinderPrice"], "rank": 0.5},
                               {"fields": ["hmaBinderPrice", "hmaWearingPrice"], "rank": 0.2})"),
         "correlations[1] (hmaBinderPrice, hmaWearingPrice): the pair is already correlated in "
         "correlations[0]"},
        {WithInputs(prices, R"({"fields": ["hmaWearingPrice", "hmaBinderPrice"], "rank": 1.5})"),
         "correlations[0] (hmaWearingPrice, hmaBinderPrice): rank 1.5 lies outside -1 and 1"},
        {WithInputs(prices, R"({"fields": ["hmaWearingPrice", "hmaBinderPrice"], "rank": 0.9},
                               {"fields": ["hmaBinderPrice", "hmaBasePrice"], "rank": 0.9},
                               {"fields": ["hmaWearingPrice", "hmaBasePrice"], "rank": -0.9})"),
         "correlations: the ranks cannot hold together (their matrix is not positive definite)"},
    };
    for (const Case& c : cases) {
        const std::string problem = Problem(c.json);
        EXPECT_TRUE(problem.starts_with(c.message)) << c.json << "\n  gives: " << problem;
    }
    EXPECT_EQ(
        Problem(
            WithInputs(prices, R"({"fields": ["hmaWearingPrice", "hmaBinderPrice"], "rank": -1})")),
        "correlations: the ranks cannot hold together (their matrix is not positive definite); "
        "weaken some of them");
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
