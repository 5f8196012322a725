#include "PlannerSettings.h"

#include "model/EscapeText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace velmora::planner {
namespace {

using Json = nlohmann::ordered_json;

constexpr std::string_view kFormat = "velmora-workzone";
constexpr std::int64_t kVersion = 1;
constexpr std::array<std::string_view, 8> kKeys{"format",        "version",         "setupHours",
                                                "maxQueueMiles", "maxDelayMinutes", "maxDays",
                                                "noClosure",     "closureCost"};
// The largest limit or cost taken: beyond it a product with days or dollars loses meaning.
constexpr double kLargest = 1e12;

bool Number(const Json& value, double& out) {
    if (!value.is_number()) return false;
    out = value.get<double>();
    return std::isfinite(out);
}

bool Hour(const Json& value, int& out) {
    if (!value.is_number_integer()) return false;
    const auto hour = value.get<std::int64_t>();
    if (hour < 0 || hour > 24) return false;
    out = static_cast<int>(hour);
    return true;
}

std::string Parse(const Json& root, PlannerSettings& s) {
    if (!root.is_object()) return "The work zone planner settings must be one JSON object";
    for (const auto& [key, value] : root.items())
        if (std::ranges::find(kKeys, key) == kKeys.end())
            return "The work zone planner settings: unknown key \"" + QuotedText(key) + "\"";
    if (root.value("format", Json()) != kFormat)
        return "format: must be \"" + std::string(kFormat) + "\"";
    if (root.value("version", Json()) != kVersion)
        return "version: must be " + std::to_string(kVersion);
    if (root.contains("setupHours") && !Number(root["setupHours"], s.setupHours))
        return "setupHours: must be a number";
    if (root.contains("closureCost") && !Number(root["closureCost"], s.closureCost))
        return "closureCost: must be a number";
    for (auto [key, limit] :
         {std::pair{"maxQueueMiles", &s.maxQueueMiles},
          std::pair{"maxDelayMinutes", &s.maxDelayMinutes}, std::pair{"maxDays", &s.maxDays}}) {
        if (!root.contains(key)) continue;
        double value = 0.0;
        if (!Number(root[key], value)) return std::string(key) + ": must be a number";
        *limit = value;
    }
    if (root.contains("noClosure")) {
        const Json& ranges = root["noClosure"];
        if (!ranges.is_array()) return "noClosure: must be a list of [from, to] hours";
        for (std::size_t k = 0; k < ranges.size(); ++k) {
            HourRange r;
            const Json& e = ranges[k];
            if (!e.is_array() || e.size() != 2 || !Hour(e[0], r.from) || !Hour(e[1], r.to))
                return "noClosure[" + std::to_string(k) + "]: must be [from, to], hours 0 to 24";
            s.noClosure.push_back(r);
        }
    }
    return CheckPlannerSettings(s);
}

std::string WholeOrShort(double value) {
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, end);
}

} // namespace

ParsedSettings ParsePlannerSettings(std::string_view json) {
    ParsedSettings parsed;
    Json root;
    try {
        root = Json::parse(json);
    } catch (const Json::exception&) {
        parsed.error = "The work zone planner settings are not valid JSON";
        return parsed;
    }
    parsed.error = Parse(root, parsed.settings);
    if (!parsed.ok()) parsed.settings = {};
    return parsed;
}

std::string CheckPlannerSettings(const PlannerSettings& s) {
    if (!(s.setupHours >= 0.0 && s.setupHours <= kMostSetupHours))
        return "The setup time must be from 0 to " + WholeOrShort(kMostSetupHours) + " hours.";
    const std::pair<const std::optional<double>*, const char*> limits[] = {
        {&s.maxQueueMiles, "maximum queue length"},
        {&s.maxDelayMinutes, "maximum delay per vehicle"},
        {&s.maxDays, "maximum number of days"}};
    for (const auto& [limit, name] : limits)
        if (*limit && !(**limit > 0.0 && **limit <= kLargest))
            return std::string("The ") + name + " must be a number above 0.";
    for (const HourRange& r : s.noClosure)
        if (r.from < 0 || r.from > 23 || r.to < 1 || r.to > 24 || r.from == r.to % 24)
            return "A no-closure range must run from an hour 0 to 23 to a later hour up to 24 "
                   "(it may wrap past midnight): " +
                   HourRangeText(r) + " does not.";
    if (!(s.closureCost >= 0.0 && s.closureCost <= kLargest))
        return "The cost per closure must be a number from 0 up.";
    return {};
}

Json PlannerSettingsJson(const PlannerSettings& s) {
    Json out;
    out["format"] = kFormat;
    out["version"] = kVersion;
    out["setupHours"] = s.setupHours;
    if (s.maxQueueMiles) out["maxQueueMiles"] = *s.maxQueueMiles;
    if (s.maxDelayMinutes) out["maxDelayMinutes"] = *s.maxDelayMinutes;
    if (s.maxDays) out["maxDays"] = *s.maxDays;
    out["noClosure"] = Json::array();
    for (const HourRange& r : s.noClosure) out["noClosure"].push_back({r.from, r.to});
    out["closureCost"] = s.closureCost;
    return out;
}

std::string PlannerSettingsText(const PlannerSettings& settings) {
    return PlannerSettingsJson(settings).dump();
}

void DropUnreadableSettings(ProjectData& project, DecodeResult& result) {
    if (!result.ok() || project.workZonePlanner.empty()) return;
    const ParsedSettings parsed = ParsePlannerSettings(project.workZonePlanner);
    if (parsed.ok()) return;
    project.workZonePlanner.clear();
    if (!result.warning.empty()) result.warning += ' ';
    result.warning += "The work zone planner settings could not be read: " + parsed.error;
}

std::string HourRangeText(HourRange range) {
    return std::to_string(range.from) + "-" + std::to_string(range.to);
}

std::optional<HourRange> ParseHourRange(std::string_view text) {
    HourRange r;
    const char* end = text.data() + text.size();
    auto [dash, ec] = std::from_chars(text.data(), end, r.from);
    if (ec != std::errc() || dash == end || *dash != '-') return std::nullopt;
    auto [last, ec2] = std::from_chars(dash + 1, end, r.to);
    if (ec2 != std::errc() || last != end) return std::nullopt;
    return r;
}

} // namespace velmora::planner
