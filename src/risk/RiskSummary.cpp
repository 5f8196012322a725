#include "RiskSummary.h"

#include "ParallelFor.h"

#include <algorithm>

namespace velmora::risk {
namespace {

// The iterations (0-based) that have a figure: none refused, and neither option gridlocked
// that `gridlock` names.
std::vector<std::uint32_t> RowsWithout(const std::vector<std::uint8_t>& outcome,
                                       std::uint8_t gridlock) {
    std::vector<std::uint32_t> rows;
    for (std::size_t i = 0; i < outcome.size(); ++i)
        if (!(outcome[i] & (kRefused | gridlock))) rows.push_back(static_cast<std::uint32_t>(i));
    return rows;
}

// One thread's buffers for the statistics, used column after column.
struct Scratch {
    std::vector<double> values;
    RankingScratch ranking;

    // The values of `column` in `rows`.
    std::vector<double>& Gather(const std::vector<double>& column,
                                const std::vector<std::uint32_t>& rows) {
        values.resize(rows.size());
        for (std::size_t k = 0; k < rows.size(); ++k) values[k] = column[rows[k]];
        return values;
    }
};

} // namespace

void SummarizeRiskAnalysis(RiskAnalysis& a, const ProjectData& project, unsigned threads) {
    // A million iterations take 24 MB of scratch per thread to rank; two threads do the
    // statistics in a fraction of the simulation's time whatever the cores.
    threads = std::min(threads, 2u);
    std::vector<Scratch> scratch(threads);
    const std::size_t asphaltTotal = ResultIndex("asphaltTotal");
    const std::size_t concreteTotal = ResultIndex("concreteTotal");

    // Most runs have no gridlock, and then one list of rows serves all figures.
    std::int64_t asphaltGridlocks = 0, concreteGridlocks = 0;
    for (std::uint8_t o : a.outcome) {
        asphaltGridlocks += (o & kAsphaltGridlock) != 0;
        concreteGridlocks += (o & kConcreteGridlock) != 0;
    }
    const std::vector<std::uint32_t> bothRows =
        RowsWithout(a.outcome, kAsphaltGridlock | kConcreteGridlock);
    std::vector<std::uint32_t> asphaltOwn, concreteOwn;
    if (concreteGridlocks > 0) asphaltOwn = RowsWithout(a.outcome, kAsphaltGridlock);
    if (asphaltGridlocks > 0) concreteOwn = RowsWithout(a.outcome, kConcreteGridlock);
    const auto& asphaltRows = concreteGridlocks > 0 ? asphaltOwn : bothRows;
    const auto& concreteRows = asphaltGridlocks > 0 ? concreteOwn : bothRows;
    std::vector<double> difference(a.outcome.size(), kNotANumber);
    for (std::uint32_t i : bothRows)
        difference[i] = a.results[asphaltTotal][i] - a.results[concreteTotal][i];

    const auto& names = ResultNames();
    ParallelFor(threads, kResultCount + 1, 1, [&](std::size_t r, unsigned w) {
        if (r == kResultCount) {
            a.difference = Describe(scratch[w].Gather(difference, bothRows));
            return;
        }
        const bool asphalt = names[r].starts_with("asphalt");
        a.statistics[r] =
            Describe(scratch[w].Gather(a.results[r], asphalt ? asphaltRows : concreteRows));
    });

    std::int64_t cheaper = 0;
    for (std::uint32_t i : bothRows) cheaper += difference[i] < 0.0;
    a.asphaltCheaper = WilsonInterval(cheaper, static_cast<std::int64_t>(bothRows.size()));
    const std::int64_t run = a.iterations - a.refusedIterations;
    a.asphaltGridlock = WilsonInterval(asphaltGridlocks, run);
    a.concreteGridlock = WilsonInterval(concreteGridlocks, run);

    struct Target {
        const std::vector<std::uint32_t>* rows;
        const std::vector<double>* column;
        std::vector<double> ranks;
    };
    std::array<Target, 3> targets{Target{&asphaltRows, &a.results[asphaltTotal], {}},
                                  Target{&concreteRows, &a.results[concreteTotal], {}},
                                  Target{&bothRows, &difference, {}}};
    for (Target& t : targets)
        Ranks(scratch[0].Gather(*t.column, *t.rows), t.ranks, scratch[0].ranking);
    a.rankCorrelations.resize(a.fields.size());
    ParallelFor(threads, a.fields.size(), 1, [&](std::size_t j, unsigned w) {
        InputSensitivity& s = a.rankCorrelations[j];
        s.field = a.fields[j];
        std::array<double*, 3> out{&s.asphaltTotal, &s.concreteTotal, &s.totalDifference};
        Scratch& mine = scratch[w];
        const std::vector<std::uint32_t>* gathered = nullptr;
        for (std::size_t t = 0; t < targets.size(); ++t) {
            if (gathered != targets[t].rows) {
                gathered = targets[t].rows;
                mine.Gather(a.inputs[j], *gathered);
            }
            *out[t] = SpearmanCorrelation(mine.values, targets[t].ranks, mine.ranking);
        }
    });
    a.capitalRecoveryFactor = CapitalRecoveryFactor(project.discountRate, project.analysisPeriod);
}

} // namespace velmora::risk
