#pragma once

// The one project record: every input of a road project, edited by the forms, read by the
// analysis, stored in the .vlm file and printed by the report. Texts are held as UTF-8; the file
// and the report hold them as Windows-1252 (see Cp1252.h).

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

// The fixed drop-down lists. A record field holds the zero-based index of the chosen entry; a
// project file may bring any integer, so every lookup goes through ListText().
namespace UnitCode {
enum : std::int32_t { Mile, Sy, Cy, Ton, Foot, Other };
inline constexpr std::array<std::string_view, 6> kTexts{"mile", "sy", "cy", "ton", "foot", "other"};
// Code 0 reads "mile" in the list but "miles" beside a quantity.
inline constexpr std::array<std::string_view, 6> kWords{"miles", "sy",   "cy",
                                                        "ton",   "foot", "other"};
} // namespace UnitCode

namespace WzInclusion {
enum : std::int32_t { Include, Exclude };
inline constexpr std::array<std::string_view, 2> kTexts{"Include", "Exclude"};
} // namespace WzInclusion

namespace WorkZoneTiming {
enum : std::int32_t { FullDay, Night };
inline constexpr std::array<std::string_view, 2> kTexts{"24 Hour Closures",
                                                        "Night Closures (8 PM-6 AM)"};
} // namespace WorkZoneTiming

namespace Terrain {
enum : std::int32_t { Level, Rolling, Mountainous };
inline constexpr std::array<std::string_view, 3> kTexts{"Level", "Rolling", "Mountainous"};
} // namespace Terrain

namespace TrafficType {
enum : std::int32_t { Rural, Urban };
inline constexpr std::array<std::string_view, 2> kTexts{"Rural", "Urban"};
} // namespace TrafficType

// The entry at `index`, or nullptr for an index outside the list.
template <std::size_t N>
const std::string_view* ListText(const std::array<std::string_view, N>& list, std::int32_t index) {
    return index >= 0 && static_cast<std::size_t>(index) < N ? &list[index] : nullptr;
}

struct MiscPayItem {
    std::string description = "Misc Description...";
    double unitPrice = 0.0;
    std::int32_t unit = UnitCode::Mile;
};

// Stage 0 is the initial construction, stages 1 to 3 the overlays.
struct AsphaltStage {
    double year = 0.0;
    double wearingThickness = 0.0;
    double wearingUnitWeight = 145.0;
    double binderThickness = 0.0;
    double binderUnitWeight = 145.0;
    double baseThickness = 0.0;
    double baseUnitWeight = 145.0;
    double aggBaseThickness = 0.0;
    double aggBaseUnitWeight = 115.0;
    double miscQuantity = 0.0;
    double millingArea = 0.0;
    double patchingArea = 0.0;
    double daysToComplete = 1.0;
    std::int32_t wzInclusion = WzInclusion::Include;
};

// Stage 0 is the initial construction, stages 1 to 3 the rehabilitation activities.
struct ConcreteStage {
    double year = 0.0;
    double concreteArea = 0.0;
    double concreteMillingArea = 0.0;
    double jointSealingLength = 0.0;
    double concretePatchingArea = 0.0;
    double hmaOverlayThickness = 0.0;
    double hmaOverlayUnitWeight = 145.0;
    double aggBaseThickness = 0.0;
    double aggBaseUnitWeight = 115.0;
    std::array<double, 3> miscQuantity{0.0, 0.0, 0.0};
    std::array<std::string, 3> miscUnitLabel{"NA", "NA", "NA"};
    double daysToComplete = 1.0;
    std::int32_t wzInclusion = WzInclusion::Include;
};

struct MaintenanceActivity {
    std::string description = "Enter description...";
    double quantity = 0.0;
    double unitPrice = 0.0;
    std::int32_t yearsBetween = 0;
    double treatmentCount = 0.0;
};

struct ProjectData {
    // General project information
    std::string projectTitle = "Enter Project Title Here";
    std::string projectDescription = "Enter Descriptive Project Information...";
    double projectLength = 1.0;
    double laneCount = 2.0;
    double laneWidth = 12.0;
    double shoulderCount = 2.0;
    double shoulderWidth = 4.0;
    double speedLimit = 55.0;
    double analysisPeriod = 40.0;
    double discountRate = 4.0;
    double currentCpi = 173.644;
    std::int32_t initialWzInclusion = WzInclusion::Include;
    std::int32_t rehabWzInclusion = WzInclusion::Include;

    // Unit prices
    double hmaWearingPrice = 0.0;
    double hmaBinderPrice = 0.0;
    double hmaBasePrice = 0.0;
    double asphaltAggBasePrice = 0.0;
    double asphaltMillingPrice = 0.0;
    double asphaltPatchingPrice = 0.0;
    MiscPayItem asphaltMisc;
    double asphaltMobilizationPct = 0.0;
    double asphaltTrafficControlPct = 0.0;
    double concretePrice = 0.0;
    double concreteAggBasePrice = 0.0;
    double concreteGrindingPrice = 0.0;
    double jointSealingPrice = 0.0;
    double concretePatchingPrice = 0.0;
    std::array<MiscPayItem, 3> concreteMisc;
    double concreteMobilizationPct = 0.0;
    double concreteTrafficControlPct = 0.0;

    // Traffic and work zone
    std::int32_t terrain = Terrain::Level;
    std::int32_t trafficType = TrafficType::Rural;
    double aadt = 500.0;
    double truckPercent = 10.0;
    double trafficGrowth = 1.0;
    double wzSpeedLimit = 40.0;
    double wzLength = 1.0;
    std::int32_t wzLanes = 1;
    std::int32_t asphaltWzTiming = WorkZoneTiming::FullDay;
    std::int32_t concreteWzTiming = WorkZoneTiming::FullDay;

    // Activities and maintenance
    std::array<AsphaltStage, 4> asphaltStage{AsphaltStage{}, AsphaltStage{.year = 15.0},
                                             AsphaltStage{.year = 27.0},
                                             AsphaltStage{.year = 35.0}};
    std::array<ConcreteStage, 4> concreteStage;
    std::array<MaintenanceActivity, 4> asphaltMaintenance;
    std::array<MaintenanceActivity, 4> concreteMaintenance;

    // The risk analysis definitions as UTF-8 JSON text, empty when the project has none. Saved in
    // an extension block after the 214 items, so they are no saved item of SavedFields.h.
    std::string riskDefinitions;
    // The work zone planner's settings as UTF-8 JSON text, empty when the planner was never set
    // up; saved in their own extension block after the risk definitions.
    std::string workZonePlanner;

    // Before the concrete activities form opens: the unit word of each miscellaneous row in all
    // four stages (an unknown unit keeps the old words). The words are saved items, so they are
    // written here, into the record, rather than only shown by the form.
    void PrepareConcreteMiscLabels();

    // The inclusion flag that stage `stage` of either option derives from the two switches.
    std::int32_t StageInclusion(int stage) const;
    // Rewrites the per-stage inclusion flags of both options from the two switches.
    void ApplyInclusionRule();
    // The traffic form is offered unless both switches say Exclude.
    bool TrafficFormAvailable() const;
};

} // namespace velmora
