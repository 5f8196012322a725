#include "views/PrintedReport.h"

#include "engine/Analysis.h"
#include "forms/InputLabels.h"
#include "report/DecisionSummary.h"
#include "report/NumberText.h"
#include "report/ReportDocument.h"
#include "views/CostChartsForm.h"
#include "views/PrintedCharts.h"
#include "views/PrintedPages.h"
#include "views/PrintedSummary.h"
#include "views/PrintedWorkZone.h"

#include <QLocale>
#include <QPageSize>
#include <QPrinter>
#include <span>

namespace velmora {
namespace {

// Two labels of the tab-separated report are kept there for the spreadsheets built on it, but
// misname what they print: the joint sealing quantity is a length, the price is for grinding.
QString PrintedLabel(const std::string& text) {
    if (text == "Joint Sealing, sy") return QStringLiteral("Joint Sealing, ft");
    if (text == "Concrete Milling:") return QStringLiteral("Concrete Grinding:");
    return QString::fromStdString(text);
}

// A maintenance row nobody filled in: the form's placeholder and no numbers.
bool UnusedMaintenanceRow(const ProjectData& project, const std::string& field) {
    for (const auto& [option, rows] :
         {std::pair{"asphaltMaintenance[", &project.asphaltMaintenance},
          std::pair{"concreteMaintenance[", &project.concreteMaintenance}})
        if (field.starts_with(option)) {
            const MaintenanceActivity& row = (*rows)[field[std::string_view(option).size()] - '0'];
            const bool described = row.description != MaintenanceActivity{}.description &&
                                   row.description.find_first_not_of(" \t") != std::string::npos;
            return !described && row.quantity == 0.0 && row.unitPrice == 0.0 &&
                   row.yearsBetween == 0;
        }
    return false;
}

QString CellHtml(const ReportCell& cell, bool money) {
    if (cell.kind == ReportCell::Kind::Text)
        return "<td>" + PrintedLabel(cell.text).trimmed().toHtmlEscaped() + "</td>";
    // Computed costs are whole dollars: cents would only be noise in them.
    const QString number = money ? QString::fromStdString(WholeNumber(cell.value))
                                 : QString::number(cell.value, 'f', cell.decimals);
    return "<td align=\"right\">" + number + "</td>";
}

// A section as one block: its heading, then its rows, where rows between blank lines make one
// table and a row of one text alone is a paragraph.
QString SectionHtml(const ReportSection& section, const ProjectData& project) {
    const bool money = section.kind == ReportSection::Kind::Costs;
    QString html = "<h2>" + QString::fromStdString(section.heading).toHtmlEscaped() + "</h2>";
    QString table;
    const auto flush = [&] {
        if (!table.isEmpty())
            html += "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">" + table + "</table>";
        table.clear();
    };
    for (const ReportRow& row : section.rows) {
        if (row.cells.size() <= 1) {
            flush();
            if (!row.cells.empty()) html += "<p>" + HtmlText(row.cells[0].text) + "</p>";
            continue;
        }
        if (UnusedMaintenanceRow(project, row.cells[0].field)) continue;
        table += "<tr>";
        for (const ReportCell& cell : row.cells)
            table += row.header
                         ? "<th>" + QString::fromStdString(cell.text).toHtmlEscaped() + "</th>"
                         : CellHtml(cell, money);
        table += "</tr>";
    }
    flush();
    return html;
}

} // namespace

void PreparePrinter(QPrinter& printer, const ProjectData& project) {
    printer.setPageSize(QPageSize(QLocale().measurementSystem() == QLocale::ImperialUSSystem
                                      ? QPageSize::Letter
                                      : QPageSize::A4));
    printer.setDocName(QString::fromStdString(project.projectTitle));
    printer.setCreator(QStringLiteral("Velmora 1.0"));
}

int PrintProject(QPrinter& printer, const ProjectData& record, const risk::RiskAnalysis* risk,
                 std::time_t time) {
    // The hand-off rewrites the stage flags; printing works on a copy and changes no record.
    ProjectData project = record;
    const HandOff handOff = PrepareAnalysis(project);
    const AnalysisResult run = handOff.ok() ? RunAnalysisOnCopy(project) : AnalysisResult{};
    const AnalysisResult* computed = handOff.ok() ? &run : nullptr;
    const DecisionSummary summary = SummarizeDecision(
        project, computed, handOff.ok() ? nullptr : &handOff.refusal, risk,
        [](const std::string& field) { return LabelOfInput(field).toStdString(); });

    PrintedPages pages(printer);
    pages.AddText(DecisionHtml(summary, project, time));
    if (computed) AddChart(pages, 0.3, MakeCostChart(run.results));
    if (!summary.riskSentence.empty()) pages.AddText(RiskSummaryHtml(summary));

    if (computed) {
        pages.NewPage();
        pages.AddText(QStringLiteral("<h2>CASH FLOW</h2>"));
        AddCashFlowCharts(pages, project, run);
        if (const std::optional<WorkZoneReport> plan = PlanWorkZones(project))
            AddWorkZonePage(pages, *plan);
        if (!summary.riskSentence.empty()) {
            pages.NewPage();
            pages.AddText(QStringLiteral("<h2>RISK ANALYSIS</h2>"));
            AddRiskCharts(pages, *risk);
        }
    }

    pages.NewPage();
    const ReportDocument document =
        BuildReportDocument(project, computed ? &run.results : nullptr, time);
    for (const ReportSection& section : document.sections)
        if (section.kind != ReportSection::Kind::Title)
            pages.AddText(SectionHtml(section, project));
    return pages.Print(QString::fromStdString(record.projectTitle));
}

} // namespace velmora
