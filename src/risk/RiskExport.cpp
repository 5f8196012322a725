#include "RiskExport.h"

#include <charconv>
#include <cmath>

namespace velmora::risk {
namespace {

using Json = nlohmann::ordered_json;

Json Number(double value) {
    return std::isfinite(value) ? Json(value) : Json(nullptr);
}

std::string PercentKey(double percent) {
    return ShortNumber(percent);
}

// The figures of `s` multiplied by `factor`: the equivalent uniform annual costs of net present
// values.
Json Scaled(const Statistics& s, double factor) {
    Json out;
    out["mean"] = Number(s.mean * factor);
    out["min"] = Number(s.min * factor);
    out["max"] = Number(s.max * factor);
    Json& percentiles = out["percentiles"];
    for (const PercentileEstimate& e : s.percentiles)
        percentiles[PercentKey(e.percent)] = Number(e.value * factor);
    return out;
}

Json StatisticsJson(const Statistics& s, double capitalRecoveryFactor) {
    Json out;
    out["count"] = s.count;
    out["mean"] = Number(s.mean);
    out["sd"] = Number(s.sd);
    out["min"] = Number(s.min);
    out["max"] = Number(s.max);
    Json& percentiles = out["percentiles"];
    for (const PercentileEstimate& e : s.percentiles)
        percentiles[PercentKey(e.percent)] = {
            {"value", Number(e.value)}, {"lower", Number(e.lower)}, {"upper", Number(e.upper)}};
    out["euac"] = Scaled(s, capitalRecoveryFactor);
    return out;
}

Json HistogramJson(const Histogram& h) {
    return {{"low", Number(h.low)}, {"high", Number(h.high)}, {"counts", h.counts}};
}

Json ProportionJson(const Proportion& p, bool interval) {
    Json out{{"value", Number(p.value)}};
    if (interval) {
        out["lower"] = Number(p.lower);
        out["upper"] = Number(p.upper);
    }
    out["count"] = p.count;
    return out;
}

Json DeterministicJson(const RiskAnalysis& a) {
    if (a.deterministicRefusal)
        return {{"refusal",
                 {{"caption", a.deterministicRefusal->caption},
                  {"text", a.deterministicRefusal->text}}}};
    Json out;
    const auto values = ResultValues(a.deterministic);
    for (std::size_t r = 0; r < kResultCount; ++r) out[ResultNames()[r]] = values[r];
    const double difference = a.deterministic[PavementOption::Asphalt].total -
                              a.deterministic[PavementOption::Concrete].total;
    out["totalDifference"] = difference;
    out["asphaltGridlock"] = a.deterministicAsphaltGridlock;
    out["concreteGridlock"] = a.deterministicConcreteGridlock;
    const double crf = a.capitalRecoveryFactor;
    out["euac"] = {{"asphaltTotal", Number(a.deterministic[PavementOption::Asphalt].total * crf)},
                   {"concreteTotal", Number(a.deterministic[PavementOption::Concrete].total * crf)},
                   {"totalDifference", Number(difference * crf)}};
    return out;
}

} // namespace

std::string ExactNumber(double value) {
    char buffer[32];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 17);
    return std::string(buffer, end);
}

nlohmann::ordered_json RiskAnalysisJson(const RiskAnalysis& a) {
    const RiskDefinitions& d = a.definitions;
    Json out;
    out["iterations"] = a.iterations;
    out["sampling"] = RiskDefinitionsJson(d)["sampling"];
    out["seed"] = d.seed;
    if (d.precision)
        out["precision"] = {{"target", *d.precision},
                            {"halfWidth", Number(a.halfWidth)},
                            {"reached", a.precisionReached}};
    out["capitalRecoveryFactor"] = Number(a.capitalRecoveryFactor);

    Json& statistics = out["statistics"];
    for (std::size_t r = 0; r < kResultCount; ++r)
        statistics[ResultNames()[r]] = StatisticsJson(a.statistics[r], a.capitalRecoveryFactor);
    statistics["totalDifference"] = StatisticsJson(a.difference, a.capitalRecoveryFactor);

    out["asphaltCheaperProbability"] = ProportionJson(a.asphaltCheaper, true);
    out["asphaltGridlockProbability"] = ProportionJson(a.asphaltGridlock, false);
    out["concreteGridlockProbability"] = ProportionJson(a.concreteGridlock, false);

    Json reasons = Json::array();
    for (const RefusalTally& t : a.refusals)
        reasons.push_back({{"caption", t.refusal.caption},
                           {"text", t.refusal.text},
                           {"count", t.count},
                           {"firstIteration", t.firstIteration}});
    out["refusedIterations"] = {{"count", a.refusedIterations}, {"reasons", reasons}};

    Json& sensitivity = out["sensitivity"];
    const auto count = [&](std::string_view name) {
        const auto at = std::ranges::find(ResultNames(), name) - ResultNames().begin();
        return a.statistics[static_cast<std::size_t>(at)].count;
    };
    sensitivity["counts"] = {{"asphaltTotal", count("asphaltTotal")},
                             {"concreteTotal", count("concreteTotal")},
                             {"totalDifference", a.difference.count}};
    Json& ranks = sensitivity["rankCorrelations"] = Json::array();
    for (const InputSensitivity& s : a.rankCorrelations)
        ranks.push_back({{"field", s.field},
                         {"asphaltTotal", Number(s.asphaltTotal)},
                         {"concreteTotal", Number(s.concreteTotal)},
                         {"totalDifference", Number(s.totalDifference)}});
    Json& swings = sensitivity["swing"] = Json::array();
    for (const Swing& s : a.swings)
        swings.push_back({{"field", s.field},
                          {"low", Number(s.low)},
                          {"high", Number(s.high)},
                          {"differenceAtLow", Number(s.differenceAtLow)},
                          {"differenceAtHigh", Number(s.differenceAtHigh)},
                          {"width", Number(s.width)}});

    Json& histograms = out["histograms"];
    for (std::size_t r = 0; r < kResultCount; ++r)
        histograms[ResultNames()[r]] = HistogramJson(a.statistics[r].histogram);
    histograms["totalDifference"] = HistogramJson(a.difference.histogram);

    out["deterministic"] = DeterministicJson(a);
    return out;
}

void WriteSamplesCsv(const RiskAnalysis& a, const std::function<void(std::string_view)>& sink) {
    std::string line = "iteration";
    for (const std::string& field : a.fields) line += "," + field;
    for (const std::string& name : ResultNames()) line += "," + name;
    line += ",asphaltGridlock,concreteGridlock,refused\n";
    sink(line);

    std::string rows;
    for (std::size_t i = 0; i < a.outcome.size(); ++i) {
        rows += std::to_string(i + 1);
        for (const std::vector<double>& column : a.inputs) (rows += ',') += ExactNumber(column[i]);
        const std::uint8_t o = a.outcome[i];
        for (const std::vector<double>& column : a.results) {
            rows += ',';
            if (!(o & kRefused)) rows += ExactNumber(column[i]);
        }
        rows += (o & kAsphaltGridlock) ? ",1" : ",0";
        rows += (o & kConcreteGridlock) ? ",1" : ",0";
        rows += (o & kRefused) ? ",1\n" : ",0\n";
        if (rows.size() > (1u << 16)) {
            sink(rows);
            rows.clear();
        }
    }
    sink(rows);
}

std::string SamplesCsv(const RiskAnalysis& a) {
    std::string out;
    WriteSamplesCsv(a, [&](std::string_view piece) { out += piece; });
    return out;
}

} // namespace velmora::risk
