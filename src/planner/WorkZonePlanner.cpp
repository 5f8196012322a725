#include "WorkZonePlanner.h"

#include "engine/Arithmetic.h"
#include "engine/CostResults.h"

#include <algorithm>
#include <cmath>

namespace velmora::planner {
namespace {

struct StageInput {
    double year;
    double daysToComplete;
};

StageInput StageOf(const ProjectData& p, int option, int stage) {
    if (option == PavementOption::Asphalt)
        return {p.asphaltStage[stage].year, p.asphaltStage[stage].daysToComplete};
    return {p.concreteStage[stage].year, p.concreteStage[stage].daysToComplete};
}

double StageAdt(const ProjectData& p, double year) {
    return GrownVolume(p.aadt, p.trafficGrowth, 100.0, year);
}

double ProductiveHours(ClosureWindow window, double setupHours) {
    const int hours = WindowHours(window);
    return hours == 24 ? 24.0 : hours - setupHours;
}

// A window's simulated day with what the candidates and the hourly table read of it.
struct WindowDay {
    StageTraffic traffic;
    bool gridlock = false;
    double maxQueueMiles = 0.0;
    double maxDelayMinutes = 0.0;
};

WindowDay SimulateWindow(const WorkZoneModel& m, double speedLimit,
                         const std::array<Hours, 2>& demand, ClosureWindow window) {
    const SimulatedDay day =
        QueueSimulation(demand, m.normalCapacity, m.closureCapacity, m.queueCapacity, window);
    WindowDay out;
    out.traffic.day = day.direction;
    out.gridlock = day.gridlock;
    if (day.gridlock) return out;
    for (int d = 0; d < 2; ++d) {
        HourlyQuantities& q = out.traffic.hourly[d];
        q = DeriveHourlyQuantities(day.direction[d], window, m.normalCapacity, speedLimit);
        for (int h = 0; h < 24; ++h) {
            out.maxQueueMiles = std::max(out.maxQueueMiles, q.queueLength[h]);
            out.maxDelayMinutes = std::max(out.maxDelayMinutes, q.queueDelay[h] * 60.0);
        }
    }
    return out;
}

double StageUserCost(const ProjectData& p, const UserCostComponents& components, double year) {
    return UserStageValue(components, p.projectLength, year, p.discountRate);
}

bool Overlaps(ClosureWindow window, HourRange range) {
    const int hours = WindowHours({range.from, range.to % 24});
    for (int k = 0; k < hours; ++k)
        if (window.Contains((range.from + k) % 24)) return true;
    return false;
}

Candidate Price(const PreparedProject& prepared, const WindowDay& day, ClosureWindow window,
                const StageInput& stage, ClosureWindow projectWindow,
                const PlannerSettings& settings) {
    const ProjectData& p = prepared.project;
    Candidate c;
    c.window = window;
    c.hours = WindowHours(window);
    c.maxQueueMiles = day.maxQueueMiles;
    c.maxDelayMinutes = day.maxDelayMinutes;
    if (day.gridlock) c.broken |= Broken::Gridlock;
    if (ProductiveHours(window, settings.setupHours) <= 0.0) c.broken |= Broken::NoWorkTime;
    if (c.priced()) {
        const WorkZoneModel& m = prepared.model;
        c.days = WindowDays(stage.daysToComplete, projectWindow, window, settings.setupHours);
        c.closures = c.hours == 24 ? (c.days > 0.0 ? 1.0 : 0.0) : c.days;
        c.userCost = StageUserCost(
            p, ValueUserCostComponents(day.traffic, m.tables, m.rows, m.workZoneDelay, c.days),
            stage.year);
        c.closureCost = RoundWhole(PresentWorth(c.closures * settings.closureCost / p.projectLength,
                                                stage.year, p.discountRate));
        c.total = c.userCost + c.closureCost;
    }
    if (settings.maxQueueMiles && c.maxQueueMiles > *settings.maxQueueMiles)
        c.broken |= Broken::QueueLength;
    if (settings.maxDelayMinutes && c.maxDelayMinutes > *settings.maxDelayMinutes)
        c.broken |= Broken::Delay;
    if (settings.maxDays && c.days > *settings.maxDays) c.broken |= Broken::Days;
    for (const HourRange& r : settings.noClosure)
        if (Overlaps(window, r)) c.broken |= Broken::ClosedHours;
    return c;
}

// Cheapest feasible first; among equal totals fewer days, then the earlier and shorter window.
bool Ranks(const Candidate& a, const Candidate& b) {
    const auto key = [](const Candidate& c) {
        return std::tuple(!c.feasible(), !c.priced(), c.total, c.days, c.window.start, c.hours);
    };
    return key(a) < key(b);
}

} // namespace

const std::array<ClosureWindow, kWindowCount>& CandidateWindows() {
    static const auto kWindows = [] {
        std::array<ClosureWindow, kWindowCount> windows;
        int n = 0;
        for (int start = 0; start < 24; ++start)
            for (int length = 1; length < 24; ++length)
                windows[n++] = {start, (start + length) % 24};
        windows[n] = {0, 0};
        return windows;
    }();
    return kWindows;
}

int WindowHours(ClosureWindow w) {
    return w.end <= w.start ? w.end + 24 - w.start : w.end - w.start;
}

bool SameWindow(ClosureWindow a, ClosureWindow b) {
    return WindowHours(a) == 24 ? WindowHours(b) == 24 : a.start == b.start && a.end == b.end;
}

ClosureWindow ProjectWindow(const ProjectData& p, int option) {
    return ClosureWindowFor(option == PavementOption::Asphalt ? p.asphaltWzTiming
                                                              : p.concreteWzTiming);
}

int StageSearch::RankOf(ClosureWindow window) const {
    for (std::size_t k = 0; k < candidates.size(); ++k)
        if (SameWindow(candidates[k].window, window)) return static_cast<int>(k);
    return -1;
}

const char* OptionName(int option) {
    return option == PavementOption::Asphalt ? "Asphalt" : "Concrete";
}

const char* StageName(int option, int stage) {
    return PavementOption::kStageNames[option][stage];
}

const char* ComponentName(int component) {
    static constexpr std::array<const char*, UserCostComponent::Count> kNames{
        "Queue delay",
        "Queue idling",
        "Queue stops, time",
        "Queue stops, operating",
        "Work zone speed",
        "Speed changes, time",
        "Speed changes, operating"};
    return kNames[component];
}

std::string HourText(int h) {
    return std::to_string(h % 12 == 0 ? 12 : h % 12) + (h < 12 ? " AM" : " PM");
}

std::string WindowText(ClosureWindow w) {
    if (WindowHours(w) == 24) return "24 hours";
    return HourText(w.start) + "-" + HourText(w.end);
}

std::string BrokenText(unsigned broken) {
    static constexpr std::pair<unsigned, const char*> kWords[] = {
        {Broken::Gridlock, "gridlock"},          {Broken::NoWorkTime, "no time to work"},
        {Broken::QueueLength, "queue too long"}, {Broken::Delay, "delay too long"},
        {Broken::Days, "too many days"},         {Broken::ClosedHours, "in no-closure hours"}};
    std::string text;
    for (const auto& [bit, word] : kWords)
        if (broken & bit) text += (text.empty() ? "" : ", ") + std::string(word);
    return text;
}

PreparedProject PrepareProject(const ProjectData& project) {
    PreparedProject prepared{project, {}, {}};
    prepared.project.initialWzInclusion = WzInclusion::Include;
    prepared.project.rehabWzInclusion = WzInclusion::Include;
    prepared.refusal = PrepareAnalysis(prepared.project).refusal;
    if (prepared.ok()) prepared.model = MakeWorkZoneModel(prepared.project);
    return prepared;
}

double WindowDays(double daysToComplete, ClosureWindow projectWindow, ClosureWindow window,
                  double setupHours) {
    // The project's own window keeps its days exactly, as Compute Costs counts them.
    if (SameWindow(window, projectWindow)) return std::trunc(daysToComplete);
    const double productive = ProductiveHours(window, setupHours);
    if (productive <= 0.0) return 0.0;
    return std::trunc(daysToComplete * ProductiveHours(projectWindow, setupHours) / productive);
}

StageDay SimulateDemand(const WorkZoneModel& model, double speedLimit,
                        const std::array<Hours, 2>& demand, ClosureWindow window, double days) {
    const WindowDay day = SimulateWindow(model, speedLimit, demand, window);
    StageDay out;
    out.window = window;
    out.days = days;
    out.gridlock = day.gridlock;
    for (int d = 0; d < 2; ++d) {
        const DirectionDay& sim = day.traffic.day[d];
        const HourlyQuantities& q = day.traffic.hourly[d];
        for (int h = 0; h < 24; ++h) {
            HourRow& row = out.hours[d][h];
            const double before = sim.queue[h == 0 ? 23 : h - 1];
            row.demand = sim.demand[h];
            row.capacity = sim.capacity[h];
            row.queue = sim.queue[h];
            row.queueMiles = q.queueLength[h];
            row.delayMinutes = q.queueDelay[h] * 60.0;
            row.served = std::max(0.0, before + sim.demand[h] - sim.queue[h]);
            row.closed = window.Contains(h);
        }
    }
    if (!day.gridlock)
        out.components = ValueUserCostComponents(day.traffic, model.tables, model.rows,
                                                 model.workZoneDelay, days);
    return out;
}

StageDay SimulateStage(const PreparedProject& prepared, int option, int stage, ClosureWindow window,
                       double setupHours) {
    const ProjectData& p = prepared.project;
    const StageInput input = StageOf(p, option, stage);
    StageDay out = SimulateDemand(
        prepared.model, p.speedLimit,
        StageDemand(*prepared.model.hourlyTables, StageAdt(p, input.year)), window,
        WindowDays(input.daysToComplete, ProjectWindow(p, option), window, setupHours));
    out.year = input.year;
    if (!out.gridlock) out.userCost = StageUserCost(p, out.components, out.year);
    return out;
}

PlannerRun SearchClosures(const ProjectData& project, const PlannerSettings& settings) {
    return SearchClosures(PrepareProject(project), settings);
}

PlannerRun SearchClosures(const PreparedProject& prepared, const PlannerSettings& settings) {
    PlannerRun run;
    if (!prepared.ok()) {
        run.refusal = prepared.refusal;
        return run;
    }
    const ProjectData& p = prepared.project;
    // Stages of the same year see the same traffic: each distinct day is simulated once per
    // window and priced for every stage that shares it.
    struct Slot {
        int option, stage;
        StageInput input;
        double adt;
    };
    std::vector<Slot> slots;
    for (int option : {PavementOption::Asphalt, PavementOption::Concrete})
        for (int stage = 0; stage < 4; ++stage) {
            const StageInput input = StageOf(p, option, stage);
            slots.push_back({option, stage, input, StageAdt(p, input.year)});
            StageSearch& s = run.options[option].stages[stage];
            s.stage = stage;
            s.year = input.year;
            s.candidates.reserve(kWindowCount);
        }
    for (std::size_t first = 0; first < slots.size(); ++first) {
        const auto sameDay = [&](const Slot& s) { return s.adt == slots[first].adt; };
        if (std::any_of(slots.begin(), slots.begin() + first, sameDay)) continue;
        const std::array<Hours, 2> demand =
            StageDemand(*prepared.model.hourlyTables, slots[first].adt);
        for (ClosureWindow window : CandidateWindows()) {
            const WindowDay day = SimulateWindow(prepared.model, p.speedLimit, demand, window);
            for (std::size_t k = first; k < slots.size(); ++k) {
                if (!sameDay(slots[k])) continue;
                const ClosureWindow own = ProjectWindow(p, slots[k].option);
                StageSearch& s = run.options[slots[k].option].stages[slots[k].stage];
                s.candidates.push_back(Price(prepared, day, window, slots[k].input, own, settings));
                if (SameWindow(window, own)) s.projectWindow = s.candidates.back();
            }
        }
    }
    for (OptionSearch& option : run.options)
        for (StageSearch& s : option.stages)
            std::sort(s.candidates.begin(), s.candidates.end(), Ranks);
    return run;
}

} // namespace velmora::planner
