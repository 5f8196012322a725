#include "Analysis.h"

#include "AgencyCost.h"
#include "Arithmetic.h"
#include "Maintenance.h"
#include "QueueModel.h"

#include <cmath>

namespace velmora {
namespace {

// One stage of either option on its way through the work zone model.
struct StageRun {
    double stageAdt = 0.0;
    ClosureWindow window;
    double days = 0.0;
    double year = 0.0;
    std::int32_t inclusion = WzInclusion::Include;
    // The earlier stage (index into StageRuns) with the same traffic and closure window, or -1.
    // Such a stage has the same simulated day, and once that stage is valued the same hourly
    // quantities: they are taken over, not computed again. The concrete stages all default to
    // year 0, the year of the asphalt initial construction.
    int sharesDayWith = -1;
    bool valued = false;
    bool gridlock = false;
    StageTraffic traffic{};
    UserCostComponents components{};
};

using StageRuns = std::array<StageRun, 8>; // asphalt stages 0 to 3, then concrete

template <class Stage>
void AddOption(const ProjectData& p, const std::array<Stage, 4>& stages, std::int32_t wzTiming,
               StageRun* runs) {
    for (int k = 0; k < 4; ++k) {
        StageRun& run = runs[k];
        run.stageAdt = GrownVolume(p.aadt, p.trafficGrowth, 100.0, stages[k].year);
        run.window = ClosureWindowFor(wzTiming);
        run.days = std::trunc(stages[k].daysToComplete);
        run.year = stages[k].year;
        run.inclusion = p.StageInclusion(k);
    }
}

void SimulateStages(const WorkZoneModel& model, StageRuns& runs) {
    for (std::size_t i = 0; i < runs.size(); ++i) {
        StageRun& run = runs[i];
        for (std::size_t j = 0; j < i && run.sharesDayWith < 0; ++j)
            if (runs[j].stageAdt == run.stageAdt && runs[j].window.start == run.window.start &&
                runs[j].window.end == run.window.end)
                run.sharesDayWith = static_cast<int>(j);
        if (run.sharesDayWith >= 0) {
            const StageRun& same = runs[run.sharesDayWith];
            run.traffic.day = same.traffic.day;
            run.gridlock = same.gridlock;
            continue;
        }
        const SimulatedDay day =
            QueueSimulation(StageDemand(*model.hourlyTables, run.stageAdt), model.normalCapacity,
                            model.closureCapacity, model.queueCapacity, run.window);
        run.traffic.day = day.direction;
        run.gridlock = day.gridlock;
    }
}

// Values the four stages of an option unless any of them gridlocked: a user cost is never
// computed from a queue that never settles. Returns the gridlock outcome.
bool ValueOption(const ProjectData& p, const WorkZoneModel& model, StageRun* stages,
                 const StageRuns& runs, OptionRun& option, std::array<double, 4>& user) {
    for (int k = 0; k < 4; ++k)
        if (stages[k].gridlock) return true;
    for (int k = 0; k < 4; ++k) {
        StageRun& run = stages[k];
        const StageRun* same = run.sharesDayWith >= 0 && runs[run.sharesDayWith].valued
                                   ? &runs[run.sharesDayWith]
                                   : nullptr;
        if (same) {
            run.traffic.hourly = same->traffic.hourly;
        } else {
            for (int d = 0; d < 2; ++d)
                run.traffic.hourly[d] = DeriveHourlyQuantities(run.traffic.day[d], run.window,
                                                               model.normalCapacity, p.speedLimit);
        }
        if (same && same->days == run.days)
            run.components = same->components;
        else
            run.components = ValueUserCostComponents(run.traffic, model.tables, model.rows,
                                                     model.workZoneDelay, run.days);
        run.valued = true;
        option.userComponents[k] = run.components;
        const double value =
            UserStageValue(run.components, p.projectLength, run.year, p.discountRate);
        user[k] = run.inclusion == WzInclusion::Include ? value : 0.0;
    }
    return false;
}

double Sum(const std::array<double, 4>& values) {
    return values[0] + values[1] + values[2] + values[3];
}

} // namespace

AnalysisResult RunAnalysis(const ProjectData& p) {
    using namespace PavementOption;
    AnalysisResult run;
    OptionCosts& asphalt = run.results[Asphalt];
    OptionCosts& concrete = run.results[Concrete];

    const AgencyCosts agency = ComputeAgencyCosts(p);
    asphalt.agency = agency.asphalt;
    asphalt.agencySubtotal = Sum(asphalt.agency);
    concrete.agency = agency.concrete;
    concrete.agencySubtotal = Sum(concrete.agency);

    if (UserCostsIncluded(p)) {
        const WorkZoneModel model = MakeWorkZoneModel(p);
        StageRuns stages;
        AddOption(p, p.asphaltStage, p.asphaltWzTiming, &stages[0]);
        AddOption(p, p.concreteStage, p.concreteWzTiming, &stages[4]);
        SimulateStages(model, stages);
        run.option[Asphalt].gridlock =
            ValueOption(p, model, &stages[0], stages, run.option[Asphalt], asphalt.user);
        asphalt.userSubtotal = Sum(asphalt.user);
        run.option[Concrete].gridlock =
            ValueOption(p, model, &stages[4], stages, run.option[Concrete], concrete.user);
        concrete.userSubtotal = Sum(concrete.user);
    }

    for (int k = 0; k < 4; ++k) {
        run.option[Asphalt].treatmentCount[k] =
            TreatmentCount(p.analysisPeriod, p.asphaltMaintenance[k].yearsBetween);
        run.option[Concrete].treatmentCount[k] =
            TreatmentCount(p.analysisPeriod, p.concreteMaintenance[k].yearsBetween);
    }
    asphalt.maintenanceCost = MaintenanceCost(
        p.asphaltMaintenance, run.option[Asphalt].treatmentCount, p.discountRate, p.projectLength);
    concrete.maintenanceCost =
        MaintenanceCost(p.concreteMaintenance, run.option[Concrete].treatmentCount, p.discountRate,
                        p.projectLength);

    // Each sum in its own order: the totals are compared to the whole dollar.
    asphalt.total = asphalt.maintenanceCost + asphalt.agencySubtotal + asphalt.userSubtotal;
    concrete.total = concrete.maintenanceCost + concrete.userSubtotal + concrete.agencySubtotal;
    return run;
}

bool ApplyTreatmentCounts(const AnalysisResult& run, ProjectData& project) {
    bool changed = false;
    for (int k = 0; k < 4; ++k) {
        for (const auto& [rows, option] :
             {std::pair{&project.asphaltMaintenance, &run.option[PavementOption::Asphalt]},
              std::pair{&project.concreteMaintenance, &run.option[PavementOption::Concrete]}}) {
            changed |= (*rows)[k].treatmentCount != option->treatmentCount[k];
            (*rows)[k].treatmentCount = option->treatmentCount[k];
        }
    }
    return changed;
}

AnalysisResult RunAnalysisOnCopy(ProjectData& copy) {
    AnalysisResult run = RunAnalysis(copy);
    ApplyTreatmentCounts(run, copy);
    return run;
}

} // namespace velmora
