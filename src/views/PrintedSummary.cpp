#include "views/PrintedSummary.h"

#include "report/NumberText.h"
#include "report/ReportDocument.h"

#include <QStringList>

namespace velmora {
namespace {

QString Html(const std::string& text) {
    return QString::fromStdString(text).toHtmlEscaped();
}

QString Cell(const QString& text, bool number, bool bold = false) {
    const QString shown = bold ? "<b>" + text + "</b>" : text;
    return number ? "<td align=\"right\">" + shown + "</td>" : "<td>" + shown + "</td>";
}

QString Heading(const QStringList& titles) {
    QString row = "<tr>";
    for (const QString& title : titles) row += "<th>" + title.toHtmlEscaped() + "</th>";
    return row + "</tr>";
}

constexpr const char* kTable = "<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\">";

} // namespace

QString HtmlText(const std::string& text) {
    return Html(text).replace(u'\n', QStringLiteral("<br>"));
}

QString DecisionHtml(const DecisionSummary& s, const ProjectData& project, std::time_t time) {
    QString html = "<h1>" + HtmlText(project.projectTitle) + "</h1>";
    html += "<p>Pavement life cycle cost analysis, printed " + Html(ExportMoment(time)) + ". " +
            Html(s.basis) + ".</p>";
    // The description as typed: its line breaks and runs of blanks are the author's layout.
    if (!project.projectDescription.empty())
        html += "<p style=\"white-space: pre-wrap\">" + Html(project.projectDescription) + "</p>";
    html += "<p style=\"font-size: 14pt\"><b>" + Html(s.headline) + "</b></p>";
    for (const std::string& caveat : s.caveats)
        html += "<p style=\"color: #a00000\"><b>" + HtmlText(caveat) + "</b></p>";
    if (s.table.empty()) return html;
    html += "<p>Net present value per mile, $; the equivalent uniform annual cost spreads each "
            "total evenly over the analysis period.</p>";
    html += kTable + Heading({"", "Asphalt", "Concrete", kDifferenceHeading});
    for (const DecisionLine& line : s.table) {
        // The totals are what the sentence compares: they stand out.
        const bool total = &line == &s.table[3];
        html += "<tr>" + Cell(Html(line.label), false, total);
        for (double value : {line.option[0], line.option[1], line.difference})
            html += Cell(QString::fromStdString(WholeNumber(value)), true, total);
        html += "</tr>";
    }
    return html + "</table>";
}

QString RiskSummaryHtml(const DecisionSummary& s) {
    if (s.riskSentence.empty()) return {};
    QString html = "<h2>How sure is it?</h2><p><b>" + Html(s.riskSentence) + ".</b></p>";
    html += kTable +
            Heading({"$ per mile", kSpreadHeadings[0], kSpreadHeadings[1], kSpreadHeadings[2]});
    for (const RiskSpread& spread : s.riskSpreads) {
        html += "<tr>" + Cell(Html(spread.label), false);
        for (double value : spread.percentiles)
            html += Cell(QString::fromStdString(WholeNumber(value)), true);
        html += "</tr>";
    }
    html += "</table>";
    if (s.riskDrivers.empty()) return html;
    html += "<p>The inputs that move the difference most, each from its 10th to its 90th "
            "percentile with the others as entered:</p><ol>";
    for (const std::string& driver : s.riskDrivers) html += "<li>" + Html(driver) + "</li>";
    return html + "</ol>";
}

} // namespace velmora
