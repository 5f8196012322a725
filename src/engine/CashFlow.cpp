#include "CashFlow.h"

#include "AgencyCost.h"
#include "Arithmetic.h"

#include <cmath>

namespace velmora {

std::vector<CashFlow> CashFlows(const ProjectData& p, const AnalysisResult& run) {
    std::vector<CashFlow> flows;
    const auto add = [&](int option, CashFlowKind kind, int item, double year, double perMile,
                         double discounted) {
        if (perMile != 0.0) flows.push_back({option, kind, item, year, perMile, discounted});
    };
    for (int option : {PavementOption::Asphalt, PavementOption::Concrete}) {
        const bool asphalt = option == PavementOption::Asphalt;
        for (int k = 0; k < 4; ++k) {
            const double year = asphalt ? p.asphaltStage[k].year : p.concreteStage[k].year;
            const double total =
                asphalt ? StageTotal(AsphaltStageCost(p, k), p.asphaltMobilizationPct,
                                     p.asphaltTrafficControlPct)
                        : StageTotal(ConcreteStageCost(p, k), p.concreteMobilizationPct,
                                     p.concreteTrafficControlPct);
            add(option, CashFlowKind::Agency, k, year, total / p.projectLength,
                PresentWorthPerMile(total, year, p.discountRate, p.projectLength));
        }
        const OptionRun& optionRun = run.option[option];
        for (int k = 0; k < 4; ++k) {
            if (optionRun.gridlock || p.StageInclusion(k) != WzInclusion::Include) continue;
            const double year = asphalt ? p.asphaltStage[k].year : p.concreteStage[k].year;
            double sum = 0.0;
            for (double component : optionRun.userComponents[k]) sum += component;
            const double perMile = sum / p.projectLength;
            add(option, CashFlowKind::User, k, year, perMile,
                PresentWorth(perMile, year, p.discountRate));
        }
        const auto& rows = asphalt ? p.asphaltMaintenance : p.concreteMaintenance;
        for (int r = 0; r < 4; ++r) {
            const MaintenanceActivity& row = rows[r];
            if (!(row.quantity > 0.0)) continue;
            for (double k = 1.0; k <= optionRun.treatmentCount[r]; k += 1.0) {
                const double year = k * row.yearsBetween;
                add(option, CashFlowKind::Maintenance, r, year,
                    row.unitPrice * row.quantity / p.projectLength,
                    (1.0 / std::pow(1.0 + p.discountRate / 100.0, year)) * row.unitPrice *
                        row.quantity / p.projectLength);
            }
        }
    }
    return flows;
}

double EquivalentUniformAnnualCost(double presentValue, double discountRate,
                                   double analysisPeriod) {
    if (!(analysisPeriod >= 1.0)) return 0.0;
    const double i = discountRate / 100.0;
    if (i == 0.0) return presentValue / analysisPeriod;
    const double growth = std::pow(1.0 + i, analysisPeriod);
    const double factor = i * growth / (growth - 1.0);
    return std::isfinite(factor) ? presentValue * factor : 0.0;
}

} // namespace velmora
