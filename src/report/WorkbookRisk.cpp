#include "WorkbookRisk.h"

#include "risk/UncertainFields.h"

#include <algorithm>
#include <charconv>
#include <map>

namespace velmora::workbook {
namespace {

using risk::DistributionKind;
using risk::FieldInfo;
using risk::ShortNumber;
using risk::UncertainInput;

// The decimals of the shortest text that reads back as `value`.
int DecimalsOf(double value) {
    char buffer[400];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    const std::string_view text(buffer, ec == std::errc() ? end - buffer : 0);
    const std::size_t point = text.find('.');
    return point == std::string_view::npos ? 0 : static_cast<int>(text.size() - point - 1);
}

// What the sheet says of one uncertain input besides its name.
struct InputFacts {
    double projectValue = risk::kNotANumber;
    // The precision its values are shown with: none for counts and list entries; otherwise as
    // fine as the project's value or a parameter the engineer wrote, at most 4 decimals.
    int decimals = 0;
};

InputFacts FactsOf(const UncertainInput& in, const ProjectData& project) {
    const std::optional<FieldInfo> info = risk::LookUpField(in.field);
    InputFacts facts;
    if (!info) return facts;
    facts.projectValue = risk::ProjectValue(project, info->item);
    if (info->kind != FieldInfo::Kind::Number) return facts;
    facts.decimals = DecimalsOf(facts.projectValue);
    for (const std::optional<double>& p : {in.min, in.mode, in.max, in.mean, in.sd})
        if (p) facts.decimals = std::max(facts.decimals, DecimalsOf(*p));
    for (const double v : in.values) facts.decimals = std::max(facts.decimals, DecimalsOf(v));
    facts.decimals = std::min(facts.decimals, 4);
    return facts;
}

// The parameters as written in the definitions: "min 45, mode 55, max 70".
std::string ParametersText(const UncertainInput& in) {
    std::string text;
    const auto add = [&](const char* name, const std::optional<double>& value) {
        if (!value) return;
        if (!text.empty()) text += ", ";
        text += std::string(name) + " " + ShortNumber(*value);
    };
    const auto list = [](const char* name, const std::vector<double>& values) {
        std::string out = name;
        for (const double v : values) out += " " + ShortNumber(v);
        return out;
    };
    if (in.distribution == DistributionKind::Discrete)
        text = list("values", in.values) + ", " + list("probabilities", in.probabilities);
    add("mean", in.mean);
    add("sd", in.sd);
    add("min", in.min);
    add("mode", in.mode);
    add("max", in.max);
    if (in.relative) text += " (relative: times the project's value)";
    return text;
}

} // namespace

std::string InputName(const WorkbookContent& content, const std::string& field) {
    if (content.inputLabel)
        if (std::string label = content.inputLabel(field); !label.empty()) return label;
    return field;
}

std::string WriteRisk(lxw_workbook* book, const Formats& f, const WorkbookContent& content) {
    const risk::RiskAnalysis& a = *content.risk;
    std::map<std::string, InputFacts> facts;
    for (const UncertainInput& in : a.definitions.inputs)
        facts[in.field] = FactsOf(in, *content.project);
    // An input's own values, as precise as the input itself.
    const auto inputValue = [&](Sheet& s, int r, int c, const std::string& field, double value) {
        const int d = facts[field].decimals;
        s.Number(r, c, risk::Rounded(value, d), f.decimals[d], NumberWidth(value, d, false));
    };
    Sheet s(book, "Risk");
    const risk::RiskDefinitions& d = a.definitions;
    s.Text(0, 0,
           "Risk analysis: " + std::to_string(a.iterations) + " iterations (" +
               (d.sampling == risk::Sampling::LatinHypercube ? "Latin hypercube" : "Monte Carlo") +
               ", seed " + std::to_string(d.seed) + ")",
           f.bold, false);
    const risk::Proportion& cheaper = a.asphaltCheaper;
    s.Text(1, 0,
           "Asphalt is the cheaper option in " + Percent(cheaper.value) + " of " +
               std::to_string(cheaper.count) + " iterations (95 % interval " +
               Percent(cheaper.lower) + " to " + Percent(cheaper.upper) + ").",
           nullptr, false);
    if (d.precision)
        s.Text(2, 0,
               std::string(a.precisionReached ? "Precision reached" : "Precision not reached") +
                   ": the mean difference is known to within " + Fixed(a.halfWidth, 0) +
                   " dollars per mile (95 %); " + Fixed(*d.precision, 0) + " asked for.",
               nullptr, false);

    int r = 4;
    int col = 0;
    for (const char* heading : {"Result ($/mile)", "Project", "Mean", "SD", "Min"})
        s.Text(r, col++, heading, f.bold);
    for (double percent : risk::kPercents) s.Text(r, col++, Fixed(percent, 0) + " %", f.bold);
    for (const char* heading : {"Max", "EUAC of the mean", "Iterations"})
        s.Text(r, col++, heading, f.bold);
    const auto deterministic = risk::ResultValues(a.deterministic);
    const auto row = [&](const std::string& name, const risk::Statistics& st, double project) {
        ++r;
        s.Text(r, 0, name);
        if (a.deterministicRefusal)
            s.Text(r, 1, "refused", f.right);
        else
            s.Dollars(r, 1, project, f.dollars);
        int c = 2;
        for (double value : {st.mean, st.sd, st.min}) s.Dollars(r, c++, value, f.dollars);
        for (const risk::PercentileEstimate& e : st.percentiles)
            s.Dollars(r, c++, e.value, f.dollars);
        s.Dollars(r, c++, st.max, f.dollars);
        s.Dollars(r, c++, st.mean * a.capitalRecoveryFactor, f.dollars);
        s.Plain(r, c, static_cast<double>(st.count), f.decimals[0]);
    };
    const auto& names = risk::ResultNames();
    for (std::size_t k = 0; k < names.size(); ++k) row(names[k], a.statistics[k], deterministic[k]);
    row("totalDifference", a.difference,
        deterministic[risk::ResultIndex("asphaltTotal")] -
            deterministic[risk::ResultIndex("concreteTotal")]);

    r += 2;
    col = 0;
    for (const char* heading : {"Outcome", "Iterations", "Of", "Share"})
        s.Text(r, col++, heading, f.bold);
    const auto outcome = [&](const std::string& label, std::int64_t n, std::int64_t of) {
        ++r;
        s.Text(r, 0, label);
        s.Plain(r, 1, static_cast<double>(n), f.decimals[0]);
        s.Plain(r, 2, static_cast<double>(of), f.decimals[0]);
        if (of > 0) s.Plain(r, 3, static_cast<double>(n) / static_cast<double>(of), f.share);
    };
    outcome("Asphalt cheaper", cheaper.successes, cheaper.count);
    outcome("Asphalt gridlock", a.asphaltGridlock.successes, a.asphaltGridlock.count);
    outcome("Concrete gridlock", a.concreteGridlock.successes, a.concreteGridlock.count);
    outcome("Refused by Compute Costs", a.refusedIterations, a.iterations);
    for (const risk::RefusalTally& t : a.refusals) {
        outcome("Refused: " + t.refusal.caption, t.count, a.iterations);
        std::string text = t.refusal.text;
        std::ranges::replace(text, '\n', ' ');
        s.Text(r, 4, "first in iteration " + std::to_string(t.firstIteration) + ": " + text,
               nullptr, false);
    }

    r += 2;
    const int swingHeading = r;
    col = 0;
    for (const char* heading : {"Input", "Rank corr. asphaltTotal", "Rank corr. concreteTotal",
                                "Rank corr. totalDifference", "Input at P10", "Input at P90",
                                "Difference at P10", "Difference at P90", "Swing"})
        s.Text(r, col++, heading, f.bold);
    for (const risk::Swing& swing : a.swings) {
        ++r;
        s.Text(r, 0, InputName(content, swing.field));
        const auto sensitivity =
            std::ranges::find(a.rankCorrelations, swing.field, &risk::InputSensitivity::field);
        if (sensitivity != a.rankCorrelations.end()) {
            s.Plain(r, 1, sensitivity->asphaltTotal, f.decimals[2]);
            s.Plain(r, 2, sensitivity->concreteTotal, f.decimals[2]);
            s.Plain(r, 3, sensitivity->totalDifference, f.decimals[2]);
        }
        inputValue(s, r, 4, swing.field, swing.low);
        inputValue(s, r, 5, swing.field, swing.high);
        s.Dollars(r, 6, swing.differenceAtLow, f.dollars);
        s.Dollars(r, 7, swing.differenceAtHigh, f.dollars);
        s.Dollars(r, 8, swing.width, f.dollars);
    }

    r += 2;
    s.Text(r++, 0, "Distributions assumed", f.bold);
    col = 0;
    for (const char* heading : {"Input", "Distribution", "Parameters", "Project value"})
        s.Text(r, col++, heading, f.bold);
    for (const UncertainInput& in : a.definitions.inputs) {
        ++r;
        s.Text(r, 0, InputName(content, in.field));
        s.Text(r, 1, std::string(risk::DistributionLabel(in.distribution)));
        s.Text(r, 2, ParametersText(in));
        inputValue(s, r, 3, in.field, facts[in.field].projectValue);
    }
    ChartRisk(book, s, f, content, r + 2, swingHeading);
    worksheet_freeze_panes(s.get(), 2, 0);
    return s.Finish();
}

std::string WriteSamples(lxw_workbook* book, const Formats& f, const WorkbookContent& content) {
    const risk::RiskAnalysis& a = *content.risk;
    const std::int64_t rowLimit = content.sampleRowLimit;
    lxw_worksheet* s = workbook_add_worksheet(book, "Samples");
    std::vector<std::string> headings{"iteration"};
    for (const std::string& field : a.fields) headings.push_back(InputName(content, field));
    for (const std::string& name : risk::ResultNames()) headings.push_back(name);
    for (const char* name : {"asphaltGridlock", "concreteGridlock", "refused"})
        headings.emplace_back(name);
    for (std::size_t col = 0; col < headings.size(); ++col) {
        const int at = static_cast<int>(col);
        if (std::string problem =
                WriteText(s, 0, at, headings[col], f.bold, "A heading on sheet Samples");
            !problem.empty())
            return problem;
        worksheet_set_column(s, col, col, std::max<double>(12, headings[col].size() + 2), nullptr);
    }
    worksheet_freeze_panes(s, 1, 0);

    const auto iterations = static_cast<std::int64_t>(a.outcome.size());
    const bool cut = iterations > rowLimit - 1;
    const std::int64_t rows = cut ? rowLimit - 2 : iterations;
    for (std::int64_t i = 0; i < rows; ++i) {
        const auto row = static_cast<lxw_row_t>(i + 1);
        lxw_col_t col = 0;
        worksheet_write_number(s, row, col++, static_cast<double>(i + 1), nullptr);
        for (const std::vector<double>& column : a.inputs)
            worksheet_write_number(s, row, col++, column[i], nullptr);
        const std::uint8_t o = a.outcome[i];
        for (const std::vector<double>& column : a.results) {
            if (!(o & risk::kRefused)) worksheet_write_number(s, row, col, column[i], nullptr);
            ++col;
        }
        for (std::uint8_t bit : {risk::kAsphaltGridlock, risk::kConcreteGridlock, risk::kRefused})
            worksheet_write_number(s, row, col++, (o & bit) ? 1.0 : 0.0, nullptr);
    }
    if (!cut) return {};
    return WriteText(s, static_cast<int>(rows + 1), 0,
                     "Only the first " + std::to_string(rows) + " of " +
                         std::to_string(iterations) +
                         " iterations fit on this sheet; velmora-cli simulate --samples writes "
                         "them all.",
                     f.bold, "The note on sheet Samples");
}

} // namespace velmora::workbook
