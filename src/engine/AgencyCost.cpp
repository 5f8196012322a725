#include "AgencyCost.h"

#include "Arithmetic.h"

namespace velmora {

double AsphaltStageCost(const ProjectData& p, int stage) {
    const AsphaltStage& s = p.asphaltStage[stage];
    const double width = PavedWidth(p);
    double cost = LayerTons(width, s.wearingThickness, s.wearingUnitWeight, p.projectLength) *
                  p.hmaWearingPrice;
    cost +=
        LayerTons(width, s.binderThickness, s.binderUnitWeight, p.projectLength) * p.hmaBinderPrice;
    cost += LayerTons(width, s.baseThickness, s.baseUnitWeight, p.projectLength) * p.hmaBasePrice;
    cost += LayerTons(width, s.aggBaseThickness, s.aggBaseUnitWeight, p.projectLength) *
            p.asphaltAggBasePrice;
    cost += s.millingArea * p.asphaltMillingPrice;
    cost += s.patchingArea * p.asphaltPatchingPrice;
    cost += s.miscQuantity * p.asphaltMisc.unitPrice;
    return cost;
}

double ConcreteStageCost(const ProjectData& p, int stage) {
    const ConcreteStage& s = p.concreteStage[stage];
    const double width = PavedWidth(p);
    double cost = s.concreteArea * p.concretePrice;
    cost += s.concreteMillingArea * p.concreteGrindingPrice;
    cost += s.jointSealingLength * p.jointSealingPrice;
    cost += s.concretePatchingArea * p.concretePatchingPrice;
    // The concrete option has no HMA price of its own: its overlay is priced as wearing course.
    cost += LayerTons(width, s.hmaOverlayThickness, s.hmaOverlayUnitWeight, p.projectLength) *
            p.hmaWearingPrice;
    cost += LayerTons(width, s.aggBaseThickness, s.aggBaseUnitWeight, p.projectLength) *
            p.concreteAggBasePrice;
    for (int i = 0; i < 3; ++i) cost += s.miscQuantity[i] * p.concreteMisc[i].unitPrice;
    return cost;
}

double StageTotal(double stageCost, double mobilizationPct, double trafficControlPct) {
    const double mobilizationCost = (stageCost * mobilizationPct) * 0.01;
    const double trafficControlCost = (stageCost * trafficControlPct) * 0.01;
    return stageCost + mobilizationCost + trafficControlCost;
}

AgencyCosts ComputeAgencyCosts(const ProjectData& p) {
    AgencyCosts costs;
    for (int k = 0; k < 4; ++k) {
        const double asphalt = StageTotal(AsphaltStageCost(p, k), p.asphaltMobilizationPct,
                                          p.asphaltTrafficControlPct);
        const double concrete = StageTotal(ConcreteStageCost(p, k), p.concreteMobilizationPct,
                                           p.concreteTrafficControlPct);
        costs.asphalt[k] = RoundWhole(
            PresentWorthPerMile(asphalt, p.asphaltStage[k].year, p.discountRate, p.projectLength));
        costs.concrete[k] = RoundWhole(PresentWorthPerMile(concrete, p.concreteStage[k].year,
                                                           p.discountRate, p.projectLength));
    }
    return costs;
}

} // namespace velmora
