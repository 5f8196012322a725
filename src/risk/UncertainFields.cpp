#include "UncertainFields.h"

#include "model/SavedFields.h"

#include <algorithm>
#include <string>

namespace velmora::risk {
namespace {

// What the hand-off of Compute Costs lets through (PrepareAnalysis in engine/HandOff.cpp):
// every number from 0 to 1e9 unless listed here. Keyed by the field's name without indexes.
constexpr double kLargest = 1e9;

struct Range {
    std::string_view key;
    double low, high;
};
constexpr Range kRanges[] = {
    {"projectLength", 0.001, kLargest},
    {"laneCount", 1.0, kLargest},
    {"speedLimit", 5.0, 80.0},
    {"analysisPeriod", 0.0, 1000.0},
    {"truckPercent", 0.0, 100.0},
    {"trafficGrowth", 0.0, 10.0},
    {"wzSpeedLimit", 5.0, 55.0},
    {"wzLanes", 1.0, kLargest},
    // The unit prices form takes negative aggregate base prices for the concrete option.
    {"concreteAggBasePrice", -kLargest, kLargest},
    // Stage years are exponents of the discount and growth factors.
    {"asphaltStage.year", 0.0, 1000.0},
    {"concreteStage.year", 0.0, 1000.0},
};

struct List {
    std::string_view key;
    std::size_t size;
};
constexpr List kLists[] = {
    {"initialWzInclusion", WzInclusion::kTexts.size()},
    {"rehabWzInclusion", WzInclusion::kTexts.size()},
    {"asphaltMisc.unit", UnitCode::kTexts.size()},
    {"concreteMisc.unit", UnitCode::kTexts.size()},
    {"terrain", Terrain::kTexts.size()},
    {"trafficType", TrafficType::kTexts.size()},
    {"asphaltWzTiming", WorkZoneTiming::kTexts.size()},
    {"concreteWzTiming", WorkZoneTiming::kTexts.size()},
};

// The hand-off derives the stage flags from the two switches, and the run recomputes the
// treatment counts from the years between treatments.
constexpr std::string_view kRecomputed[] = {"asphaltStage.wzInclusion", "concreteStage.wzInclusion",
                                            "asphaltMaintenance.treatmentCount",
                                            "concreteMaintenance.treatmentCount"};

template <class T>
FieldInfo Describe(const FieldName& name) {
    const std::string key = std::string(name.head) + name.tail;
    FieldInfo info;
    if constexpr (std::is_same_v<T, std::string>) {
        info.kind = FieldInfo::Kind::Text;
        return info;
    }
    if (std::ranges::find(kRecomputed, key) != std::end(kRecomputed)) {
        info.kind = FieldInfo::Kind::Recomputed;
        return info;
    }
    if constexpr (std::is_same_v<T, std::int32_t>) {
        if (const auto* list = std::ranges::find(kLists, key, &List::key);
            list != std::end(kLists)) {
            info.kind = FieldInfo::Kind::ListIndex;
            info.high = static_cast<double>(list->size - 1);
            return info;
        }
        info.kind = FieldInfo::Kind::Whole;
    }
    info.high = kLargest;
    if (const auto* range = std::ranges::find(kRanges, key, &Range::key);
        range != std::end(kRanges))
        info.low = range->low, info.high = range->high;
    return info;
}

} // namespace

std::optional<FieldInfo> LookUpField(std::string_view name) {
    std::optional<FieldInfo> found;
    int item = 0;
    const ProjectData project;
    ForEachSavedField(project, [&](const FieldName& field, const auto& member) {
        if (!found && field.str() == name) {
            found = Describe<std::decay_t<decltype(member)>>(field);
            found->item = item;
        }
        ++item;
    });
    return found;
}

std::vector<FieldSlot> FindSlots(ProjectData& project, const std::vector<int>& items) {
    std::vector<FieldSlot> slots(items.size());
    int item = 0;
    ForEachSavedField(project, [&](const FieldName&, auto& member) {
        using T = std::decay_t<decltype(member)>;
        for (std::size_t k = 0; k < items.size(); ++k) {
            if (items[k] != item) continue;
            if constexpr (std::is_same_v<T, double>)
                slots[k].number = &member;
            else if constexpr (std::is_same_v<T, std::int32_t>)
                slots[k].whole = &member;
        }
        ++item;
    });
    return slots;
}

double ProjectValue(const ProjectData& project, int item) {
    ProjectData copy = project;
    return FindSlots(copy, {item}).front().Get();
}

} // namespace velmora::risk
