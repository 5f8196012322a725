#pragma once

// The 214 saved items of a project, in the one order the .vlm file holds them. The file codec,
// `velmora-cli show` and `--set` all walk this list, so the order and the names live here only.

#include "ProjectData.h"

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

// A field's name as `velmora-cli show` prints it: head[i]tail[j], the indexes only when set,
// e.g. "concreteStage[1].miscQuantity[0]". Built only when someone asks for the text.
struct FieldName {
    const char* head;
    int i = -1;
    const char* tail = "";
    int j = -1;

    std::string str() const {
        std::string s = head;
        auto index = [&s](int k) {
            s += '[';
            s += std::to_string(k);
            s += ']';
        };
        if (i >= 0) index(i);
        s += tail;
        if (j >= 0) index(j);
        return s;
    }
};

inline constexpr int kSavedItemCount = 214;

// Calls visit(FieldName, field&) for every saved item in file order; field is a double, an
// std::int32_t or an std::string. P is ProjectData or const ProjectData.
template <class P, class Visit>
void ForEachSavedField(P& d, Visit&& visit) {
    auto four = [&](auto& array, const char* head, const char* tail, auto member) {
        for (int k = 0; k < 4; ++k) visit(FieldName{head, k, tail}, array[k].*member);
    };
    auto concreteMisc = [&](const char* tail, auto member, int item) {
        for (int k = 0; k < 4; ++k)
            visit(FieldName{"concreteStage", k, tail, item}, (d.concreteStage[k].*member)[item]);
    };

    visit(FieldName{"analysisPeriod"}, d.analysisPeriod);
    visit(FieldName{"discountRate"}, d.discountRate);
    visit(FieldName{"laneWidth"}, d.laneWidth);
    visit(FieldName{"projectDescription"}, d.projectDescription);
    visit(FieldName{"projectTitle"}, d.projectTitle);
    visit(FieldName{"shoulderWidth"}, d.shoulderWidth);
    visit(FieldName{"speedLimit"}, d.speedLimit);
    visit(FieldName{"laneCount"}, d.laneCount);
    visit(FieldName{"shoulderCount"}, d.shoulderCount);
    visit(FieldName{"currentCpi"}, d.currentCpi);
    visit(FieldName{"projectLength"}, d.projectLength);
    visit(FieldName{"initialWzInclusion"}, d.initialWzInclusion);
    visit(FieldName{"rehabWzInclusion"}, d.rehabWzInclusion);
    visit(FieldName{"asphaltAggBasePrice"}, d.asphaltAggBasePrice);
    visit(FieldName{"hmaBasePrice"}, d.hmaBasePrice);
    visit(FieldName{"hmaBinderPrice"}, d.hmaBinderPrice);
    visit(FieldName{"hmaWearingPrice"}, d.hmaWearingPrice);
    visit(FieldName{"asphaltMillingPrice"}, d.asphaltMillingPrice);
    visit(FieldName{"asphaltMisc.unitPrice"}, d.asphaltMisc.unitPrice);
    visit(FieldName{"asphaltMobilizationPct"}, d.asphaltMobilizationPct);
    visit(FieldName{"asphaltPatchingPrice"}, d.asphaltPatchingPrice);
    visit(FieldName{"asphaltTrafficControlPct"}, d.asphaltTrafficControlPct);
    visit(FieldName{"asphaltMisc.description"}, d.asphaltMisc.description);
    visit(FieldName{"asphaltMisc.unit"}, d.asphaltMisc.unit);
    visit(FieldName{"concretePatchingPrice"}, d.concretePatchingPrice);
    for (int i = 0; i < 3; ++i) {
        visit(FieldName{"concreteMisc", i, ".description"}, d.concreteMisc[i].description);
        visit(FieldName{"concreteMisc", i, ".unitPrice"}, d.concreteMisc[i].unitPrice);
    }
    visit(FieldName{"jointSealingPrice"}, d.jointSealingPrice);
    visit(FieldName{"concreteGrindingPrice"}, d.concreteGrindingPrice);
    visit(FieldName{"concretePrice"}, d.concretePrice);
    visit(FieldName{"concreteTrafficControlPct"}, d.concreteTrafficControlPct);
    for (int i = 0; i < 3; ++i)
        visit(FieldName{"concreteMisc", i, ".unit"}, d.concreteMisc[i].unit);
    visit(FieldName{"concreteMobilizationPct"}, d.concreteMobilizationPct);
    visit(FieldName{"concreteAggBasePrice"}, d.concreteAggBasePrice);

    using A = AsphaltStage;
    auto& as = d.asphaltStage;
    four(as, "asphaltStage", ".aggBaseThickness", &A::aggBaseThickness);
    four(as, "asphaltStage", ".baseThickness", &A::baseThickness);
    four(as, "asphaltStage", ".binderThickness", &A::binderThickness);
    four(as, "asphaltStage", ".millingArea", &A::millingArea);
    four(as, "asphaltStage", ".miscQuantity", &A::miscQuantity);
    four(as, "asphaltStage", ".patchingArea", &A::patchingArea);
    four(as, "asphaltStage", ".wearingThickness", &A::wearingThickness);
    four(as, "asphaltStage", ".year", &A::year);
    four(as, "asphaltStage", ".baseUnitWeight", &A::baseUnitWeight);
    four(as, "asphaltStage", ".binderUnitWeight", &A::binderUnitWeight);
    four(as, "asphaltStage", ".wearingUnitWeight", &A::wearingUnitWeight);
    four(as, "asphaltStage", ".aggBaseUnitWeight", &A::aggBaseUnitWeight);
    four(as, "asphaltStage", ".daysToComplete", &A::daysToComplete);
    four(as, "asphaltStage", ".wzInclusion", &A::wzInclusion);

    visit(FieldName{"aadt"}, d.aadt);
    visit(FieldName{"truckPercent"}, d.truckPercent);
    visit(FieldName{"terrain"}, d.terrain);
    visit(FieldName{"trafficGrowth"}, d.trafficGrowth);
    visit(FieldName{"trafficType"}, d.trafficType);
    visit(FieldName{"wzSpeedLimit"}, d.wzSpeedLimit);
    visit(FieldName{"wzLength"}, d.wzLength);
    visit(FieldName{"asphaltWzTiming"}, d.asphaltWzTiming);
    visit(FieldName{"wzLanes"}, d.wzLanes);
    visit(FieldName{"concreteWzTiming"}, d.concreteWzTiming);

    using C = ConcreteStage;
    auto& cs = d.concreteStage;
    four(cs, "concreteStage", ".aggBaseThickness", &C::aggBaseThickness);
    four(cs, "concreteStage", ".aggBaseUnitWeight", &C::aggBaseUnitWeight);
    four(cs, "concreteStage", ".daysToComplete", &C::daysToComplete);
    four(cs, "concreteStage", ".hmaOverlayThickness", &C::hmaOverlayThickness);
    four(cs, "concreteStage", ".hmaOverlayUnitWeight", &C::hmaOverlayUnitWeight);
    for (int item = 0; item < 3; ++item) {
        concreteMisc(".miscQuantity", &C::miscQuantity, item);
        concreteMisc(".miscUnitLabel", &C::miscUnitLabel, item);
    }
    four(cs, "concreteStage", ".concreteArea", &C::concreteArea);
    four(cs, "concreteStage", ".jointSealingLength", &C::jointSealingLength);
    four(cs, "concreteStage", ".concreteMillingArea", &C::concreteMillingArea);
    four(cs, "concreteStage", ".concretePatchingArea", &C::concretePatchingArea);
    four(cs, "concreteStage", ".year", &C::year);
    four(cs, "concreteStage", ".wzInclusion", &C::wzInclusion);

    using M = MaintenanceActivity;
    auto& am = d.asphaltMaintenance;
    auto& cm = d.concreteMaintenance;
    four(am, "asphaltMaintenance", ".description", &M::description);
    four(cm, "concreteMaintenance", ".description", &M::description);
    four(am, "asphaltMaintenance", ".yearsBetween", &M::yearsBetween);
    four(cm, "concreteMaintenance", ".yearsBetween", &M::yearsBetween);
    four(am, "asphaltMaintenance", ".treatmentCount", &M::treatmentCount);
    four(cm, "concreteMaintenance", ".treatmentCount", &M::treatmentCount);
    four(am, "asphaltMaintenance", ".quantity", &M::quantity);
    four(cm, "concreteMaintenance", ".quantity", &M::quantity);
    four(am, "asphaltMaintenance", ".unitPrice", &M::unitPrice);
    four(cm, "concreteMaintenance", ".unitPrice", &M::unitPrice);
}

// A saved number as the bits the file holds, so that a NaN equals itself and -0.0 differs
// from 0.0.
template <class T>
std::uint64_t SavedBits(T value) {
    if constexpr (std::is_same_v<T, double>)
        return std::bit_cast<std::uint64_t>(value);
    else
        return static_cast<std::uint32_t>(value);
}

// True when every saved field of `a` and `b` agrees bit for bit and both hold the same risk
// definitions: the question "would saving change the file?".
inline bool SameSavedFields(const ProjectData& a, const ProjectData& b) {
    std::vector<std::uint64_t> numbers;
    std::vector<const std::string*> texts;
    ForEachSavedField(a, [&](const FieldName&, const auto& field) {
        if constexpr (std::is_same_v<std::decay_t<decltype(field)>, std::string>)
            texts.push_back(&field);
        else
            numbers.push_back(SavedBits(field));
    });
    std::size_t n = 0, t = 0;
    bool same = true;
    ForEachSavedField(b, [&](const FieldName&, const auto& field) {
        if constexpr (std::is_same_v<std::decay_t<decltype(field)>, std::string>)
            same = same && *texts[t++] == field;
        else
            same = same && numbers[n++] == SavedBits(field);
    });
    return same && a.riskDefinitions == b.riskDefinitions && a.workZonePlanner == b.workZonePlanner;
}

} // namespace velmora
