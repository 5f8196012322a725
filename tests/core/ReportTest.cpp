#include "report/Report.h"
#include "CoreTestSupport.h"
#include "engine/Analysis.h"

#include <fstream>

using namespace velmora;
using namespace velmora::test;

namespace {

// 2026-12-07 12:00 UTC: the 7th in every time zone from UTC-11 to UTC+11.
constexpr std::time_t kMoment = 1796644800;

// The report of a Compute Costs run on the default project after `assignments`, as the results
// form exports it: with the treatment counts the run recomputed.
Report Export(const std::vector<std::string>& assignments) {
    ProjectData project = ProjectWith(assignments);
    EXPECT_TRUE(PrepareAnalysis(project).ok());
    const AnalysisResult run = RunAnalysis(project);
    ApplyTreatmentCounts(run, project);
    return BuildReport(project, run.results, kMoment);
}

} // namespace

// Each golden file holds the report bytes of the project its .set file describes. Set
// VELMORA_UPDATE_GOLDEN to rewrite them after a deliberate change, and read the difference
// before committing it.
TEST(Report, MatchesGoldenFilesByteForByte) {
    for (const std::string name :
         {"report-default", "report-initial-only", "report-rehab-only", "report-excluded",
          "report-gridlock", "report-priced", "report-unpriced-items", "report-tab",
          "report-cp1252", "report-damaged-switch", "report-formula"}) {
        const Report report = Export(DataLines(name + ".set"));
        ASSERT_TRUE(report.ok()) << name;
        if (std::getenv("VELMORA_UPDATE_GOLDEN")) {
            std::ofstream(std::string(VELMORA_TEST_DATA) + "/" + name + ".xls", std::ios::binary)
                << report.bytes;
            continue;
        }
        EXPECT_EQ(WithoutDateLine(report.bytes), WithoutDateLine(DataFile(name + ".xls"))) << name;
    }
}

// The golden files leave out the date line: it is local time in ctime's layout, the day padded
// with a space on every system.
TEST(Report, TheDateLineIsLocalTime) {
    const std::tm local = *std::localtime(&kMoment);
    char line[64];
    std::snprintf(line, sizeof line,
                  "Date and Time:\tMon Dec  7 %.2d:%.2d:00 2026\r\nProject:", local.tm_hour,
                  local.tm_min);
    EXPECT_NE(Export({}).bytes.find(line), std::string::npos);
}
