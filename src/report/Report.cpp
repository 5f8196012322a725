#include "Report.h"

#include "engine/Analysis.h"
#include "model/Cp1252.h"

#include <array>
#include <charconv>
#include <span>
#include <string_view>

namespace velmora {
namespace {

// A line of a number with the texts around it: before, value, after.
template <class Record>
struct NumberLine {
    const char* before;
    double Record::*field;
    const char* after;
    int decimals = 2;
};

constexpr NumberLine<ProjectData> kGeneralLines[] = {
    {"\nProject Length:\t", &ProjectData::projectLength, "\tmiles"},
    {"\nNumber of Lanes:\t", &ProjectData::laneCount, "\t(both directions)"},
    {"\nLane Width:\t", &ProjectData::laneWidth, "\tft"},
    {"\nNumber of Shoulders:\t", &ProjectData::shoulderCount, "\t(both directions)"},
    {"\nShoulder Width:\t", &ProjectData::shoulderWidth, "\tft"},
    {"\nSpeed Limit:\t", &ProjectData::speedLimit, "\tmph"},
    {"\nAnalysis Period:\t", &ProjectData::analysisPeriod, "\tyears"},
    {"\nDiscountRate:\t", &ProjectData::discountRate, "\t%"},
    {"\nCurrent CPI:\t", &ProjectData::currentCpi, "", 3},
};

constexpr const char* kOfConstructionCost = "\t% of total construction cost";

constexpr NumberLine<ProjectData> kAsphaltPriceLines[] = {
    {"\nHMA Wearing Course:\t", &ProjectData::hmaWearingPrice, "\t$/ton"},
    {"\nHMA Binder Course:\t", &ProjectData::hmaBinderPrice, "\t$/ton"},
    {"\nHMA Base Course:\t", &ProjectData::hmaBasePrice, "\t$/ton"},
    {"\nAggregate Base:\t", &ProjectData::asphaltAggBasePrice, "\t$/ton"},
    {"\nAsphalt Milling:\t", &ProjectData::asphaltMillingPrice, "\t$/sy"},
    {"\nAsphalt Patching:\t", &ProjectData::asphaltPatchingPrice, "\t$/sy"},
};
constexpr NumberLine<ProjectData> kAsphaltPercentLines[] = {
    {"\nMobilization:\t", &ProjectData::asphaltMobilizationPct, kOfConstructionCost},
    {"\nTraffic Control:\t", &ProjectData::asphaltTrafficControlPct, kOfConstructionCost},
};
constexpr NumberLine<ProjectData> kConcretePriceLines[] = {
    {"\nConcrete:\t", &ProjectData::concretePrice, "\t$/sy"},
    {"\nAggregate Base:\t", &ProjectData::concreteAggBasePrice, "\t$/ton"},
    {"\nConcrete Milling:\t", &ProjectData::concreteGrindingPrice, "\t$/sy"},
    {"\nJoint Sealing:\t", &ProjectData::jointSealingPrice, "\t$/foot"},
    {"\nConcrete Patching:\t", &ProjectData::concretePatchingPrice, "\t$/sy"},
};
constexpr NumberLine<ProjectData> kConcretePercentLines[] = {
    {"\nMobilization:\t", &ProjectData::concreteMobilizationPct, kOfConstructionCost},
    {"\nTraffic Control:\t", &ProjectData::concreteTrafficControlPct, kOfConstructionCost},
};

constexpr NumberLine<ProjectData> kTrafficLines[] = {
    {"\nAADT:\t", &ProjectData::aadt, "\t(Two Directions, All Lanes)"},
    {"\n% Trucks:\t", &ProjectData::truckPercent, ""},
    {"\nTraffic Growth:\t", &ProjectData::trafficGrowth, "\t%"},
    {"\nWork Zone Speed Limit:\t", &ProjectData::wzSpeedLimit, "\tmph"},
    {"\nWork Zone Length:\t", &ProjectData::wzLength, "\tmiles"},
};

// A row of the activities: its label, then the field of each of the four stages.
template <class Stage>
struct StageRow {
    const char* label;
    double Stage::*field;
};

constexpr StageRow<AsphaltStage> kAsphaltRowsBeforeMisc[] = {
    {"\nYear", &AsphaltStage::year},
    {"\nHMA Wearing Course, in.", &AsphaltStage::wearingThickness},
    {"\nHMA Wearing Course, pcf", &AsphaltStage::wearingUnitWeight},
    {"\nHMA Binder Course, in.", &AsphaltStage::binderThickness},
    {"\nHMA Binder Course, pcf", &AsphaltStage::binderUnitWeight},
    {"\nHMA Base Course, in.", &AsphaltStage::baseThickness},
    {"\nHMA Base Course, pcf", &AsphaltStage::baseUnitWeight},
    {"\nAggregate Base, in.", &AsphaltStage::aggBaseThickness},
    {"\nAggregate Base, pcf", &AsphaltStage::aggBaseUnitWeight},
};
constexpr StageRow<AsphaltStage> kAsphaltRowsAfterMisc[] = {
    {"\nMilling, sy", &AsphaltStage::millingArea},
    {"\nPatching, sy", &AsphaltStage::patchingArea},
    {"\nDays to Complete", &AsphaltStage::daysToComplete},
};
// "Joint Sealing, sy" holds a length in feet: the label stays as spreadsheets built on earlier
// reports look for it.
constexpr StageRow<ConcreteStage> kConcreteRowsBeforeMisc[] = {
    {"\nYear", &ConcreteStage::year},
    {"\nConcrete, sy", &ConcreteStage::concreteArea},
    {"\nConcrete Milling, sy", &ConcreteStage::concreteMillingArea},
    {"\nJoint Sealing, sy", &ConcreteStage::jointSealingLength},
    {"\nConcrete Patching, sy", &ConcreteStage::concretePatchingArea},
    {"\nHMA Overlay, in.", &ConcreteStage::hmaOverlayThickness},
    {"\nHMA Overlay, pcf", &ConcreteStage::hmaOverlayUnitWeight},
    {"\nAggregate Base, in.", &ConcreteStage::aggBaseThickness},
    {"\nAggregate Base, pcf", &ConcreteStage::aggBaseUnitWeight},
};
constexpr StageRow<ConcreteStage> kConcreteRowsAfterMisc[] = {
    {"\nDays to Complete", &ConcreteStage::daysToComplete},
};

// By UnitCode: the suffix of a miscellaneous unit price, and the tail of its quantity row label.
constexpr std::array<std::string_view, 6> kPriceSuffixes{"$/mile", "$/sy", "$/cy",
                                                         "$/ton",  "$/ft", "$/other"};

constexpr std::array<std::string_view, 2> kTimingEntries{"\t24-Hour Closure",
                                                         "\tNight Closures (8PM-6AM)"};

constexpr const char* kMaintenanceHeading =
    "\nActivity\tQuantity\tUnit Price\tYears Between Treatments\tNumber of Treatments";

// One option's block of computed costs.
struct CostBlock {
    const char* heading;
    std::array<const char*, 4> rowLabels;
    const char* totalLabel;
    const std::array<double, 4>& agency;
    double agencySubtotal;
    const std::array<double, 4>& user;
    double userSubtotal;
    double maintenance;
    double total;
};

class ReportWriter {
public:
    void Put(std::string_view text) { text_ += text; }

    void Number(double value, int decimals = 2) {
        char buffer[400];
        const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value,
                                             std::chars_format::fixed, decimals);
        text_.append(buffer, end);
    }

    // A drop-down entry after its label, or nothing for a value outside the list.
    void Entry(const std::string_view* text) {
        if (!text) return;
        Put("\t");
        Put(*text);
    }

    void Integer(std::int32_t value) {
        char buffer[16];
        const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
        text_.append(buffer, end);
    }

    // A text of the record, in Windows-1252; the first that cannot be held stops the report.
    void Text(const std::string& utf8, std::string_view field) {
        if (const std::optional<std::string> bytes = Utf8ToCp1252(utf8))
            text_ += *bytes;
        else if (unencodable_.empty())
            unencodable_ = field;
    }

    template <class Record>
    void Lines(const Record& record, std::span<const NumberLine<Record>> lines) {
        for (const NumberLine<Record>& line : lines) {
            Put(line.before);
            Number(record.*line.field, line.decimals);
            Put(line.after);
        }
    }

    template <class Stage>
    void Rows(const std::array<Stage, 4>& stages, std::span<const StageRow<Stage>> rows) {
        for (const StageRow<Stage>& row : rows) {
            Put(row.label);
            for (const Stage& stage : stages) {
                Put("\t");
                Number(stage.*row.field);
            }
        }
    }

    // The unit price line of a miscellaneous pay item that has a price.
    void MiscPrice(const MiscPayItem& item, std::string_view field) {
        if (!(item.unitPrice > 0.0)) return;
        Put("\n");
        Text(item.description, field);
        Put(":\t");
        Number(item.unitPrice);
        Put("\t");
        if (const std::string_view* suffix = ListText(kPriceSuffixes, item.unit)) Put(*suffix);
    }

    // The quantity row of a miscellaneous pay item that some stage uses. A unit outside the
    // list has no label: its quantities continue the line before.
    void MiscQuantities(const MiscPayItem& item, std::string_view field,
                        const std::array<double, 4>& quantities) {
        if (quantities == std::array<double, 4>{}) return;
        if (const std::string_view* suffix = ListText(kPriceSuffixes, item.unit)) {
            Put("\n");
            Text(item.description, field);
            Put(",");
            Put(*suffix);
        }
        for (double quantity : quantities) {
            Put("\t");
            Number(quantity);
        }
    }

    void Maintenance(const std::array<MaintenanceActivity, 4>& rows, const char* option) {
        for (int r = 0; r < 4; ++r) {
            const MaintenanceActivity& row = rows[r];
            Put("\n");
            Text(row.description,
                 std::string(option) + "Maintenance[" + std::to_string(r) + "].description");
            Put("\t");
            Number(row.quantity);
            Put("\t");
            Number(row.unitPrice);
            Put("\t");
            Integer(row.yearsBetween);
            Put("\t");
            Number(row.treatmentCount, 0);
        }
    }

    void Costs(const CostBlock& block, bool initialIncluded, bool rehabIncluded) {
        Put(block.heading);
        Put("\nAll costs given in Net Present Value, $/mile.");
        Put("\n\nComponent\tAgency\tUser Delay");
        const auto row = [&](const char* label, double agency, double user, bool included) {
            Put(label);
            Put("\t");
            Number(agency);
            Put("\t");
            if (included)
                Number(user);
            else
                Put("Excluded");
        };
        for (int k = 0; k < 4; ++k)
            row(block.rowLabels[k], block.agency[k], block.user[k],
                k == 0 ? initialIncluded : rehabIncluded);
        row("\nSubtotal", block.agencySubtotal, block.userSubtotal,
            initialIncluded || rehabIncluded);
        Put("\nRecurring Maintenance\t");
        Number(block.maintenance);
        Put(block.totalLabel);
        Number(block.total);
    }

    // Every line feed as CR LF, as a file written in text mode holds it.
    Report Finish() {
        Report report;
        if (!unencodable_.empty()) {
            report.unencodableField = unencodable_;
            return report;
        }
        report.bytes.reserve(text_.size() + text_.size() / 16);
        for (char c : text_) {
            if (c == '\n') report.bytes += '\r';
            report.bytes += c;
        }
        return report;
    }

private:
    std::string text_;
    std::string unencodable_;
};

} // namespace

Report BuildReport(const ProjectData& p, const CostResults& r, std::time_t time) {
    ReportWriter w;

    w.Put("Velmora Version 1.0\nDate and Time:\t");
    const char* now = std::ctime(&time);
    w.Put(now ? now : "\n");
    w.Put("Project:\t");
    w.Text(p.projectTitle, "projectTitle");
    w.Put("\n\n***GENERAL PROJECT INFORMATION***");
    w.Lines<ProjectData>(p, kGeneralLines);

    w.Put("\n\n***ASPHALT OPTION UNIT PRICES***");
    w.Lines<ProjectData>(p, kAsphaltPriceLines);
    w.MiscPrice(p.asphaltMisc, "asphaltMisc.description");
    w.Lines<ProjectData>(p, kAsphaltPercentLines);

    w.Put("\n\n***CONCRETE OPTION UNIT PRICES***");
    w.Lines<ProjectData>(p, kConcretePriceLines);
    for (int i = 0; i < 3; ++i)
        w.MiscPrice(p.concreteMisc[i], "concreteMisc[" + std::to_string(i) + "].description");
    w.Lines<ProjectData>(p, kConcretePercentLines);

    w.Put("\n\n***ASPHALT CONSTRUCTION/REHABILITATION ACTIVITIES***");
    w.Put("\n\tInitial Construction\t1st Overlay\t2nd Overlay\t3rd Overlay");
    w.Rows<AsphaltStage>(p.asphaltStage, kAsphaltRowsBeforeMisc);
    std::array<double, 4> quantities;
    for (int k = 0; k < 4; ++k) quantities[k] = p.asphaltStage[k].miscQuantity;
    w.MiscQuantities(p.asphaltMisc, "asphaltMisc.description", quantities);
    w.Rows<AsphaltStage>(p.asphaltStage, kAsphaltRowsAfterMisc);

    w.Put("\n\n***CONCRETE CONSTRUCTION/REHABILITATION ACTIVITIES***");
    w.Put("\n\tInitial Construction\t1st Rehab\t2nd Rehab\t3rd Rehab");
    w.Rows<ConcreteStage>(p.concreteStage, kConcreteRowsBeforeMisc);
    for (int i = 0; i < 3; ++i) {
        for (int k = 0; k < 4; ++k) quantities[k] = p.concreteStage[k].miscQuantity[i];
        w.MiscQuantities(p.concreteMisc[i], "concreteMisc[" + std::to_string(i) + "].description",
                         quantities);
    }
    w.Rows<ConcreteStage>(p.concreteStage, kConcreteRowsAfterMisc);

    w.Put("\n\n***RECURRING MAINTENANCE ACTIVITIES***");
    w.Put("\n\nAsphalt Option");
    w.Put(kMaintenanceHeading);
    w.Maintenance(p.asphaltMaintenance, "asphalt");
    w.Put("\n\nConcrete Option");
    w.Put(kMaintenanceHeading);
    w.Maintenance(p.concreteMaintenance, "concrete");

    w.Put("\n\n***TRAFFIC AND WORK ZONE INFORMATION***");
    if (!UserCostsIncluded(p)) {
        w.Put("\nInitial construction and rehabilitation work zone user costs excluded."
              "\nTraffic and work zone data not included in analysis.");
    } else {
        w.Put("\nTerrain:");
        w.Entry(ListText(Terrain::kTexts, p.terrain));
        w.Put("\nTraffic Type:");
        w.Entry(ListText(TrafficType::kTexts, p.trafficType));
        w.Lines<ProjectData>(p, kTrafficLines);
        w.Put("\nWork Zone Lanes:\t");
        w.Integer(p.wzLanes);
        w.Put("\t(Open in each direction)");
        for (const auto& [timing, option] :
             {std::pair{p.asphaltWzTiming, "\t(Asphalt Option)"},
              std::pair{p.concreteWzTiming, "\t(Concrete Option)"}}) {
            w.Put("\nWork Zone Timing:");
            if (const std::string_view* entry = ListText(kTimingEntries, timing)) {
                w.Put(*entry);
                w.Put(option);
            }
        }
    }

    // Only Include (0) counts a stage's user costs, as in the analysis and the results form.
    const bool initialIncluded = p.StageInclusion(0) == WzInclusion::Include;
    const bool rehabIncluded = p.StageInclusion(1) == WzInclusion::Include;
    w.Costs({"\n\n***COMPUTED COSTS - ASPHALT OPTION***",
             {"\nInitial Construction", "\n1st Overlay", "\n2nd Overlay", "\n3rd Overlay"},
             "\n\nAsphalt Option Total=\t ",
             r.asphaltAgency,
             r.asphaltAgencySubtotal,
             r.asphaltUser,
             r.asphaltUserSubtotal,
             r.asphaltMaintenanceCost,
             r.asphaltTotal},
            initialIncluded, rehabIncluded);
    w.Costs({"\n\n***COMPUTED COSTS - CONCRETE OPTION***",
             {"\nInitial Construction", "\n1st Rehabilitation", "\n2nd Rehabilitation",
              "\n3rd Rehabilitation"},
             "\n\nConcrete Option Total=\t ",
             r.concreteAgency,
             r.concreteAgencySubtotal,
             r.concreteUser,
             r.concreteUserSubtotal,
             r.concreteMaintenanceCost,
             r.concreteTotal},
            initialIncluded, rehabIncluded);
    return w.Finish();
}

} // namespace velmora
