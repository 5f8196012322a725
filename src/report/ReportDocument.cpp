#include "ReportDocument.h"

#include "engine/Analysis.h"

#include <array>
#include <cstdio>
#include <ctime>
#include <span>
#include <string_view>

namespace velmora {
namespace {

// A line of a number: its label, the value, and its unit when it has one.
template <class Record>
struct NumberLine {
    const char* label;
    double Record::*field;
    const char* unit;
    int decimals = 2;
};

constexpr NumberLine<ProjectData> kGeneralLines[] = {
    {"Project Length:", &ProjectData::projectLength, "miles"},
    {"Number of Lanes:", &ProjectData::laneCount, "(both directions)"},
    {"Lane Width:", &ProjectData::laneWidth, "ft"},
    {"Number of Shoulders:", &ProjectData::shoulderCount, "(both directions)"},
    {"Shoulder Width:", &ProjectData::shoulderWidth, "ft"},
    {"Speed Limit:", &ProjectData::speedLimit, "mph"},
    {"Analysis Period:", &ProjectData::analysisPeriod, "years"},
    {"DiscountRate:", &ProjectData::discountRate, "%"},
    {"Current CPI:", &ProjectData::currentCpi, "", 3},
};

constexpr const char* kOfConstructionCost = "% of total construction cost";

constexpr NumberLine<ProjectData> kAsphaltPriceLines[] = {
    {"HMA Wearing Course:", &ProjectData::hmaWearingPrice, "$/ton"},
    {"HMA Binder Course:", &ProjectData::hmaBinderPrice, "$/ton"},
    {"HMA Base Course:", &ProjectData::hmaBasePrice, "$/ton"},
    {"Aggregate Base:", &ProjectData::asphaltAggBasePrice, "$/ton"},
    {"Asphalt Milling:", &ProjectData::asphaltMillingPrice, "$/sy"},
    {"Asphalt Patching:", &ProjectData::asphaltPatchingPrice, "$/sy"},
};
constexpr NumberLine<ProjectData> kAsphaltPercentLines[] = {
    {"Mobilization:", &ProjectData::asphaltMobilizationPct, kOfConstructionCost},
    {"Traffic Control:", &ProjectData::asphaltTrafficControlPct, kOfConstructionCost},
};
constexpr NumberLine<ProjectData> kConcretePriceLines[] = {
    {"Concrete:", &ProjectData::concretePrice, "$/sy"},
    {"Aggregate Base:", &ProjectData::concreteAggBasePrice, "$/ton"},
    {"Concrete Milling:", &ProjectData::concreteGrindingPrice, "$/sy"},
    {"Joint Sealing:", &ProjectData::jointSealingPrice, "$/foot"},
    {"Concrete Patching:", &ProjectData::concretePatchingPrice, "$/sy"},
};
constexpr NumberLine<ProjectData> kConcretePercentLines[] = {
    {"Mobilization:", &ProjectData::concreteMobilizationPct, kOfConstructionCost},
    {"Traffic Control:", &ProjectData::concreteTrafficControlPct, kOfConstructionCost},
};

constexpr NumberLine<ProjectData> kTrafficLines[] = {
    {"AADT:", &ProjectData::aadt, "(Two Directions, All Lanes)"},
    {"% Trucks:", &ProjectData::truckPercent, ""},
    {"Traffic Growth:", &ProjectData::trafficGrowth, "%"},
    {"Work Zone Speed Limit:", &ProjectData::wzSpeedLimit, "mph"},
    {"Work Zone Length:", &ProjectData::wzLength, "miles"},
};

// A row of the activities: its label, then the field of each of the four stages.
template <class Stage>
struct StageRow {
    const char* label;
    double Stage::*field;
};

constexpr StageRow<AsphaltStage> kAsphaltRowsBeforeMisc[] = {
    {"Year", &AsphaltStage::year},
    {"HMA Wearing Course, in.", &AsphaltStage::wearingThickness},
    {"HMA Wearing Course, pcf", &AsphaltStage::wearingUnitWeight},
    {"HMA Binder Course, in.", &AsphaltStage::binderThickness},
    {"HMA Binder Course, pcf", &AsphaltStage::binderUnitWeight},
    {"HMA Base Course, in.", &AsphaltStage::baseThickness},
    {"HMA Base Course, pcf", &AsphaltStage::baseUnitWeight},
    {"Aggregate Base, in.", &AsphaltStage::aggBaseThickness},
    {"Aggregate Base, pcf", &AsphaltStage::aggBaseUnitWeight},
};
constexpr StageRow<AsphaltStage> kAsphaltRowsAfterMisc[] = {
    {"Milling, sy", &AsphaltStage::millingArea},
    {"Patching, sy", &AsphaltStage::patchingArea},
    {"Days to Complete", &AsphaltStage::daysToComplete},
};
// "Joint Sealing, sy" holds a length in feet: the label stays as spreadsheets built on earlier
// reports look for it.
constexpr StageRow<ConcreteStage> kConcreteRowsBeforeMisc[] = {
    {"Year", &ConcreteStage::year},
    {"Concrete, sy", &ConcreteStage::concreteArea},
    {"Concrete Milling, sy", &ConcreteStage::concreteMillingArea},
    {"Joint Sealing, sy", &ConcreteStage::jointSealingLength},
    {"Concrete Patching, sy", &ConcreteStage::concretePatchingArea},
    {"HMA Overlay, in.", &ConcreteStage::hmaOverlayThickness},
    {"HMA Overlay, pcf", &ConcreteStage::hmaOverlayUnitWeight},
    {"Aggregate Base, in.", &ConcreteStage::aggBaseThickness},
    {"Aggregate Base, pcf", &ConcreteStage::aggBaseUnitWeight},
};
constexpr StageRow<ConcreteStage> kConcreteRowsAfterMisc[] = {
    {"Days to Complete", &ConcreteStage::daysToComplete},
};

// By UnitCode: the suffix of a miscellaneous unit price, and the tail of its quantity row label.
constexpr std::array<std::string_view, 6> kPriceSuffixes{"$/mile", "$/sy", "$/cy",
                                                         "$/ton",  "$/ft", "$/other"};

constexpr std::array<std::string_view, 2> kTimingEntries{"24-Hour Closure",
                                                         "Night Closures (8PM-6AM)"};

constexpr std::array<std::string_view, 5> kMaintenanceHeadings{
    "Activity", "Quantity", "Unit Price", "Years Between Treatments", "Number of Treatments"};

ReportCell Text(std::string_view text, std::string field = {}) {
    return {ReportCell::Kind::Text, std::string(text), 0.0, 2, std::move(field)};
}

ReportCell Number(double value, int decimals = 2, std::string_view before = {}) {
    return {ReportCell::Kind::Number, std::string(before), value, decimals, {}};
}

class Builder {
public:
    ReportDocument Finish() { return std::move(document_); }

    void Section(ReportSection::Kind kind, std::string heading) {
        document_.sections.push_back({kind, std::move(heading), {}});
    }

    ReportRow& Row(std::vector<ReportCell> cells = {}, bool header = false) {
        std::vector<ReportRow>& rows = document_.sections.back().rows;
        rows.push_back({std::move(cells), header});
        return rows.back();
    }

    void Headings(std::span<const std::string_view> texts, bool blankFirst = false) {
        ReportRow& row = Row({}, true);
        if (blankFirst) row.cells.push_back(Text(""));
        for (std::string_view text : texts) row.cells.push_back(Text(text));
    }

    // A drop-down entry after its label, or the label alone for a value outside the list.
    void Entry(std::string_view label, const std::string_view* entry, std::string_view after = {}) {
        ReportRow& row = Row({Text(label)});
        if (!entry) return;
        row.cells.push_back(Text(*entry));
        if (!after.empty()) row.cells.push_back(Text(after));
    }

    template <class Record>
    void Lines(const Record& record, std::span<const NumberLine<Record>> lines) {
        for (const NumberLine<Record>& line : lines) {
            ReportRow& row = Row({Text(line.label), Number(record.*line.field, line.decimals)});
            if (*line.unit) row.cells.push_back(Text(line.unit));
        }
    }

    template <class Stage>
    void Rows(const std::array<Stage, 4>& stages, std::span<const StageRow<Stage>> rows) {
        for (const StageRow<Stage>& stageRow : rows) {
            ReportRow& row = Row({Text(stageRow.label)});
            for (const Stage& stage : stages) row.cells.push_back(Number(stage.*stageRow.field));
        }
    }

    // The unit price line of a miscellaneous pay item that has a price.
    void MiscPrice(const MiscPayItem& item, std::string field) {
        if (!(item.unitPrice > 0.0)) return;
        const std::string_view* suffix = ListText(kPriceSuffixes, item.unit);
        Row({Text(item.description + ":", std::move(field)), Number(item.unitPrice),
             Text(suffix ? *suffix : "")});
    }

    // The quantity row of a miscellaneous pay item that some stage uses. A unit outside the
    // list has no label: its quantities continue the row before.
    void MiscQuantities(const MiscPayItem& item, std::string field,
                        const std::array<double, 4>& quantities) {
        if (quantities == std::array<double, 4>{}) return;
        std::vector<ReportRow>& rows = document_.sections.back().rows;
        const std::string_view* suffix = ListText(kPriceSuffixes, item.unit);
        ReportRow& row =
            suffix ? Row({Text(item.description + "," + std::string(*suffix), std::move(field))})
                   : rows.back();
        for (double quantity : quantities) row.cells.push_back(Number(quantity));
    }

    void Maintenance(const std::array<MaintenanceActivity, 4>& activities, const char* option) {
        for (int r = 0; r < 4; ++r) {
            const MaintenanceActivity& a = activities[r];
            Row({Text(a.description,
                      std::string(option) + "Maintenance[" + std::to_string(r) + "].description"),
                 Number(a.quantity), Number(a.unitPrice), Number(a.yearsBetween, 0),
                 Number(a.treatmentCount, 0)});
        }
    }

    // One option's computed costs: agency and user delay of each stage, maintenance, total.
    void Costs(const char* heading, const std::array<const char*, 4>& stageLabels,
               const char* totalLabel, const OptionCosts& costs, bool initialIncluded,
               bool rehabIncluded) {
        Section(ReportSection::Kind::Costs, heading);
        Row({Text("All costs given in Net Present Value, $/mile.")});
        Row();
        Headings(std::array<std::string_view, 3>{"Component", "Agency", "User Delay"});
        const auto row = [&](const char* label, double agency, double user, bool included) {
            Row({Text(label), Number(agency), included ? Number(user) : Text("Excluded")});
        };
        for (int k = 0; k < 4; ++k)
            row(stageLabels[k], costs.agency[k], costs.user[k],
                k == 0 ? initialIncluded : rehabIncluded);
        row("Subtotal", costs.agencySubtotal, costs.userSubtotal, initialIncluded || rehabIncluded);
        Row({Text("Recurring Maintenance"), Number(costs.maintenanceCost)});
        Row();
        Row({Text(totalLabel), Number(costs.total, 2, " ")});
    }

private:
    ReportDocument document_;
};

} // namespace

std::string ExportMoment(std::time_t time) {
    // The local time in ctime's own layout ("Mon Dec  7 09:05:00 2026", the day padded with a
    // space), written here: the Windows C library pads the day with a zero, and ctime's one
    // buffer is shared by every thread of a run that exports several projects at once.
    std::tm local{};
#if defined(_WIN32)
    if (::localtime_s(&local, &time) != 0) return {};
#else
    if (!::localtime_r(&time, &local)) return {};
#endif
    static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (local.tm_wday < 0 || local.tm_wday > 6 || local.tm_mon < 0 || local.tm_mon > 11) return {};
    char moment[64];
    std::snprintf(moment, sizeof moment, "%s %s%3d %.2d:%.2d:%.2d %d", kDays[local.tm_wday],
                  kMonths[local.tm_mon], local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  local.tm_year + 1900);
    return moment;
}

ReportDocument BuildReportDocument(const ProjectData& p, const CostResults* r, std::time_t time) {
    Builder b;
    using Kind = ReportSection::Kind;

    b.Section(Kind::Title, {});
    b.Row({Text("Velmora Version 1.0")});
    b.Row({Text("Date and Time:"), Text(ExportMoment(time))});
    b.Row({Text("Project:"), Text(p.projectTitle, "projectTitle")});

    b.Section(Kind::Inputs, "GENERAL PROJECT INFORMATION");
    b.Lines<ProjectData>(p, kGeneralLines);

    b.Section(Kind::Inputs, "ASPHALT OPTION UNIT PRICES");
    b.Lines<ProjectData>(p, kAsphaltPriceLines);
    b.MiscPrice(p.asphaltMisc, "asphaltMisc.description");
    b.Lines<ProjectData>(p, kAsphaltPercentLines);

    b.Section(Kind::Inputs, "CONCRETE OPTION UNIT PRICES");
    b.Lines<ProjectData>(p, kConcretePriceLines);
    for (int i = 0; i < 3; ++i)
        b.MiscPrice(p.concreteMisc[i], "concreteMisc[" + std::to_string(i) + "].description");
    b.Lines<ProjectData>(p, kConcretePercentLines);

    b.Section(Kind::Inputs, "ASPHALT CONSTRUCTION/REHABILITATION ACTIVITIES");
    b.Headings(std::array<std::string_view, 4>{"Initial Construction", "1st Overlay", "2nd Overlay",
                                               "3rd Overlay"},
               true);
    b.Rows<AsphaltStage>(p.asphaltStage, kAsphaltRowsBeforeMisc);
    std::array<double, 4> quantities;
    for (int k = 0; k < 4; ++k) quantities[k] = p.asphaltStage[k].miscQuantity;
    b.MiscQuantities(p.asphaltMisc, "asphaltMisc.description", quantities);
    b.Rows<AsphaltStage>(p.asphaltStage, kAsphaltRowsAfterMisc);

    b.Section(Kind::Inputs, "CONCRETE CONSTRUCTION/REHABILITATION ACTIVITIES");
    b.Headings(std::array<std::string_view, 4>{"Initial Construction", "1st Rehab", "2nd Rehab",
                                               "3rd Rehab"},
               true);
    b.Rows<ConcreteStage>(p.concreteStage, kConcreteRowsBeforeMisc);
    for (int i = 0; i < 3; ++i) {
        for (int k = 0; k < 4; ++k) quantities[k] = p.concreteStage[k].miscQuantity[i];
        b.MiscQuantities(p.concreteMisc[i], "concreteMisc[" + std::to_string(i) + "].description",
                         quantities);
    }
    b.Rows<ConcreteStage>(p.concreteStage, kConcreteRowsAfterMisc);

    b.Section(Kind::Inputs, "RECURRING MAINTENANCE ACTIVITIES");
    b.Row();
    b.Row({Text("Asphalt Option")});
    b.Headings(kMaintenanceHeadings);
    b.Maintenance(p.asphaltMaintenance, "asphalt");
    b.Row();
    b.Row({Text("Concrete Option")});
    b.Headings(kMaintenanceHeadings);
    b.Maintenance(p.concreteMaintenance, "concrete");

    b.Section(Kind::Inputs, "TRAFFIC AND WORK ZONE INFORMATION");
    if (!UserCostsIncluded(p)) {
        b.Row({Text("Initial construction and rehabilitation work zone user costs excluded.")});
        b.Row({Text("Traffic and work zone data not included in analysis.")});
    } else {
        b.Entry("Terrain:", ListText(Terrain::kTexts, p.terrain));
        b.Entry("Traffic Type:", ListText(TrafficType::kTexts, p.trafficType));
        b.Lines<ProjectData>(p, kTrafficLines);
        b.Row({Text("Work Zone Lanes:"), Number(p.wzLanes, 0), Text("(Open in each direction)")});
        b.Entry("Work Zone Timing:", ListText(kTimingEntries, p.asphaltWzTiming),
                "(Asphalt Option)");
        b.Entry("Work Zone Timing:", ListText(kTimingEntries, p.concreteWzTiming),
                "(Concrete Option)");
    }

    if (r) {
        // Only Include (0) counts a stage's user costs, as in the analysis and the results form.
        const bool initialIncluded = p.StageInclusion(0) == WzInclusion::Include;
        const bool rehabIncluded = p.StageInclusion(1) == WzInclusion::Include;
        b.Costs(
            "COMPUTED COSTS - ASPHALT OPTION", PavementOption::kStageNames[PavementOption::Asphalt],
            "Asphalt Option Total=", (*r)[PavementOption::Asphalt], initialIncluded, rehabIncluded);
        b.Costs("COMPUTED COSTS - CONCRETE OPTION",
                PavementOption::kStageNames[PavementOption::Concrete],
                "Concrete Option Total=", (*r)[PavementOption::Concrete], initialIncluded,
                rehabIncluded);
    }
    return b.Finish();
}

} // namespace velmora
