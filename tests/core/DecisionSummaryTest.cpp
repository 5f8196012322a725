#include "report/DecisionSummary.h"
#include "CoreTestSupport.h"
#include "report/NumberText.h"
#include "risk/RiskDefinitions.h"

#include <cmath>

namespace velmora {
namespace {

struct Summarized {
    ProjectData copy;
    AnalysisResult run;
    DecisionSummary summary;
};

Summarized Summarize(const ProjectData& project) {
    Summarized s{project, {}, {}};
    const HandOff handOff = PrepareAnalysis(s.copy);
    if (handOff.ok()) s.run = RunAnalysisOnCopy(s.copy);
    s.summary = SummarizeDecision(s.copy, handOff.ok() ? &s.run : nullptr,
                                  handOff.ok() ? nullptr : &handOff.refusal);
    return s;
}

ProjectData Example(const std::string& name) {
    ProjectData project;
    std::ostringstream err;
    EXPECT_TRUE(cli::LoadProject(std::string(VELMORA_EXAMPLES) + "/" + name, project, err));
    return project;
}

// The decision sentence and its table carry the same whole dollars as Compute Costs.
TEST(DecisionSummary, SaysWhichOptionIsCheaperAndByHowMuch) {
    const Summarized route9 = Summarize(Example("route-9.vlm"));
    const DecisionSummary& s = route9.summary;
    EXPECT_EQ(s.headline, "Concrete is the cheaper option by $61,672 per mile (2.7 % of the "
                          "asphalt total) in net present value over 40 years at 4.00 %");
    EXPECT_EQ(s.basis, "Analysis period 40 years, discount rate 4.00 %");
    EXPECT_TRUE(s.caveats.empty());
    ASSERT_EQ(s.table.size(), 5u);
    EXPECT_EQ(s.table[3].option, (std::array<double, 2>{2289636, 2227964}));
    EXPECT_EQ(s.table[3].difference, 61672);
    for (const DecisionLine& line : s.table)
        EXPECT_EQ(line.difference, line.option[0] - line.option[1]) << line.label;
    // 2,289,636 over 40 years at 4 %: 0.0505235 a year per dollar, in whole dollars.
    EXPECT_EQ(s.table[4].option[0], 115680);

    ProjectData cheaperAsphalt = Example("route-9.vlm");
    cheaperAsphalt.concretePrice *= 2;
    EXPECT_TRUE(Summarize(cheaperAsphalt)
                    .summary.headline.starts_with("Asphalt is the cheaper option by $"))
        << Summarize(cheaperAsphalt).summary.headline;
    EXPECT_TRUE(Summarize(cheaperAsphalt).summary.headline.find("of the concrete total)") !=
                std::string::npos);
    AnalysisResult same;
    same.results[0].total = same.results[1].total = 1000;
    EXPECT_EQ(SummarizeDecision(route9.copy, &same, nullptr).headline,
              "The options cost the same per mile in net present value over 40 years at 4.00 %");
}

TEST(DecisionSummary, NamesWhatChangesTheReading) {
    const DecisionSummary gridlock =
        Summarize(test::ProjectWith(test::DataLines("report-gridlock.set"))).summary;
    ASSERT_EQ(gridlock.caveats.size(), 1u);
    EXPECT_TRUE(gridlock.caveats[0].starts_with("Gridlock: the work zone queue of the asphalt"));

    const DecisionSummary excluded =
        Summarize(test::ProjectWith(test::DataLines("report-excluded.set"))).summary;
    EXPECT_EQ(excluded.caveats, std::vector<std::string>{"Work zone user delay costs are excluded: "
                                                         "the totals hold agency and maintenance "
                                                         "costs only."});
}

TEST(NumberText, GroupsThousandsAndRoundsDollars) {
    EXPECT_EQ(Grouped(0), "0");
    EXPECT_EQ(Grouped(999), "999");
    EXPECT_EQ(Grouped(-1234567), "-1,234,567");
    EXPECT_EQ(Dollars(61671.5), "$61,672");
    EXPECT_EQ(Dollars(-1000), "-$1,000");
    EXPECT_EQ(Dollars(std::nan("")), "-");
    EXPECT_EQ(Percent(0.0269), "2.7 %");
}

} // namespace
} // namespace velmora
