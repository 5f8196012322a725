#include "views/PrintedReport.h"

#include "engine/Analysis.h"
#include "report/ReportDocument.h"
#include "views/CostChartsForm.h"
#include "views/RiskResultsView.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>
#include <span>
#include <vector>

namespace velmora {
namespace {

QString Escaped(const QString& text) {
    return text.toHtmlEscaped().replace(u'\n', QStringLiteral("<br>"));
}

QString CellText(const ReportCell& cell) {
    if (cell.kind == ReportCell::Kind::Text) return QString::fromStdString(cell.text);
    return QString::number(cell.value, 'f', cell.decimals);
}

// A section's rows as HTML: rows between blank lines make one table, with headings as <th> and
// numbers right-aligned; a row of one text alone is a paragraph.
QString RowsHtml(std::span<const ReportRow> rows) {
    QString html;
    QString table;
    const auto flush = [&] {
        if (table.isEmpty()) return;
        html += "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">" + table + "</table>";
        table.clear();
    };
    for (const ReportRow& row : rows) {
        if (row.cells.size() <= 1) {
            flush();
            if (!row.cells.empty()) html += "<p>" + Escaped(CellText(row.cells[0])) + "</p>";
            continue;
        }
        table += "<tr>";
        const QString tag = row.header ? "th" : "td";
        for (const ReportCell& cell : row.cells) {
            const bool number = cell.kind == ReportCell::Kind::Number;
            table += "<" + tag + (number ? " align=\"right\">" : ">") +
                     Escaped(CellText(cell).trimmed()) + "</" + tag + ">";
        }
        table += "</tr>";
    }
    flush();
    return html;
}

} // namespace

QString PrintedReportHtml(const ProjectData& record, std::time_t time) {
    // The hand-off rewrites the stage flags; printing works on a copy and changes no record.
    ProjectData project = record;
    const HandOff handOff = PrepareAnalysis(project);
    const AnalysisResult run = handOff.ok() ? RunAnalysisOnCopy(project) : AnalysisResult{};
    const ReportDocument document =
        BuildReportDocument(project, handOff.ok() ? &run.results : nullptr, time);

    QString html = "<html><body>";
    for (const ReportSection& section : document.sections) {
        std::span<const ReportRow> rows = section.rows;
        if (section.kind == ReportSection::Kind::Title) {
            // The program's name and version line heads the whole printout.
            html += "<h1>" + Escaped(CellText(rows.front().cells.front())) + "</h1>";
            rows = rows.subspan(1);
        } else {
            html += "<h2>" + Escaped(QString::fromStdString(section.heading)) + "</h2>";
        }
        html += RowsHtml(rows);
    }
    if (!handOff.ok())
        html += "<h2>COMPUTED COSTS</h2><p><b>" +
                Escaped(QString::fromStdString(handOff.refusal.caption)) + "</b></p><p>" +
                Escaped(QString::fromStdString(handOff.refusal.text)) + "</p>";
    for (const auto& [gridlock, option] :
         {std::pair{run.option[PavementOption::Asphalt].gridlock, "Asphalt option"},
          std::pair{run.option[PavementOption::Concrete].gridlock, "Concrete option"}})
        if (gridlock)
            html += "<p><b>" + QString(option) + ": " + kGridlockCaption + ".</b> " +
                    Escaped(QString(kGridlockText)) + "</p>";
    return html + "</body></html>";
}

int PrintDocument(QPrinter& printer, const QString& html, const QString& footer,
                  std::span<const PrintedPage> pages) {
    QTextDocument document;
    // Laid out in the printer's own units, so that the text measures on paper as it prints.
    document.documentLayout()->setPaintDevice(&printer);
    QFont font = document.defaultFont();
    font.setPointSizeF(9);
    document.setDefaultFont(font);
    document.setHtml(html);

    QPainter painter;
    if (!painter.begin(&printer)) return 0;
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const double footerHeight = 2 * QFontMetricsF(font, &printer).height();
    const QSizeF body(page.width(), page.height() - footerHeight);
    document.setPageSize(body);

    const int textPages = document.pageCount();
    const int total = textPages + int(pages.size());
    const auto printFooter = [&](int p) {
        painter.setFont(font);
        painter.drawText(QRectF(0, body.height(), body.width(), footerHeight),
                         Qt::AlignHCenter | Qt::AlignBottom,
                         QStringLiteral("%1 - Page %2 of %3").arg(footer).arg(p + 1).arg(total));
    };
    for (int p = 0; p < textPages; ++p) {
        if (p > 0) printer.newPage();
        const QRectF shown(0, p * body.height(), body.width(), body.height());
        painter.save();
        painter.translate(0, -shown.top());
        painter.setClipRect(shown);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = shown;
        document.documentLayout()->draw(&painter, context);
        painter.restore();
        printFooter(p);
    }
    // Page titles in the size of the report's section headings.
    QFont titleFont = font;
    titleFont.setPointSizeF(font.pointSizeF() * 1.5);
    titleFont.setBold(true);
    const double titleHeight = 2 * QFontMetricsF(titleFont, &printer).height();
    for (int k = 0; k < int(pages.size()); ++k) {
        printer.newPage();
        painter.save();
        painter.setFont(titleFont);
        painter.drawText(QRectF(0, 0, body.width(), titleHeight), Qt::AlignLeft | Qt::AlignTop,
                         pages[k].title);
        pages[k].paint(painter, QRectF(0, titleHeight, body.width(), body.height() - titleHeight));
        painter.restore();
        printFooter(textPages + k);
    }
    return total;
}

void PrintProject(QPrinter& printer, const ProjectData& project, const risk::RiskAnalysis* risk) {
    std::vector<PrintedPage> all;
    if (std::optional<PrintedPage> charts = CostChartsPage(project)) all.push_back(*charts);
    if (risk) all.push_back(RiskResultsPage({std::shared_ptr<void>(), risk}));
    PrintDocument(printer, PrintedReportHtml(project, std::time(nullptr)),
                  QString::fromStdString(project.projectTitle), all);
}

} // namespace velmora
