#include "report/Report.h"
#include "CoreTestSupport.h"
#include "engine/Analysis.h"

#include <fstream>

using namespace velmora;
using namespace velmora::test;

namespace {

constexpr std::time_t kMoment = 1700000000;

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

// The golden files leave out the date line: it is local time as ctime writes it.
TEST(Report, TheDateLineIsLocalTime) {
    const std::string bytes = Export({}).bytes;
    std::string localTime = std::ctime(&kMoment);
    localTime.insert(localTime.size() - 1, "\r");
    EXPECT_NE(bytes.find("\r\nDate and Time:\t" + localTime + "Project:"), std::string::npos);
}
