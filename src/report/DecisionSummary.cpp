#include "DecisionSummary.h"

#include "NumberText.h"
#include "engine/CashFlow.h"
#include "risk/RiskDefinitions.h"
#include "risk/Statistics.h"

#include <charconv>
#include <cmath>

namespace velmora {
namespace {

// An input's value as a reader takes it in: 72.5, 0.0315, 24,000.
std::string InputValue(double value) {
    if (!std::isfinite(value)) return "-";
    if (std::abs(value) >= 1000.0 && std::abs(value) < 9e18) return Grouped(std::llround(value));
    char buffer[64];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 4);
    return std::string(buffer, end);
}

std::string Sentence(const ProjectData& p, const CostResults& r) {
    const double asphalt = r[PavementOption::Asphalt].total;
    const double concrete = r[PavementOption::Concrete].total;
    const std::string basis = " in net present value over " + risk::ShortNumber(p.analysisPeriod) +
                              " years at " + Fixed(p.discountRate, 2) + " %";
    if (asphalt == concrete) return "The options cost the same per mile" + basis;
    const bool concreteCheaper = concrete < asphalt;
    const double dearer = concreteCheaper ? asphalt : concrete;
    const double difference = std::abs(asphalt - concrete);
    std::string sentence = std::string(concreteCheaper ? "Concrete" : "Asphalt") +
                           " is the cheaper option by " + Dollars(difference) + " per mile";
    if (dearer > 0.0) {
        const double share = difference / dearer;
        // A difference that is not nothing never reads as 0.0 %.
        sentence += " (" + (share < 0.0005 ? std::string("less than 0.1 %") : Percent(share)) +
                    " of the " + PavementOption::kNames[concreteCheaper ? 0 : 1] + " total)";
    }
    return sentence + basis;
}

std::vector<std::string> Caveats(const ProjectData& p, const AnalysisResult& run) {
    std::vector<std::string> caveats;
    for (int option : {PavementOption::Asphalt, PavementOption::Concrete})
        if (run.option[option].gridlock)
            caveats.push_back(
                std::string("Gridlock: the work zone queue of the ") +
                PavementOption::kNames[option] +
                " option grows every day and never clears, so its user delay costs could not be "
                "computed. Its total holds agency and maintenance costs only and understates what "
                "the option costs road users.");
    const bool initial = p.StageInclusion(0) == WzInclusion::Include;
    const bool rehab = p.StageInclusion(1) == WzInclusion::Include;
    if (!initial && !rehab)
        caveats.push_back("Work zone user delay costs are excluded: the totals hold agency and "
                          "maintenance costs only.");
    else if (!initial)
        caveats.push_back("Work zone user delay costs of the initial construction are excluded.");
    else if (!rehab)
        caveats.push_back("Work zone user delay costs of the overlays and rehabilitations are "
                          "excluded.");
    return caveats;
}

std::vector<DecisionLine> Table(const ProjectData& p, const CostResults& r) {
    std::vector<DecisionLine> lines;
    const auto line = [&](const char* label, auto value) {
        DecisionLine l{label, {value(r[0]), value(r[1])}, 0.0};
        l.difference = l.option[0] - l.option[1];
        lines.push_back(l);
    };
    line("Agency", [](const OptionCosts& c) { return c.agencySubtotal; });
    line("User delay", [](const OptionCosts& c) { return c.userSubtotal; });
    line("Maintenance", [](const OptionCosts& c) { return c.maintenanceCost; });
    line("Total (net present value)", [](const OptionCosts& c) { return c.total; });
    line("Equivalent uniform annual cost", [&](const OptionCosts& c) {
        return std::round(EquivalentUniformAnnualCost(c.total, p.discountRate, p.analysisPeriod));
    });
    return lines;
}

void AddRisk(DecisionSummary& s, const risk::RiskAnalysis& a,
             const std::function<std::string(const std::string&)>& inputLabel) {
    s.riskSentence = CheaperOptionSentence(a.asphaltCheaper) + " of a risk analysis (" +
                     (a.definitions.sampling == risk::Sampling::LatinHypercube ? "Latin hypercube"
                                                                               : "Monte Carlo") +
                     " sampling, seed " + std::to_string(a.definitions.seed) + ")";
    const auto spread = [&](const char* label, const risk::Statistics& st) {
        // 5, 50 and 95 among the percentiles every analysis describes.
        s.riskSpreads.push_back(
            {label, {st.percentiles[0].value, st.percentiles[3].value, st.percentiles[6].value}});
    };
    spread("Asphalt total", a.statistics[risk::ResultIndex("asphaltTotal")]);
    spread("Concrete total", a.statistics[risk::ResultIndex("concreteTotal")]);
    spread(kDifferenceHeading, a.difference);
    for (const risk::Swing& swing : a.swings) {
        if (s.riskDrivers.size() == 3) break;
        if (!std::isfinite(swing.width)) continue;
        const std::string label = inputLabel ? inputLabel(swing.field) : swing.field;
        s.riskDrivers.push_back(label + ": from " + InputValue(swing.low) + " to " +
                                InputValue(swing.high) + " moves the difference from " +
                                Dollars(swing.differenceAtLow) + " to " +
                                Dollars(swing.differenceAtHigh));
    }
}

} // namespace

std::string CheaperOptionSentence(const risk::Proportion& p) {
    const bool asphalt = !(p.value < 0.5);
    const double value = asphalt ? p.value : 1.0 - p.value;
    const double lower = asphalt ? p.lower : 1.0 - p.upper;
    const double upper = asphalt ? p.upper : 1.0 - p.lower;
    const auto number = [](double share) {
        return std::isfinite(share) ? Fixed(100.0 * share, 1) : std::string("-");
    };
    return std::string(asphalt ? "Asphalt" : "Concrete") + " is the cheaper option in " +
           number(value) + " % of " + Grouped(p.count) + " iterations (95 %: " + number(lower) +
           "\u2013" + number(upper) + " %)";
}

DecisionSummary
SummarizeDecision(const ProjectData& project, const AnalysisResult* run, const Refusal* refusal,
                  const risk::RiskAnalysis* risk,
                  const std::function<std::string(const std::string& field)>& inputLabel) {
    DecisionSummary s;
    s.basis = "Analysis period " + risk::ShortNumber(project.analysisPeriod) +
              " years, discount rate " + Fixed(project.discountRate, 2) + " %";
    if (refusal || !run) {
        // A refused project has no costs: the page says why, and claims nothing else.
        s.refused = true;
        s.headline = "The costs cannot be computed: " +
                     (refusal ? refusal->caption : std::string("the analysis did not run"));
        if (refusal) s.caveats.push_back(refusal->text);
        return s;
    }
    s.headline = Sentence(project, run->results);
    s.caveats = Caveats(project, *run);
    s.table = Table(project, run->results);
    if (risk && !risk->deterministicRefusal) AddRisk(s, *risk, inputLabel);
    return s;
}

} // namespace velmora
