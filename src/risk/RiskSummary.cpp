#include "RiskSummary.h"

#include "ParallelFor.h"

#include <algorithm>

namespace velmora::risk {
namespace {

// The values of `column` in the rows `kept` keeps, in row order, in the scratch's values.
std::vector<double>& Gather(const std::vector<double>& column, KeptRows kept,
                            RankingScratch& scratch) {
    std::vector<double>& values = scratch.values;
    values.resize(column.size());
    std::size_t m = 0;
    for (std::size_t i = 0; i < column.size(); ++i) {
        values[m] = column[i];
        m += kept(i);
    }
    values.resize(m);
    return values;
}

} // namespace

void SummarizeRiskAnalysis(RiskAnalysis& a, const ProjectData& project,
                           std::vector<RankingScratch>& scratch) {
    const auto threads = static_cast<unsigned>(scratch.size());
    const std::size_t asphaltTotal = ResultIndex("asphaltTotal");
    const std::size_t concreteTotal = ResultIndex("concreteTotal");

    // Each option's figures keep the iterations it did not gridlock in; the difference keeps
    // those neither did.
    const std::uint8_t* flags = a.outcome.data();
    const KeptRows asphaltRows{flags, kRefused | kAsphaltGridlock};
    const KeptRows concreteRows{flags, kRefused | kConcreteGridlock};
    const KeptRows bothRows{flags, kRefused | kAsphaltGridlock | kConcreteGridlock};
    std::int64_t asphaltGridlocks = 0, concreteGridlocks = 0, compared = 0, cheaper = 0;
    std::vector<double> difference(a.outcome.size(), kNotANumber);
    for (std::size_t i = 0; i < a.outcome.size(); ++i) {
        asphaltGridlocks += (flags[i] & kAsphaltGridlock) != 0;
        concreteGridlocks += (flags[i] & kConcreteGridlock) != 0;
        if (!bothRows(i)) continue;
        difference[i] = a.results[asphaltTotal][i] - a.results[concreteTotal][i];
        ++compared;
        cheaper += difference[i] < 0.0;
    }
    a.asphaltCheaper = WilsonInterval(cheaper, compared);
    const std::int64_t run = a.iterations - a.refusedIterations;
    a.asphaltGridlock = WilsonInterval(asphaltGridlocks, run);
    a.concreteGridlock = WilsonInterval(concreteGridlocks, run);

    // The statistics of every figure and the ranks of the three that inputs are ranked against
    // do not depend on one another.
    const std::array<const std::vector<double>*, 3> ranked{&a.results[asphaltTotal],
                                                           &a.results[concreteTotal], &difference};
    const std::array<KeptRows, 3> kept{asphaltRows, concreteRows, bothRows};
    std::array<RankedFigure, 3> figures;
    const auto& names = ResultNames();
    ParallelFor(threads, figures.size() + kResultCount + 1, 1, [&](std::size_t task, unsigned w) {
        if (task < figures.size()) {
            figures[task] = RankFigure(*ranked[task], kept[task], scratch[w]);
            return;
        }
        const std::size_t r = task - figures.size();
        if (r == kResultCount) {
            a.difference = Describe(Gather(difference, bothRows, scratch[w]));
            return;
        }
        const bool asphalt = names[r].starts_with("asphalt");
        a.statistics[r] = Describe(Gather(a.results[r], kept[asphalt ? 0 : 1], scratch[w]));
    });

    a.rankCorrelations.resize(a.fields.size());
    ParallelFor(threads, a.fields.size(), 1, [&](std::size_t j, unsigned w) {
        InputSensitivity& s = a.rankCorrelations[j];
        s.field = a.fields[j];
        double rho[3];
        SpearmanCorrelations(a.inputs[j], figures.data(), figures.size(), rho, scratch[w]);
        s.asphaltTotal = rho[0];
        s.concreteTotal = rho[1];
        s.totalDifference = rho[2];
    });
    a.capitalRecoveryFactor = CapitalRecoveryFactor(project.discountRate, project.analysisPeriod);
}

} // namespace velmora::risk
