#include "HandOff.h"

#include <charconv>
#include <cmath>

namespace velmora {
namespace {

// The form that edits a field, and the caption its own range messages use.
struct Form {
    const char* name;
    const char* caption;
};
constexpr Form kGeneralForm{"General Information", "Number Out of Range"};
constexpr Form kUnitPricesForm{"Unit Prices", "Price Out of Range"};
constexpr Form kTrafficForm{"Traffic and Work Zone Information", "Value Out of Range"};
constexpr Form kAsphaltForm{"Asphalt Construction/Rehabilitation Activities", "Value Out of Range"};
constexpr Form kConcreteForm{"Concrete Construction/Rehabilitation Activities",
                             "Value Out of Range"};
constexpr Form kMaintenanceForm{"Recurring Maintenance Activities", "Number Out of Range"};

// Far beyond any road project, and small enough that no product of the engine overflows.
constexpr double kLargest = 1e9;

// The values a field may hold for the engine to compute with it. A value outside, or not a
// number at all, is refused with a message that names the field as its form labels it.
struct Guard {
    const Form& form;
    const char* label;
    double low = 0.0;
    double high = kLargest;
    // Read only by the work zone user cost model.
    bool userCostsOnly = false;
    // For a drop-down list: the entries to choose from, instead of a range.
    const char* choices = nullptr;
    // Shown but not editable on its form; only a damaged file brings a value outside.
    bool readOnly = false;
};

// Stage years are exponents of the discount and growth factors.
constexpr double kLatestYear = 1000.0;

constexpr std::array<const char*, 4> kAsphaltStageNames{"Initial Construction", "1st Overlay",
                                                        "2nd Overlay", "3rd Overlay"};
constexpr std::array<const char*, 4> kConcreteStageNames{
    "Initial Construction", "1st Rehab Activity", "2nd Rehab Activity", "3rd Rehab Activity"};
constexpr std::array<const char*, 3> kConcreteMiscLabels{"Miscellaneous 1", "Miscellaneous 2",
                                                         "Miscellaneous 3"};
constexpr std::array<const char*, 4> kMaintenanceRows{"1st", "2nd", "3rd", "4th"};

// A field of the project, read as the number the checks compare.
template <auto Member, class Record>
double Value(const Record& record) {
    return record.*Member;
}

// A field of the General Information or the Traffic and Work Zone form, and its guard.
struct ProjectGuard {
    double (*value)(const ProjectData&);
    Guard guard;
};

using P = ProjectData;
constexpr ProjectGuard kGeneralGuards[] = {
    // Above 0 because every result is per mile; not below 0.001 mile (5 ft) so that the
    // division cannot blow a finite cost up to infinity.
    {Value<&P::projectLength>, {kGeneralForm, "Project Length", 0.001}},
    // The queue model's capacity divides by the lanes.
    {Value<&P::laneCount>, {kGeneralForm, "Number of Lanes", 1.0}},
    {Value<&P::laneWidth>, {kGeneralForm, "Average Lane Width"}},
    {Value<&P::shoulderCount>, {kGeneralForm, "Number of Shoulders"}},
    {Value<&P::shoulderWidth>, {kGeneralForm, "Average Shoulder Width"}},
    // Speeds divide the work zone length and queue lengths and pick rows of the speed tables.
    {Value<&P::speedLimit>, {kGeneralForm, "Speed Limit", 5.0, 80.0, true}},
    // The treatments of the period are summed one by one.
    {Value<&P::analysisPeriod>, {kGeneralForm, "Analysis Period", 0.0, 1000.0}},
    // Below 0 the discount factor grows with the year without bound.
    {Value<&P::discountRate>, {kGeneralForm, "Discount Rate"}},
    {Value<&P::currentCpi>, {kGeneralForm, "Current CPI", 0.0, kLargest, true}},
};

constexpr ProjectGuard kTrafficGuards[] = {
    {Value<&P::terrain>,
     {kTrafficForm, "Terrain", 0.0, 2.0, true, "Level, Rolling or Mountainous"}},
    {Value<&P::aadt>, {kTrafficForm, "AADT", 0.0, kLargest, true}},
    // Past 100 % the car share turns negative; the heavy vehicle factor divides by the truck
    // share.
    {Value<&P::truckPercent>, {kTrafficForm, "% Trucks", 0.0, 100.0, true}},
    // Growth compounds over the stage years; bounded as the form bounds it.
    {Value<&P::trafficGrowth>, {kTrafficForm, "Traffic Growth", 0.0, 10.0, true}},
    {Value<&P::wzSpeedLimit>, {kTrafficForm, "Work Zone Speed Limit", 5.0, 55.0, true}},
    {Value<&P::wzLength>, {kTrafficForm, "Work Zone Length", 0.0, kLargest, true}},
    // Without an open lane the work zone serves nobody and the queue speed divides by zero.
    {Value<&P::wzLanes>, {kTrafficForm, "Work Zone Lanes", 1.0, kLargest, true}},
};

// A field of an activities form, checked in each of the four stages.
template <class Stage>
struct StageGuard {
    double (*value)(const Stage&);
    const char* label;
    bool userCostsOnly = false;
};

constexpr StageGuard<AsphaltStage> kAsphaltGuards[] = {
    {Value<&AsphaltStage::wearingThickness>, "HMA Wearing Course, in"},
    {Value<&AsphaltStage::wearingUnitWeight>, "HMA Wearing Course, pcf"},
    {Value<&AsphaltStage::binderThickness>, "HMA Binder Course, in."},
    {Value<&AsphaltStage::binderUnitWeight>, "HMA Binder Course, pcf."},
    {Value<&AsphaltStage::baseThickness>, "HMA Base Course, in."},
    {Value<&AsphaltStage::baseUnitWeight>, "HMA Base Course, pcf"},
    {Value<&AsphaltStage::aggBaseThickness>, "Aggregate Base, in."},
    {Value<&AsphaltStage::aggBaseUnitWeight>, "Aggregate Base, pcf"},
    {Value<&AsphaltStage::miscQuantity>, "Misc."},
    {Value<&AsphaltStage::millingArea>, "Milling, sy"},
    {Value<&AsphaltStage::patchingArea>, "Patching, sy"},
    {Value<&AsphaltStage::daysToComplete>, "Days to Complete", true},
};

constexpr StageGuard<ConcreteStage> kConcreteGuards[] = {
    {Value<&ConcreteStage::concreteArea>, "Concrete, sy"},
    {Value<&ConcreteStage::concreteMillingArea>, "Concrete Milling, sy"},
    {Value<&ConcreteStage::jointSealingLength>, "Joint Sealing, ft"},
    {Value<&ConcreteStage::concretePatchingArea>, "Concrete Patching, sy"},
    {Value<&ConcreteStage::hmaOverlayThickness>, "HMA Overlay, in."},
    {Value<&ConcreteStage::hmaOverlayUnitWeight>, "HMA Overlay, pcf"},
    {Value<&ConcreteStage::aggBaseThickness>, "Aggregate Base, in."},
    {Value<&ConcreteStage::aggBaseUnitWeight>, "Aggregate Base, pcf"},
    {[](const ConcreteStage& s) { return s.miscQuantity[0]; }, kConcreteMiscLabels[0]},
    {[](const ConcreteStage& s) { return s.miscQuantity[1]; }, kConcreteMiscLabels[1]},
    {[](const ConcreteStage& s) { return s.miscQuantity[2]; }, kConcreteMiscLabels[2]},
    {Value<&ConcreteStage::daysToComplete>, "Days to Complete", true},
};

// Where on its form a field sits, for the message: " of the 2nd Overlay", " of the Asphalt
// Unit Prices". Pieces, so that a run that passes builds no text.
struct Where {
    const char* lead = "";
    const char* name = "";
    const char* tail = "";
};

std::string FormatLimit(double value) {
    char buffer[32];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return std::string(buffer, end);
}

Refusal MakeRefusal(const Guard& guard, const Where& where) {
    const std::string field = std::string("\"") + guard.label + "\"" + where.lead + where.name +
                              where.tail + " in the " + guard.form.name + " form";
    const std::string range = FormatLimit(guard.low) + " and " + FormatLimit(guard.high);
    std::string text;
    if (guard.choices)
        text = std::string("Please choose ") + guard.choices + " for " + field + ".";
    else if (guard.readOnly)
        text = field + " must lie between " + range +
               ", and the form cannot change it: the project file is damaged. Please open another "
               "project, or restart Velmora to enter this one again.";
    else
        text = "Please enter a value between " + range + " for " + field + ".";
    return {std::move(text), guard.form.caption};
}

// Walks the fields the engine reads, form by form, and keeps the first refusal.
class RangeCheck {
public:
    explicit RangeCheck(bool userCosts) : userCosts_(userCosts) {}

    void operator()(double value, const Guard& guard, const Where& where = {}) {
        // Without user costs no computation reads these fields, but the report still prints
        // them, and it must never print a value that is not a number.
        if (!result.ok() || (guard.userCostsOnly && !userCosts_ && std::isfinite(value))) return;
        if (!(value >= guard.low && value <= guard.high))
            result.refusal = MakeRefusal(guard, where);
    }

    HandOff result;

private:
    bool userCosts_;
};

// The year, then every field of `guards`, in each of the four stages of an option.
template <class Stage, std::size_t N>
void CheckStages(RangeCheck& check, const std::array<Stage, 4>& stages, const Form& form,
                 const std::array<const char*, 4>& stageNames,
                 const StageGuard<Stage> (&guards)[N]) {
    for (int k = 0; k < 4; ++k) {
        const Where where{" of the ", stageNames[k]};
        // The initial construction keeps the year the project holds; its box is read-only.
        check(stages[k].year, Guard{form, "Year", 0.0, kLatestYear, false, nullptr, k == 0}, where);
        for (const StageGuard<Stage>& guard : guards)
            check(guard.value(stages[k]),
                  Guard{form, guard.label, 0.0, kLargest, guard.userCostsOnly}, where);
    }
}

HandOff CheckRanges(const ProjectData& p) {
    RangeCheck check(UserCostsIncluded(p));

    for (const ProjectGuard& guard : kGeneralGuards) check(guard.value(p), guard.guard);

    const auto price = [&](double value, const char* label, const char* group, double low = 0.0) {
        check(value, Guard{kUnitPricesForm, label, low}, Where{" of the ", group, " Unit Prices"});
    };
    price(p.hmaWearingPrice, "HMA Wearing Course", "Asphalt");
    price(p.hmaBinderPrice, "HMA Binder Course", "Asphalt");
    price(p.hmaBasePrice, "HMA Base Course", "Asphalt");
    price(p.asphaltAggBasePrice, "Aggregate Base", "Asphalt");
    price(p.asphaltMillingPrice, "Asphalt Milling", "Asphalt");
    price(p.asphaltPatchingPrice, "Asphalt Patching", "Asphalt");
    price(p.asphaltMisc.unitPrice, "Miscellaneous", "Asphalt");
    price(p.asphaltMobilizationPct, "Mobilization", "Asphalt");
    price(p.asphaltTrafficControlPct, "Traffic Control", "Asphalt");
    price(p.concretePrice, "Concrete", "Concrete");
    // The form takes any aggregate base price for the concrete option, negative ones included.
    price(p.concreteAggBasePrice, "Aggregate Base", "Concrete", -kLargest);
    price(p.concreteGrindingPrice, "Concrete Grinding", "Concrete");
    price(p.jointSealingPrice, "Joint Sealing", "Concrete");
    price(p.concretePatchingPrice, "Concrete Patching", "Concrete");
    for (int i = 0; i < 3; ++i)
        price(p.concreteMisc[i].unitPrice, kConcreteMiscLabels[i], "Concrete");
    price(p.concreteMobilizationPct, "Mobilization", "Concrete");
    price(p.concreteTrafficControlPct, "Traffic Control", "Concrete");

    for (const ProjectGuard& guard : kTrafficGuards) check(guard.value(p), guard.guard);

    CheckStages(check, p.asphaltStage, kAsphaltForm, kAsphaltStageNames, kAsphaltGuards);
    CheckStages(check, p.concreteStage, kConcreteForm, kConcreteStageNames, kConcreteGuards);

    for (int option = 0; option < 2; ++option) {
        const auto& rows = option == 0 ? p.asphaltMaintenance : p.concreteMaintenance;
        for (int r = 0; r < 4; ++r) {
            const Where where{" of the ", kMaintenanceRows[r],
                              option == 0 ? " activity of the Asphalt Option"
                                          : " activity of the Concrete Option"};
            check(rows[r].quantity, Guard{kMaintenanceForm, "Quantity"}, where);
            check(rows[r].unitPrice, Guard{kMaintenanceForm, "Unit Price"}, where);
        }
    }
    return std::move(check.result);
}

} // namespace

bool UserCostsIncluded(const ProjectData& p) {
    return p.initialWzInclusion == WzInclusion::Include ||
           p.rehabWzInclusion == WzInclusion::Include;
}

HandOff PrepareAnalysis(ProjectData& project) {
    project.ApplyInclusionRule();
    if (UserCostsIncluded(project)) {
        if (project.projectLength < project.wzLength)
            return {{"Please adjust either work zone or project length, or both.",
                     "Work Zone Length Exceeds Project Length"}};
        if (project.speedLimit < project.wzSpeedLimit)
            return {{"Please adjust either work zone or project speed limit, or both.",
                     "Work Zone Speed Limit Exceeds Project Speed Limit"}};
    }
    return CheckRanges(project);
}

} // namespace velmora
