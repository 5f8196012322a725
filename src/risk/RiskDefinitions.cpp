#include "RiskDefinitions.h"

#include "Distribution.h"
#include "RankCorrelation.h"
#include "UncertainFields.h"
#include "model/EscapeText.h"
#include "model/SavedFields.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace velmora::risk {
namespace {

using Json = nlohmann::ordered_json;
using Kind = DistributionKind;

constexpr std::array<std::string_view, 6> kDistributionNames{"uniform", "triangular", "pert",
                                                             "normal",  "lognormal",  "discrete"};
constexpr std::array<std::string_view, 2> kSamplingNames{"lhs", "mc"};
constexpr std::string_view kFormat = "velmora-risk";
constexpr std::int64_t kVersion = 1;

// The parameters of an input, in the order the definitions write them.
enum Parameter { kMin, kMode, kMax, kMean, kSd, kParameterCount };
constexpr std::array<std::string_view, kParameterCount> kParameterNames{"min", "mode", "max",
                                                                        "mean", "sd"};
std::optional<double> UncertainInput::*const kParameters[kParameterCount] = {
    &UncertainInput::min, &UncertainInput::mode, &UncertainInput::max, &UncertainInput::mean,
    &UncertainInput::sd};

// What each distribution takes: the parameters it needs, then those it may have.
struct Shape {
    std::vector<Parameter> needed, optional;
    bool discrete = false;
};
const Shape& ShapeOf(Kind kind) {
    static const std::array<Shape, 6> kShapes{
        Shape{{kMin, kMax}, {}},           Shape{{kMin, kMode, kMax}, {}},
        Shape{{kMin, kMode, kMax}, {}},    Shape{{kMean, kSd}, {kMin, kMax}},
        Shape{{kMean, kSd}, {kMin, kMax}}, Shape{{}, {}, true}};
    return kShapes[static_cast<std::size_t>(kind)];
}

// A name from the definitions in a message: it may come from any file.
std::string Quoted(std::string_view text) {
    return "\"" + QuotedText(text) + "\"";
}

std::string ListOf(const auto& names) {
    std::string out;
    for (std::size_t k = 0; k < names.size(); ++k)
        out += (k == 0 ? "" : k + 1 == names.size() ? " or " : ", ") + Quoted(names[k]);
    return out;
}

// Reads the JSON shape into `d`; the first problem goes to `error` as "where: what".
class Parser {
public:
    explicit Parser(RiskDefinitions& d) : d_(d) {}

    void Root(const Json& root) {
        if (!root.is_object()) return Fail("The risk definitions", "must be one JSON object");
        static constexpr std::string_view kKeys[] = {"format", "version",      "iterations",
                                                     "seed",   "sampling",     "precision",
                                                     "inputs", "correlations", "maxIterations"};
        if (!KnownKeys(root, kKeys, "The risk definitions")) return;
        if (root.value("format", Json()) != kFormat)
            return Fail("format", "must be " + Quoted(kFormat));
        if (root.value("version", Json()) != kVersion)
            return Fail("version", "must be " + std::to_string(kVersion));
        if (root.contains("iterations") && !Whole(root["iterations"], d_.iterations))
            return Fail("iterations", "must be a whole number");
        if (root.contains("maxIterations")) {
            std::int64_t most = 0;
            if (!Whole(root["maxIterations"], most))
                return Fail("maxIterations", "must be a whole number");
            d_.maxIterations = most;
        }
        if (root.contains("seed")) {
            if (!root["seed"].is_number_unsigned())
                return Fail("seed", "must be a whole number from 0 to 18446744073709551615");
            d_.seed = root["seed"].get<std::uint64_t>();
        }
        if (root.contains("sampling")) {
            const auto k = Choice(root["sampling"], kSamplingNames);
            if (!k) return Fail("sampling", "must be " + ListOf(kSamplingNames));
            d_.sampling = static_cast<Sampling>(*k);
        }
        if (root.contains("precision")) {
            if (!root["precision"].is_number()) return Fail("precision", "must be a number");
            d_.precision = root["precision"].get<double>();
        }
        if (!ListEntries(root, "inputs", [&](const Json& e, std::size_t k) { Input(e, k); }))
            return;
        ListEntries(root, "correlations", [&](const Json& e, std::size_t k) { Correlation(e, k); });
    }

    std::string error;

private:
    void Fail(std::string_view where, const std::string& what) {
        if (error.empty()) error = std::string(where) + ": " + what;
    }

    bool KnownKeys(const Json& object, std::span<const std::string_view> keys,
                   std::string_view where) {
        for (const auto& [key, value] : object.items())
            if (std::ranges::find(keys, key) == keys.end()) {
                Fail(where, "unknown key " + Quoted(key));
                return false;
            }
        return true;
    }

    static bool Whole(const Json& value, std::int64_t& out) {
        if (!value.is_number_integer()) return false;
        if (value.is_number_unsigned() &&
            value.get<std::uint64_t>() > static_cast<std::uint64_t>(INT64_MAX))
            out = INT64_MAX;
        else
            out = value.get<std::int64_t>();
        return true;
    }

    template <std::size_t N>
    static std::optional<std::size_t> Choice(const Json& value,
                                             const std::array<std::string_view, N>& names) {
        if (!value.is_string()) return std::nullopt;
        const auto at = std::ranges::find(names, value.get<std::string>());
        if (at == names.end()) return std::nullopt;
        return static_cast<std::size_t>(at - names.begin());
    }

    static bool Numbers(const Json& value, std::vector<double>& out) {
        if (!value.is_array()) return false;
        for (const Json& number : value) {
            if (!number.is_number()) return false;
            out.push_back(number.get<double>());
        }
        return true;
    }

    // Calls entry(json, index) for each entry of the optional list `key`; false on a failure.
    template <class Entry>
    bool ListEntries(const Json& root, const char* key, Entry&& entry) {
        if (!root.contains(key)) return true;
        if (!root[key].is_array()) {
            Fail(key, "must be a list");
            return false;
        }
        for (std::size_t k = 0; k < root[key].size() && error.empty(); ++k) {
            if (!root[key][k].is_object())
                Fail(EntryName(key, k), "must be an object");
            else
                entry(root[key][k], k);
        }
        return error.empty();
    }

    void Input(const Json& e, std::size_t index) {
        UncertainInput& input = d_.inputs.emplace_back();
        if (!e.contains("field") || !e["field"].is_string())
            return Fail(EntryName("inputs", index), Quoted("field") + " must name a saved field");
        input.field = e["field"].get<std::string>();
        const std::string where = EntryName("inputs", index, input.field);
        static constexpr std::string_view kKeys[] = {"field",  "distribution", "relative", "min",
                                                     "mode",   "max",          "mean",     "sd",
                                                     "values", "probabilities"};
        if (!KnownKeys(e, kKeys, where)) return;
        const auto kind = Choice(e.value("distribution", Json()), kDistributionNames);
        if (!kind)
            return Fail(where, Quoted("distribution") + " must be " + ListOf(kDistributionNames));
        input.distribution = static_cast<Kind>(*kind);
        const std::string name(kDistributionNames[*kind]);
        if (e.contains("relative")) {
            if (!e["relative"].is_boolean())
                return Fail(where, Quoted("relative") + " must be true or false");
            input.relative = e["relative"].get<bool>();
        }

        const Shape& shape = ShapeOf(input.distribution);
        for (int p = 0; p < kParameterCount; ++p) {
            const auto parameter = static_cast<Parameter>(p);
            const std::string key(kParameterNames[p]);
            const bool needed = std::ranges::find(shape.needed, parameter) != shape.needed.end();
            const bool allowed =
                needed || std::ranges::find(shape.optional, parameter) != shape.optional.end();
            if (!e.contains(key)) {
                if (needed) return Fail(where, "a " + name + " distribution needs " + Quoted(key));
                continue;
            }
            if (!allowed) return Fail(where, "a " + name + " distribution takes no " + Quoted(key));
            if (!e[key].is_number()) return Fail(where, Quoted(key) + " must be a number");
            input.*kParameters[p] = e[key].get<double>();
        }
        for (const char* key : {"values", "probabilities"}) {
            if (!shape.discrete && e.contains(key))
                return Fail(where, "a " + name + " distribution takes no " + Quoted(key));
            if (!shape.discrete) continue;
            if (!e.contains(key))
                return Fail(where, "a discrete distribution needs " + Quoted(key));
            auto& list = key[0] == 'v' ? input.values : input.probabilities;
            if (!Numbers(e[key], list))
                return Fail(where, Quoted(key) + " must be a list of numbers");
        }
    }

    void Correlation(const Json& e, std::size_t index) {
        static constexpr std::string_view kKeys[] = {"fields", "rank"};
        const Json fields = e.value("fields", Json());
        if (!fields.is_array() || fields.size() != 2 || !fields[0].is_string() ||
            !fields[1].is_string())
            return Fail(EntryName("correlations", index),
                        Quoted("fields") + " must name two uncertain inputs");
        RankCorrelation& c = d_.correlations.emplace_back();
        c.first = fields[0].get<std::string>();
        c.second = fields[1].get<std::string>();
        const std::string where = EntryName("correlations", index, c.first + ", " + c.second);
        if (!KnownKeys(e, kKeys, where)) return;
        if (!e.contains("rank") || !e["rank"].is_number())
            return Fail(where, Quoted("rank") + " must be a number");
        c.rank = e["rank"].get<double>();
    }

    RiskDefinitions& d_;
};

} // namespace

std::string EntryName(std::string_view list, std::size_t index, std::string_view what) {
    std::string name = std::string(list) + "[" + std::to_string(index) + "]";
    if (!what.empty()) name += " (" + QuotedText(what) + ")";
    return name;
}

std::string ShortNumber(double value) {
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, end);
}

double Rounded(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

std::string_view DistributionLabel(DistributionKind kind) {
    static constexpr std::array<std::string_view, 6> kLabels{"Uniform", "Triangular", "PERT",
                                                             "Normal",  "Lognormal",  "Discrete"};
    return kLabels[static_cast<std::size_t>(kind)];
}

ParsedDefinitions ParseRiskDefinitions(std::string_view json) {
    ParsedDefinitions parsed;
    Json root;
    // A key given twice would otherwise let the last one win unseen.
    std::vector<std::vector<std::string>> keys;
    std::string repeated;
    const Json::parser_callback_t noteKeys = [&](int, Json::parse_event_t event, Json& value) {
        if (event == Json::parse_event_t::object_start) keys.emplace_back();
        if (event == Json::parse_event_t::object_end && !keys.empty()) keys.pop_back();
        if (event == Json::parse_event_t::key && !keys.empty() && repeated.empty()) {
            const std::string& key = value.get_ref<const std::string&>();
            if (std::ranges::find(keys.back(), key) != keys.back().end())
                repeated = key;
            else
                keys.back().push_back(key);
        }
        return true;
    };
    try {
        root = Json::parse(json, noteKeys);
    } catch (const Json::exception& e) {
        // "[json.exception.parse_error.101] parse error at line 1, column 3: ...", or a number
        // out of range; what it last read comes from the file.
        const std::string what = e.what();
        const std::size_t start = what.find("] ");
        parsed.error = "The risk definitions are not valid JSON: " +
                       QuotedText(start == std::string::npos ? what : what.substr(start + 2));
        return parsed;
    }
    if (!repeated.empty()) {
        parsed.error =
            "The risk definitions: the key " + Quoted(repeated) + " appears twice in one object";
        return parsed;
    }
    Parser parser(parsed.definitions);
    parser.Root(root);
    parsed.error = std::move(parser.error);
    return parsed;
}

DecodeResult DecodeProjectAndDefinitions(std::string_view bytes, ProjectData& project) {
    DecodeResult result = DecodeProject(bytes, project);
    if (!result.ok() || project.riskDefinitions.empty()) return result;
    const ParsedDefinitions parsed = ParseRiskDefinitions(project.riskDefinitions);
    if (parsed.ok()) return result;
    project.riskDefinitions.clear();
    if (!result.warning.empty()) result.warning += ' ';
    result.warning += "The risk definitions could not be read: " + parsed.error;
    return result;
}

nlohmann::ordered_json RiskDefinitionsJson(const RiskDefinitions& d) {
    Json out;
    out["format"] = kFormat;
    out["version"] = kVersion;
    out["iterations"] = d.iterations;
    out["seed"] = d.seed;
    out["sampling"] = kSamplingNames[static_cast<std::size_t>(d.sampling)];
    if (d.precision) out["precision"] = *d.precision;
    if (d.maxIterations) out["maxIterations"] = *d.maxIterations;
    out["inputs"] = Json::array();
    for (const UncertainInput& in : d.inputs) {
        Json& e = out["inputs"].emplace_back();
        e["field"] = in.field;
        e["distribution"] = kDistributionNames[static_cast<std::size_t>(in.distribution)];
        if (in.relative) e["relative"] = true;
        const Shape& shape = ShapeOf(in.distribution);
        for (const auto& group : {shape.needed, shape.optional})
            for (Parameter p : group)
                if (const auto& v = in.*kParameters[p]) e[std::string(kParameterNames[p])] = *v;
        if (shape.discrete) {
            e["values"] = in.values;
            e["probabilities"] = in.probabilities;
        }
    }
    out["correlations"] = Json::array();
    for (const RankCorrelation& c : d.correlations)
        out["correlations"].push_back({{"fields", {c.first, c.second}}, {"rank", c.rank}});
    return out;
}

std::string RiskDefinitionsText(const RiskDefinitions& d) {
    return RiskDefinitionsJson(d).dump(2, ' ', false, Json::error_handler_t::replace);
}

} // namespace velmora::risk
