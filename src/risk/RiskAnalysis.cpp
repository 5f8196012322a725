#include "RiskAnalysis.h"

#include "Distribution.h"
#include "ParallelFor.h"
#include "RankCorrelation.h"
#include "RiskDefinitionsCheck.h"
#include "RiskSummary.h"
#include "Sampling.h"
#include "UncertainFields.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numeric>
#include <thread>

namespace velmora::risk {
namespace {

// Precision-driven runs look at the half-width after each block of this many iterations, and
// draw their Latin hypercube samples block by block.
constexpr std::int64_t kPrecisionBlock = 1000;
// Iterations a thread takes at a time.
constexpr std::size_t kChunk = 64;

static_assert(sizeof(CostResults) == kResultCount * sizeof(double));
using ResultArray = std::array<double, kResultCount>;

// Where the k-th result of ForEachCostResult lies among the doubles of CostResults.
const std::array<std::size_t, kResultCount>& ResultPositions() {
    static const auto positions = [] {
        ResultArray index;
        std::iota(index.begin(), index.end(), 0.0);
        std::array<std::size_t, kResultCount> out{};
        std::size_t k = 0;
        ForEachCostResult(std::bit_cast<CostResults>(index), [&](const std::string&, double v) {
            out[k++] = static_cast<std::size_t>(v);
        });
        return out;
    }();
    return positions;
}

// One thread's working copy of the project and where its uncertain fields lie in it.
struct Worker {
    ProjectData project;
    std::vector<FieldSlot> slots;
    std::vector<RefusalTally> refusals;
    std::vector<std::uint32_t> strata;
};

// Counts `tally` in `tallies`, which keep one entry per refusal and its first iteration.
void Tally(std::vector<RefusalTally>& tallies, RefusalTally&& tally) {
    const auto same = std::ranges::find_if(tallies, [&](const RefusalTally& t) {
        return t.refusal.text == tally.refusal.text && t.refusal.caption == tally.refusal.caption;
    });
    if (same == tallies.end()) {
        tallies.push_back(std::move(tally));
        return;
    }
    same->count += tally.count;
    same->firstIteration = std::min(same->firstIteration, tally.firstIteration);
}

// The mean and spread of the differences so far, added in iteration order.
struct RunningMean {
    std::int64_t n = 0;
    double mean = 0.0, squares = 0.0;
    void Add(double x) {
        ++n;
        const double delta = x - mean;
        mean += delta / static_cast<double>(n);
        squares += delta * (x - mean);
    }
    double HalfWidth() const {
        if (n < 2) return kNotANumber;
        return kZ95 * std::sqrt(squares / static_cast<double>(n - 1) / n);
    }
};

const std::size_t kAsphaltTotal = ResultIndex("asphaltTotal");
const std::size_t kConcreteTotal = ResultIndex("concreteTotal");

class Simulation {
public:
    Simulation(const ProjectData& project, const RiskDefinitions& d, const SimulationOptions& o,
               RiskAnalysis& a)
        : project_(project), d_(d), a_(a), control_(o.control),
          threads_(o.threads ? o.threads : std::max(1u, std::thread::hardware_concurrency())) {
        ProjectData base = project;
        std::vector<int> items;
        std::vector<bool> whole;
        for (const UncertainInput& input : d.inputs) {
            const FieldInfo info = *LookUpField(input.field);
            items.push_back(info.item);
            whole.push_back(info.kind != FieldInfo::Kind::Number);
            a.fields.push_back(input.field);
        }
        const std::vector<FieldSlot> slots = FindSlots(base, items);
        for (std::size_t j = 0; j < slots.size(); ++j)
            distributions_.emplace_back(d.inputs[j], slots[j].Get(), whole[j]);
        workers_.resize(threads_);
        scratch_.resize(std::min(threads_, kRankingThreads));
        for (Worker& w : workers_) {
            w.project = project;
            w.slots = FindSlots(w.project, items);
        }
        plan_ = PlanCorrelations(d);
    }

    // The iterations; false when cancelled.
    bool Run() {
        const bool byPrecision = d_.precision.has_value();
        const std::int64_t most = d_.MostIterations();
        const std::int64_t block = byPrecision ? kPrecisionBlock : most;
        if (control_) control_->iterationsPlanned = most;
        RunningMean difference;
        std::int64_t done = 0;
        while (done < most) {
            const std::int64_t n = std::min(block, most - done);
            if (!Sample(done, static_cast<std::size_t>(n)) || !Analyse(done, n)) return false;
            const std::int64_t first = done;
            done += n;
            if (byPrecision) {
                for (std::int64_t i = first; i < done; ++i)
                    if (a_.outcome[i] == 0)
                        difference.Add(a_.results[kAsphaltTotal][i] -
                                       a_.results[kConcreteTotal][i]);
                a_.halfWidth = difference.HalfWidth();
                a_.precisionReached = a_.halfWidth < *d_.precision;
                if (a_.precisionReached) break;
            }
        }
        a_.iterations = done;
        for (Worker& w : workers_) std::vector<std::uint32_t>().swap(w.strata);
        for (Worker& w : workers_)
            for (RefusalTally& t : w.refusals) {
                a_.refusedIterations += t.count;
                Tally(a_.refusals, std::move(t));
            }
        std::ranges::sort(a_.refusals, {}, &RefusalTally::firstIteration);
        return true;
    }

    std::vector<Swing> Swings() const {
        std::vector<Swing> swings(distributions_.size());
        for (std::size_t j = 0; j < swings.size(); ++j) {
            swings[j].field = a_.fields[j];
            swings[j].low = distributions_[j].Quantile(0.1);
            swings[j].high = distributions_[j].Quantile(0.9);
        }
        ParallelFor(threads_, 2 * swings.size(), 1, [&](std::size_t run, unsigned) {
            Swing& s = swings[run / 2];
            if (run % 2 == 0)
                s.differenceAtLow = DifferenceWith(run / 2, s.low);
            else
                s.differenceAtHigh = DifferenceWith(run / 2, s.high);
        });
        for (Swing& s : swings) s.width = std::fabs(s.differenceAtHigh - s.differenceAtLow);
        std::ranges::stable_sort(swings, [](const Swing& a, const Swing& b) {
            return a.width > b.width || (std::isnan(b.width) && !std::isnan(a.width));
        });
        return swings;
    }

    // One set of ranking buffers per ranking thread, from the reordering of correlated samples
    // to the summary.
    std::vector<RankingScratch>& Scratch() { return scratch_; }

private:
    bool Cancelled() const { return control_ && control_->cancel.load(std::memory_order_relaxed); }

    // Grows the columns to first + n rows and draws the block's samples of every input; false
    // when cancelled. Each input's task tabulates its distribution on the first block, grows its
    // column and turns the probabilities into values while the column is fresh in the cache.
    // New pages cost about as much to fault in as samples to draw into them, and faults do not
    // go faster on more threads: the result columns grow in tasks between the inputs', so that
    // one thread faults while another draws.
    bool Sample(std::int64_t first, std::size_t n) {
        const std::size_t size = first + n, inputs = distributions_.size();
        const std::size_t pairs = std::min(inputs, kResultCount);
        ParallelFor(threads_, inputs + kResultCount, 1, [&](std::size_t task, unsigned w) {
            if (Cancelled()) return;
            const bool input = task < 2 * pairs ? task % 2 == 0 : inputs > kResultCount;
            const std::size_t j = task < 2 * pairs ? task / 2 : task - pairs;
            if (!input) {
                a_.results[j].resize(size, kNotANumber);
                return;
            }
            if (first == 0) distributions_[j].Tabulate();
            a_.inputs[j].resize(size);
            double* column = a_.inputs[j].data() + first;
            FillProbabilities(d_.sampling, d_.seed, first, n, static_cast<std::uint32_t>(j), column,
                              workers_[w].strata);
            for (std::size_t t = 0; t < n; ++t) column[t] = distributions_[j].Quantile(column[t]);
        });
        a_.outcome.resize(size);
        std::vector<double*> columns;
        for (std::size_t j : plan_.inputs) columns.push_back(a_.inputs[j].data() + first);
        if (!Cancelled())
            ImposeRankCorrelation(plan_, columns, n, d_.seed, first, scratch_,
                                  control_ ? &control_->cancel : nullptr);
        return !Cancelled();
    }

    bool Analyse(std::int64_t first, std::int64_t n) {
        ParallelFor(threads_, static_cast<std::size_t>(n), kChunk, [&](std::size_t t, unsigned w) {
            if (Cancelled()) return;
            const std::size_t i = first + t;
            Worker& worker = workers_[w];
            // The check keeps every quantile finite; should a sample still not be a number, the
            // iteration is refused rather than run on it.
            std::size_t j = 0;
            for (; j < worker.slots.size() && std::isfinite(a_.inputs[j][i]); ++j)
                worker.slots[j].Set(a_.inputs[j][i]);
            if (j < worker.slots.size()) {
                a_.outcome[i] = kRefused;
                Tally(worker.refusals, {{"A sample of " + a_.fields[j] + " is not a finite number.",
                                         "Risk Analysis"},
                                        1,
                                        static_cast<std::int64_t>(i) + 1});
            } else if (HandOff handOff = PrepareAnalysis(worker.project); !handOff.ok()) {
                a_.outcome[i] = kRefused;
                Tally(worker.refusals,
                      {std::move(handOff.refusal), 1, static_cast<std::int64_t>(i) + 1});
            } else {
                const AnalysisResult run = RunAnalysis(worker.project);
                const ResultArray values = ResultValues(run.results);
                for (std::size_t r = 0; r < kResultCount; ++r) a_.results[r][i] = values[r];
                a_.outcome[i] =
                    (run.option[PavementOption::Asphalt].gridlock ? kAsphaltGridlock : 0) |
                    (run.option[PavementOption::Concrete].gridlock ? kConcreteGridlock : 0);
            }
            if (control_) control_->iterationsDone.fetch_add(1, std::memory_order_relaxed);
        });
        return !Cancelled();
    }

    // Asphalt total - concrete total with input j at `value` and the rest as the project has it.
    double DifferenceWith(std::size_t j, double value) const {
        ProjectData copy = project_;
        FindSlots(copy, {LookUpField(a_.fields[j])->item}).front().Set(value);
        using namespace PavementOption;
        if (!PrepareAnalysis(copy).ok()) return kNotANumber;
        const AnalysisResult run = RunAnalysis(copy);
        if (run.option[Asphalt].gridlock || run.option[Concrete].gridlock) return kNotANumber;
        return run.results[Asphalt].total - run.results[Concrete].total;
    }

    const ProjectData& project_;
    const RiskDefinitions& d_;
    RiskAnalysis& a_;
    SimulationControl* control_;
    unsigned threads_;
    std::vector<Distribution> distributions_;
    std::vector<Worker> workers_;
    std::vector<RankingScratch> scratch_;
    CorrelationPlan plan_;
};

} // namespace

std::size_t ResultIndex(std::string_view name) {
    return static_cast<std::size_t>(std::ranges::find(ResultNames(), name) - ResultNames().begin());
}

const std::array<std::string, kResultCount>& ResultNames() {
    static const auto names = [] {
        std::array<std::string, kResultCount> out;
        std::size_t k = 0;
        ForEachCostResult(CostResults{}, [&](const std::string& name, double) { out[k++] = name; });
        return out;
    }();
    return names;
}

std::array<double, kResultCount> ResultValues(const CostResults& results) {
    const auto raw = std::bit_cast<ResultArray>(results);
    ResultArray out;
    for (std::size_t r = 0; r < kResultCount; ++r) out[r] = raw[ResultPositions()[r]];
    return out;
}

RiskAnalysis RunRiskAnalysis(const ProjectData& project, const RiskDefinitions& definitions,
                             const SimulationOptions& options) {
    RiskAnalysis a;
    a.error = CheckRiskDefinitions(definitions, project).error;
    if (!a.error.empty()) return a;
    a.definitions = definitions;
    a.inputs.resize(definitions.inputs.size());

    ProjectData copy = project;
    if (HandOff handOff = PrepareAnalysis(copy); !handOff.ok()) {
        a.deterministicRefusal = std::move(handOff.refusal);
    } else {
        const AnalysisResult run = RunAnalysis(copy);
        a.deterministic = run.results;
        a.deterministicAsphaltGridlock = run.option[PavementOption::Asphalt].gridlock;
        a.deterministicConcreteGridlock = run.option[PavementOption::Concrete].gridlock;
    }

    Simulation simulation(project, definitions, options, a);
    if (!simulation.Run()) {
        RiskAnalysis cancelled;
        cancelled.cancelled = true;
        return cancelled;
    }
    SummarizeRiskAnalysis(a, project, simulation.Scratch());
    a.swings = simulation.Swings();
    return a;
}

} // namespace velmora::risk
