#include "report/Report.h"
#include "engine/Analysis.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using namespace velmora;

namespace {

// A Compute Costs run as the results form holds it, and its report at a fixed moment.
struct ComputedReport {
    ProjectData project;
    AnalysisResult run;
    Report report;
};

ComputedReport Export(ProjectData project) {
    ComputedReport out;
    EXPECT_FALSE(PrepareAnalysis(project));
    out.run = RunAnalysis(project);
    ApplyTreatmentCounts(out.run, project);
    out.project = project;
    out.report = BuildReport(project, out.run.results, 1700000000);
    return out;
}

// Everything but the date and time line, which follows the machine's time zone.
std::string WithoutDateLine(const std::string& bytes) {
    const std::size_t start = bytes.find("\r\nDate and Time:\t");
    const std::size_t end = bytes.find("\r\n", start + 2);
    if (start == std::string::npos || end == std::string::npos) return bytes;
    return bytes.substr(0, start) + bytes.substr(end);
}

std::vector<std::vector<std::string>> Cells(const std::string& bytes) {
    std::vector<std::vector<std::string>> rows;
    std::size_t pos = 0;
    while (pos <= bytes.size()) {
        std::size_t end = bytes.find("\r\n", pos);
        if (end == std::string::npos) end = bytes.size();
        std::vector<std::string> cells;
        std::stringstream line(bytes.substr(pos, end - pos));
        for (std::string cell; std::getline(line, cell, '\t');) cells.push_back(cell);
        rows.push_back(cells);
        pos = end + 2;
    }
    return rows;
}

const std::vector<std::string>* RowStartingWith(const std::vector<std::vector<std::string>>& rows,
                                                const std::string& first) {
    for (const auto& row : rows)
        if (!row.empty() && row[0] == first) return &row;
    return nullptr;
}

struct GoldenCase {
    const char* file;
    void (*make)(ProjectData&);
};

void PriceEverything(ProjectData& p) {
    p.projectTitle = "Route 9 reconstruction";
    p.hmaWearingPrice = 52.5;
    p.hmaBinderPrice = 48.25;
    p.hmaBasePrice = 41.0;
    p.asphaltAggBasePrice = 18.0;
    p.asphaltMillingPrice = 2.75;
    p.asphaltPatchingPrice = 31.0;
    p.asphaltMisc = {"Guard rail", 12.5, UnitCode::Foot};
    p.asphaltMobilizationPct = 5.0;
    p.asphaltTrafficControlPct = 3.0;
    p.concretePrice = 38.0;
    p.concreteAggBasePrice = 17.5;
    p.concreteGrindingPrice = 4.2;
    p.jointSealingPrice = 1.15;
    p.concretePatchingPrice = 95.0;
    p.concreteMisc = {MiscPayItem{"Dowel bar retrofit", 35.0, UnitCode::Other},
                      MiscPayItem{"Drainage", 900.0, UnitCode::Mile},
                      MiscPayItem{"Shoulder fill", 22.0, UnitCode::Cy}};
    p.concreteMobilizationPct = 6.0;
    p.concreteTrafficControlPct = 2.5;
    for (int k = 0; k < 4; ++k) {
        AsphaltStage& a = p.asphaltStage[k];
        a.wearingThickness = 1.5;
        a.binderThickness = k == 0 ? 2.5 : 0.0;
        a.baseThickness = k == 0 ? 6.0 : 0.0;
        a.aggBaseThickness = k == 0 ? 8.0 : 0.0;
        a.miscQuantity = k == 0 ? 10560.0 : 0.0;
        a.millingArea = k == 0 ? 0.0 : 18773.0;
        a.patchingArea = 120.0 * k;
        a.daysToComplete = k == 0 ? 45.0 : 6.0;
        ConcreteStage& c = p.concreteStage[k];
        c.year = 20.0 * k;
        c.concreteArea = k == 0 ? 18773.0 : 0.0;
        c.concreteMillingArea = k == 0 ? 0.0 : 18773.0;
        c.jointSealingLength = k == 0 ? 0.0 : 8448.0;
        c.concretePatchingArea = 200.0 * k;
        c.hmaOverlayThickness = k == 3 ? 2.0 : 0.0;
        c.aggBaseThickness = k == 0 ? 4.0 : 0.0;
        c.miscQuantity = {k == 0 ? 0.0 : 500.0, k == 0 ? 1.0 : 0.0, 1250.5};
        c.daysToComplete = k == 0 ? 60.0 : 8.5;
    }
    p.asphaltMaintenance[0] = {"Crack sealing", 5280.0, 0.85, 7, 0.0};
    p.asphaltMaintenance[1] = {"Chip seal", 18773.0, 1.9, 12, 0.0};
    p.concreteMaintenance[0] = {"Joint resealing", 8448.0, 1.15, 10, 0.0};
    p.concreteMaintenance[3] = {"Slab replacement", 50.0, 410.0, 41, 0.0};
    p.asphaltWzTiming = WorkZoneTiming::Night;
    p.terrain = Terrain::Rolling;
    p.trafficType = TrafficType::Urban;
    p.aadt = 12000.0;
    p.truckPercent = 14.0;
    p.trafficGrowth = 1.5;
    p.wzLanes = 2;
    p.laneCount = 4.0;
}

const GoldenCase kGoldenCases[] = {
    {"report-default.xls", [](ProjectData&) {}},
    {"report-initial-only.xls", [](ProjectData& p) { p.rehabWzInclusion = WzInclusion::Exclude; }},
    {"report-rehab-only.xls", [](ProjectData& p) { p.initialWzInclusion = WzInclusion::Exclude; }},
    {"report-excluded.xls",
     [](ProjectData& p) {
         p.initialWzInclusion = p.rehabWzInclusion = WzInclusion::Exclude;
         p.hmaWearingPrice = 50.0;
         p.asphaltStage[0].wearingThickness = 2.0;
     }},
    {"report-gridlock.xls",
     [](ProjectData& p) {
         p.aadt = 20000.0; // the overlays, 35 years on at 10 % growth, never clear
         p.trafficGrowth = 10.0;
         p.concreteMaintenance[1] = {"Diamond grinding", 18773.0, 3.1, 15, 0.0};
     }},
    {"report-priced.xls", PriceEverything},
    {"report-unpriced-items.xls",
     [](ProjectData& p) {
         // Priced but never used, used but not priced, and a unit only a damaged file holds.
         p.asphaltMisc = {"Rumble strips", 0.4, UnitCode::Foot};
         p.concreteMisc[0] = {"Sawing", 0.0, UnitCode::Foot};
         p.concreteMisc[1] = {"Sealant", 0.0, UnitCode::Ton};
         p.concreteMisc[2] = {"Unknown unit", 7.0, 9};
         for (ConcreteStage& s : p.concreteStage) s.miscQuantity = {100.0, 0.0, 0.0};
         p.concreteStage[2].miscQuantity[2] = 3.0;
     }},
    {"report-tab.xls",
     [](ProjectData& p) {
         p.projectTitle = "Route 9\tnorth";
         p.asphaltMisc = {"Guard\trail", 10.0, UnitCode::Foot};
         p.asphaltStage[1].miscQuantity = 50.0;
         p.asphaltMaintenance[2] = {"Crack\tsealing", 1.0, 2.0, 10, 0.0};
         p.concreteMaintenance[1].description = "";
     }},
    {"report-cp1252.xls",
     [](ProjectData& p) {
         p.projectTitle = "Brücke über die Straße – “Süd” €";
         p.concreteMisc[0] = {"Fugenverguß ½ Zoll", 2.5, UnitCode::Foot};
         p.concreteStage[0].miscQuantity[0] = 8.0;
         p.asphaltMaintenance[0].description = "Risssanierung • Œuvre ÿ Ÿ \u0081";
     }},
};

} // namespace

// The golden files hold the report bytes as the program writes them. Set VELMORA_UPDATE_GOLDEN
// to rewrite them after a deliberate change, and read the difference before committing it.
TEST(Report, MatchesGoldenFilesByteForByte) {
    for (const GoldenCase& golden : kGoldenCases) {
        ProjectData project;
        golden.make(project);
        const ComputedReport exported = Export(project);
        ASSERT_TRUE(exported.report.ok()) << golden.file;
        const std::string path = std::string(VELMORA_TEST_DATA) + "/" + golden.file;
        if (std::getenv("VELMORA_UPDATE_GOLDEN")) {
            std::ofstream(path, std::ios::binary) << exported.report.bytes;
            continue;
        }
        std::ifstream in(path, std::ios::binary);
        ASSERT_TRUE(in) << path;
        const std::string expected{std::istreambuf_iterator<char>(in), {}};
        EXPECT_EQ(WithoutDateLine(exported.report.bytes), WithoutDateLine(expected)) << golden.file;
    }
}

TEST(Report, DefaultProjectReadsAsATable) {
    const std::string bytes = Export(ProjectData{}).report.bytes;
    std::size_t lineEnds = 0;
    for (std::size_t k = 0; k + 1 < bytes.size(); ++k) lineEnds += bytes.compare(k, 2, "\r\n") == 0;
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), lineEnds);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\r'), lineEnds);
    EXPECT_FALSE(bytes.ends_with("\r\n"));

    const auto rows = Cells(bytes);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"Velmora Version 1.0"}));
    ASSERT_EQ(rows[1].size(), 2u);
    EXPECT_EQ(rows[1][1].size(), 24u); // ctime without its line feed
    EXPECT_EQ(rows[2], (std::vector<std::string>{"Project:", "Enter Project Title Here"}));
    EXPECT_EQ(*RowStartingWith(rows, "Current CPI:"),
              (std::vector<std::string>{"Current CPI:", "173.644"}));
    EXPECT_EQ(*RowStartingWith(rows, "Year"),
              (std::vector<std::string>{"Year", "0.00", "15.00", "27.00", "35.00"}));
    EXPECT_EQ(*RowStartingWith(rows, "Asphalt Option Total="),
              (std::vector<std::string>{"Asphalt Option Total=", " 217.00"}));
    EXPECT_EQ(*RowStartingWith(rows, "Concrete Option Total="),
              (std::vector<std::string>{"Concrete Option Total=", " 352.00"}));
    EXPECT_EQ(rows.back(), (std::vector<std::string>{"Concrete Option Total=", " 352.00"}));
}

TEST(Report, DateLineIsLocalTimeAsCtimeWritesIt) {
    const std::time_t moment = 1700000000;
    const std::string bytes = BuildReport(ProjectData{}, CostResults{}, moment).bytes;
    std::string line = std::ctime(&moment);
    line.insert(line.size() - 1, "\r");
    EXPECT_EQ(bytes.substr(0, 42 + 2 + 24 + 2),
              "Velmora Version 1.0\r\nDate and Time:\t" + line + "Project:");
}

TEST(Report, EveryCombinationOfSwitchesKeepsMaintenanceAndTotals) {
    CostResults results;
    results.asphaltMaintenanceCost = 1649.0;
    results.concreteMaintenanceCost = 824.0;
    results.asphaltUser = {88, 57, 40, 32};
    for (std::int32_t initial : {0, 1, 2, -1})
        for (std::int32_t rehab : {0, 1, 7}) {
            ProjectData p;
            p.initialWzInclusion = initial;
            p.rehabWzInclusion = rehab;
            const auto rows = Cells(BuildReport(p, results, 0).bytes);
            int maintenanceLines = 0;
            for (const auto& row : rows)
                maintenanceLines += !row.empty() && row[0] == "Recurring Maintenance";
            EXPECT_EQ(maintenanceLines, 2) << initial << rehab;
            // Anything but Include (0) counts as Exclude, as the results form shows it.
            EXPECT_EQ((*RowStartingWith(rows, "Initial Construction"))[2],
                      initial == 0 ? "88.00" : "Excluded");
            EXPECT_EQ((*RowStartingWith(rows, "3rd Overlay"))[2],
                      rehab == 0 ? "32.00" : "Excluded");
            EXPECT_EQ((*RowStartingWith(rows, "Subtotal"))[2],
                      initial != 0 && rehab != 0 ? "Excluded" : "0.00");
            EXPECT_NE(RowStartingWith(rows, "Concrete Option Total="), nullptr);
            EXPECT_EQ(RowStartingWith(rows, "AADT:") != nullptr, initial == 0 || rehab == 0);
        }
}

TEST(Report, TextsWindows1252CannotHoldAreNamedNotDropped) {
    ProjectData p;
    p.concreteMaintenance[2].description = "Repair \u0101";
    const Report report = BuildReport(p, CostResults{}, 0);
    EXPECT_FALSE(report.ok());
    EXPECT_EQ(report.unencodableField, "concreteMaintenance[2].description");
    EXPECT_TRUE(report.bytes.empty());

    p.concreteMaintenance[2].description = "Line 1\nLine 2";
    p.projectTitle = "ÿ";
    const Report written = BuildReport(p, CostResults{}, 0);
    EXPECT_NE(written.bytes.find("\r\nProject:\t\xFF\r\n"), std::string::npos);
    EXPECT_NE(written.bytes.find("\r\nLine 1\r\nLine 2\t0.00"), std::string::npos);
}
