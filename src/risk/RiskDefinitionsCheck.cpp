#include "RiskDefinitionsCheck.h"

#include "Distribution.h"
#include "RankCorrelation.h"
#include "UncertainFields.h"
#include "model/EscapeText.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace velmora::risk {
namespace {

using Kind = DistributionKind;

// The checks of one input's parameters, on the values as written.
std::string ParameterProblem(const UncertainInput& in, const FieldInfo& field,
                             const EntryNames& names) {
    // JSON holds finite numbers only.
    const auto n = [](double v) { return ShortNumber(v); };
    if (in.min && in.max && *in.min > *in.max)
        return "min " + n(*in.min) + " lies above max " + n(*in.max);
    if (in.mode && (*in.mode < *in.min || *in.mode > *in.max))
        return "mode " + n(*in.mode) + " lies outside min " + n(*in.min) + " and max " + n(*in.max);
    if (in.sd && !(*in.sd > 0.0)) return "sd " + n(*in.sd) + " must be above 0";
    if (in.distribution == Kind::Lognormal && !(*in.mean > 0.0))
        return "a lognormal distribution needs a mean above 0, not " + n(*in.mean);
    if (in.distribution == Kind::Normal || in.distribution == Kind::Lognormal) {
        const bool log = in.distribution == Kind::Lognormal;
        const double sigma =
            log ? std::sqrt(std::log1p(*in.sd / *in.mean * (*in.sd / *in.mean))) : *in.sd;
        const double mu = log ? std::log(*in.mean) - 0.5 * sigma * sigma : *in.mean;
        if (!std::isfinite(mu) || !std::isfinite(sigma))
            return "the parameters give samples that are not finite numbers (mean " + n(*in.mean) +
                   ", sd " + n(*in.sd) + ")";
        auto below = [&](std::optional<double> x, double none) {
            if (!x) return none;
            if (log) return *x > 0.0 ? NormalCdf((std::log(*x) - mu) / sigma) : 0.0;
            return NormalCdf((*x - mu) / sigma);
        };
        if (!(below(in.max, 1.0) - below(in.min, 0.0) > 1e-12))
            return "min and max leave out the whole distribution";
    }
    if (in.distribution != Kind::Discrete) return {};

    if (in.values.empty()) return "\"values\" must not be empty";
    if (in.values.size() != in.probabilities.size())
        return std::string("\"values\" and \"probabilities\" differ in length (") +
               std::to_string(in.values.size()) + " and " +
               std::to_string(in.probabilities.size()) + ")";
    double sum = 0.0;
    for (std::size_t k = 0; k < in.values.size(); ++k) {
        const double v = in.values[k], p = in.probabilities[k];
        if (!(p >= 0.0 && p <= 1.0))
            return names.Item("probabilities", k) + " " + n(p) + " lies outside 0 and 1";
        if (field.kind == FieldInfo::Kind::ListIndex && v != std::round(v))
            return names.Item("values", k) + " " + n(v) + " is no whole number";
        sum += p;
    }
    if (std::fabs(sum - 1.0) > 1e-9) return "the probabilities sum to " + n(sum) + ", not 1";
    return {};
}

// What the input's field, distribution and sample range make of it on `project`.
std::string InputProblem(const UncertainInput& in, const ProjectData& project,
                         const EntryNames& names) {
    using FieldKind = FieldInfo::Kind;
    const std::optional<FieldInfo> field = LookUpField(in.field);
    if (!field) return "no saved field has this name";
    if (field->kind == FieldKind::Text) return "a text cannot be uncertain";
    if (field->kind == FieldKind::Recomputed)
        return "every Compute Costs run recomputes this field, so it cannot be uncertain";
    const bool list = field->kind == FieldKind::ListIndex;
    if (list && in.distribution != Kind::Discrete)
        return "a list index takes only a discrete distribution";
    if (list && in.relative) return "a list index cannot be relative";
    if (std::string problem = ParameterProblem(in, *field, names); !problem.empty()) return problem;

    const double base = ProjectValue(project, field->item);
    if (in.relative && in.distribution == Kind::Lognormal && !(base > 0.0))
        return "a relative lognormal distribution needs a project value above 0, not " +
               ShortNumber(base);
    const Distribution distribution(in, base, field->kind != FieldKind::Number);
    const double lowest = distribution.Lowest(), highest = distribution.Highest();
    // Parameters at the edge of what a double holds (an sd of 1e200, a mean of 5e-324) give
    // samples that are not numbers at all, which no range comparison would catch.
    for (const double u : {kTailProbability, 0.5, 1.0 - kTailProbability})
        if (!std::isfinite(distribution.Quantile(u)) || !std::isfinite(lowest) ||
            !std::isfinite(highest))
            return "the parameters give samples that are not finite numbers (at the 0.0001, "
                   "0.5 and 0.9999 quantiles: " +
                   ShortNumber(distribution.Quantile(kTailProbability)) + ", " +
                   ShortNumber(distribution.Quantile(0.5)) + ", " +
                   ShortNumber(distribution.Quantile(1.0 - kTailProbability)) + ")";
    if (list && (lowest < field->low || highest > field->high))
        return "value " + ShortNumber(lowest < field->low ? lowest : highest) +
               " is not an entry of its list (" + ShortNumber(field->low) + " to " +
               ShortNumber(field->high) + ")";
    if (lowest < field->low)
        return "samples reach " + ShortNumber(lowest) + ", below " + ShortNumber(field->low) +
               ", the least value Compute Costs accepts";
    if (highest > field->high)
        return "samples reach " + ShortNumber(highest) + ", above " + ShortNumber(field->high) +
               ", the largest value Compute Costs accepts";
    return {};
}

std::string CorrelationProblem(const RiskDefinitions& d, std::size_t index,
                               const EntryNames& names) {
    const RankCorrelation& c = d.correlations[index];
    if (c.first == c.second) return "a field cannot be correlated with itself";
    for (const std::string* field : {&c.first, &c.second})
        if (std::ranges::find(d.inputs, *field, &UncertainInput::field) == d.inputs.end())
            return names.Field(*field) + " is not an uncertain input";
    for (std::size_t k = 0; k < index; ++k) {
        const RankCorrelation& other = d.correlations[k];
        if ((other.first == c.first && other.second == c.second) ||
            (other.first == c.second && other.second == c.first))
            return "the pair is already correlated in " + names.Item("correlations", k);
    }
    if (!(c.rank >= -1.0 && c.rank <= 1.0))
        return "rank " + ShortNumber(c.rank) + " lies outside -1 and 1";
    return {};
}

std::string RangeProblem(std::string_view key, std::int64_t value, const EntryNames& names) {
    if (value >= 1 && value <= kMostIterations) return {};
    return names.Setting(key) + ": " + std::to_string(value) + " lies outside 1 and " +
           std::to_string(kMostIterations);
}
} // namespace

std::string EntryNames::Setting(std::string_view key) const {
    if (!label) return std::string(key);
    // The window's labels of the settings above the tables.
    static constexpr std::pair<std::string_view, std::string_view> kSettings[] = {
        {"iterations", "Iterations"},
        {"maxIterations", "Max iterations"},
        {"precision", "Precision"},
        {"seed", "Seed"},
        {"correlations", "Correlations"}};
    for (const auto& [name, shown] : kSettings)
        if (name == key) return std::string(shown);
    std::string shown(key);
    if (!shown.empty() && shown[0] >= 'a' && shown[0] <= 'z') shown[0] -= 'a' - 'A';
    return shown;
}

std::string EntryNames::Input(std::size_t row, const std::string& field) const {
    if (!label) return EntryName("inputs", row, field);
    return "Row " + std::to_string(row + 1) + " (" + Field(field) + ")";
}

std::string EntryNames::Correlation(std::size_t row, const RankCorrelation& c) const {
    if (!label) return EntryName("correlations", row, c.first + ", " + c.second);
    return "Correlation " + std::to_string(row + 1) + " (" + Field(c.first) + " and " +
           Field(c.second) + ")";
}

std::string EntryNames::Field(const std::string& field) const {
    // A name the window has no label for (a field that no longer exists) is still shown.
    if (label)
        if (std::string shown = label(field); !shown.empty()) return shown;
    return QuotedText(field);
}

std::string EntryNames::Item(std::string_view list, std::size_t k) const {
    if (!label) return EntryName(list, k);
    // The tables count their rows, and a discrete input's values, from 1.
    static constexpr std::pair<std::string_view, std::string_view> kItems[] = {
        {"inputs", "row"},
        {"correlations", "correlation"},
        {"values", "value"},
        {"probabilities", "probability"}};
    std::string one(list);
    for (const auto& [name, singular] : kItems)
        if (name == list) one = singular;
    return one + " " + std::to_string(k + 1);
}

DefinitionsCheck CheckRiskDefinitions(const RiskDefinitions& d, const ProjectData& project,
                                      const EntryNames& names) {
    if (std::string problem = RangeProblem("iterations", d.iterations, names); !problem.empty())
        return {problem};
    if (d.maxIterations)
        if (std::string problem = RangeProblem("maxIterations", *d.maxIterations, names);
            !problem.empty())
            return {problem};
    if (d.precision && !(*d.precision > 0.0 && std::isfinite(*d.precision)))
        return {names.Setting("precision") + ": " + ShortNumber(*d.precision) + " must be above 0"};
    for (std::size_t k = 0; k < d.inputs.size(); ++k) {
        const UncertainInput& in = d.inputs[k];
        std::string problem;
        const auto same = std::ranges::find(d.inputs.begin(), d.inputs.begin() + k, in.field,
                                            &UncertainInput::field);
        if (same != d.inputs.begin() + k)
            problem = "the field is already uncertain in " +
                      names.Item("inputs", static_cast<std::size_t>(same - d.inputs.begin()));
        else
            problem = InputProblem(in, project, names);
        if (!problem.empty()) return {names.Input(k, in.field) + ": " + problem};
    }
    for (std::size_t k = 0; k < d.correlations.size(); ++k) {
        const RankCorrelation& c = d.correlations[k];
        if (std::string problem = CorrelationProblem(d, k, names); !problem.empty())
            return {names.Correlation(k, c) + ": " + problem};
    }
    if (!PlanCorrelations(d).ok)
        return {names.Setting("correlations") +
                ": the ranks cannot hold together (their matrix is not positive "
                "definite); weaken some of them"};
    return {};
}

} // namespace velmora::risk
