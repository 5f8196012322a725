#include "views/PrintedWorkZone.h"

#include "report/NumberText.h"
#include "risk/RiskDefinitions.h"
#include "views/PlannerCharts.h"
#include "views/PrintedCharts.h"
#include "views/PrintedSummary.h"

#include <QChart>
#include <QLegend>
#include <QString>
#include <algorithm>

namespace velmora {
namespace {

using planner::Candidate;
using planner::StageSearch;

QString Cell(const std::string& text, bool right = true) {
    return (right ? "<td align=\"right\">" : "<td>") + HtmlText(text) + "</td>";
}

QString Row(const QString& label, const Candidate& c) {
    // A gridlocked or unworkable window has no cost to print.
    const auto money = [&](double value) { return Cell(c.priced() ? WholeNumber(value) : "-"); };
    return "<tr><td>" + label + "</td>" + Cell(planner::WindowText(c.window), false) +
           Cell(std::to_string(c.hours)) + Cell(c.priced() ? WholeNumber(c.days) : "-") +
           money(c.userCost) + money(c.closureCost) + money(c.total) +
           Cell(Fixed(c.maxQueueMiles, 2)) + Cell(Fixed(c.maxDelayMinutes, 1)) +
           Cell(planner::BrokenText(c.broken), false) + "</tr>";
}

// What the project's window costs beside the best window, in a sentence.
std::string Comparison(const StageSearch& s) {
    const Candidate& own = s.projectWindow;
    const Candidate& best = s.candidates.front();
    const std::string window = "the project's window, " + planner::WindowText(own.window);
    if (!best.feasible()) return "no window keeps every limit.";
    if (!own.priced()) return window + ", has no cost: " + planner::BrokenText(own.broken) + ".";
    const double more = own.total - best.total;
    if (more == 0.0) return window + ", is the best.";
    return window + ", costs " + Dollars(std::abs(more)) + " per mile " +
           (more > 0.0 ? "more" : "less") + " than the best.";
}

QString StageHtml(int option, const StageSearch& s) {
    QString html = "<p><b>" + HtmlText(OptionName(option)) + ", " +
                   HtmlText(StageName(option, s.stage)) + " (year " +
                   HtmlText(risk::ShortNumber(s.year)) + ")</b>: " + HtmlText(Comparison(s)) +
                   "</p>";
    html += "<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\"><tr>";
    for (const char* heading : {"", "Window", "Hours", "Days", "User cost", "Closure cost", "Total",
                                "Max queue, mi", "Max delay, min", "Limits broken"})
        html += QStringLiteral("<th>%1</th>").arg(heading);
    html += "</tr>";
    constexpr std::array<const char*, 3> kRanks{"Best", "2nd", "3rd"};
    for (std::size_t k = 0; k < std::min<std::size_t>(3, s.candidates.size()); ++k)
        html += Row(kRanks[k], s.candidates[k]);
    html += Row(QStringLiteral("<i>Project's</i>"), s.projectWindow);
    return html + "</table>";
}

} // namespace

void AddWorkZonePage(PrintedPages& pages, const WorkZoneReport& report) {
    pages.NewPage();
    pages.AddText("<h2>WORK ZONE PLANNER</h2><p>" + HtmlText(SettingsLine(report.settings)) +
                  " Costs to road users and of the closures are present worth per mile; the "
                  "windows that keep every limit come first, the cheapest at the top.</p>");
    const StageSearch& drawn = report.run.options[report.option].stages[report.stage];
    const QString title =
        QStringLiteral("%1, %2, year %3: closed %4, the project's window")
            .arg(OptionName(report.option), StageName(report.option, report.stage),
                 QString::fromStdString(risk::ShortNumber(drawn.year)),
                 QString::fromStdString(planner::WindowText(drawn.projectWindow.window)));
    QChart* chart = MakeHourlyChart(ProjectWindowDay(report, report.option, report.stage), title);
    // The page is wide enough for the legend's whole names beside the chart, as the cash flow
    // charts have them.
    chart->legend()->setAlignment(Qt::AlignRight);
    AddChart(pages, 0.36, chart);
    for (int option = 0; option < 2; ++option)
        for (const StageSearch& s : report.run.options[option].stages)
            pages.AddText(StageHtml(option, s));
}

} // namespace velmora
