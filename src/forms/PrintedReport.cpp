#include "PrintedReport.h"

#include "Forms.h"
#include "engine/Analysis.h"
#include "model/Cp1252.h"
#include "model/SavedFields.h"
#include "report/Report.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPrinter>
#include <QStringList>
#include <QTextDocument>
#include <algorithm>
#include <type_traits>

namespace velmora {
namespace {

// Where the report's computed costs begin; a refused project prints no costs.
const QString kCostsHeading = QStringLiteral("\r\n\r\n***COMPUTED COSTS - ASPHALT OPTION***");

// A report holds Windows-1252 text only; on paper a character it cannot hold becomes '?'
// instead of costing the user the whole printout.
ProjectData Printable(ProjectData project) {
    ForEachSavedField(project, [](const FieldName&, auto& field) {
        if constexpr (std::is_same_v<std::decay_t<decltype(field)>, std::string>) {
            if (FitsCp1252(field)) return;
            QString printable;
            for (char32_t cp : QString::fromStdString(field).toUcs4())
                printable += Cp1252FromCodePoint(cp) ? QString::fromUcs4(&cp, 1) : QString("?");
            field = printable.toStdString();
        }
    });
    return project;
}

bool IsNumber(const QString& cell) {
    bool ok = false;
    cell.trimmed().toDouble(&ok);
    return ok;
}

QString Escaped(const QString& text) {
    return text.toHtmlEscaped().replace(u'\n', QStringLiteral("<br>"));
}

// The report's tab-separated lines as HTML: a "***SECTION***" line becomes a heading, a line
// without tabs a paragraph, and the lines between two blank lines one table whose numbers are
// right-aligned. A first row that holds only texts, three or more of them, heads its table.
QString TabTextToHtml(const QString& text) {
    QString html;
    QString rows;
    const auto flush = [&] {
        if (rows.isEmpty()) return;
        html += "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">" + rows + "</table>";
        rows.clear();
    };
    bool first = true;
    for (const QString& line : text.split(QStringLiteral("\r\n"))) {
        if (first) {
            html += "<h1>" + Escaped(line) + "</h1>";
            first = false;
            continue;
        }
        const QStringList cells = line.split(u'\t');
        if (line.startsWith(QStringLiteral("***")) && line.endsWith(QStringLiteral("***"))) {
            flush();
            html += "<h2>" + Escaped(line.mid(3, line.size() - 6)) + "</h2>";
        } else if (line.isEmpty() || cells.size() == 1) {
            flush();
            if (!line.isEmpty()) html += "<p>" + Escaped(line) + "</p>";
        } else {
            const bool heading = rows.isEmpty() && cells.size() >= 3 &&
                                 std::none_of(cells.begin(), cells.end(), IsNumber);
            rows += "<tr>";
            for (const QString& cell : cells) {
                const QString tag = heading ? "th" : "td";
                rows += "<" + tag + (IsNumber(cell) ? " align=\"right\">" : ">") +
                        Escaped(cell.trimmed()) + "</" + tag + ">";
            }
            rows += "</tr>";
        }
    }
    flush();
    return html;
}

} // namespace

QString PrintedReportHtml(const ProjectData& record, std::time_t time) {
    // The hand-off rewrites the stage flags; printing works on a copy and changes no record.
    ProjectData project = Printable(record);
    const std::optional<Refusal> refusal = PrepareAnalysis(project);
    const AnalysisResult run = refusal ? AnalysisResult{} : RunAnalysisOnCopy(project);
    QString text =
        QString::fromStdString(Cp1252ToUtf8(BuildReport(project, run.results, time).bytes));
    QString notes;
    if (refusal) {
        text.truncate(text.indexOf(kCostsHeading));
        notes = "<h2>COMPUTED COSTS</h2><p><b>" +
                Escaped(QString::fromStdString(refusal->caption)) + "</b></p><p>" +
                Escaped(QString::fromStdString(refusal->text)) + "</p>";
    }
    for (const auto& [gridlock, option] : {std::pair{run.asphaltGridlock, "Asphalt option"},
                                           std::pair{run.concreteGridlock, "Concrete option"}})
        if (gridlock)
            notes += "<p><b>" + QString(option) + ": " + kGridlockCaption + ".</b> " +
                     Escaped(QString(kGridlockText)) + "</p>";
    return "<html><body>" + TabTextToHtml(text) + notes + "</body></html>";
}

int PrintDocument(QPrinter& printer, const QString& html, const QString& footer) {
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

    const int pages = document.pageCount();
    for (int p = 0; p < pages; ++p) {
        if (p > 0) printer.newPage();
        const QRectF shown(0, p * body.height(), body.width(), body.height());
        painter.save();
        painter.translate(0, -shown.top());
        painter.setClipRect(shown);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = shown;
        document.documentLayout()->draw(&painter, context);
        painter.restore();
        painter.setFont(font);
        painter.drawText(QRectF(0, body.height(), body.width(), footerHeight),
                         Qt::AlignHCenter | Qt::AlignBottom,
                         QStringLiteral("%1 - Page %2 of %3").arg(footer).arg(p + 1).arg(pages));
    }
    return pages;
}

void PrintProject(QPrinter& printer, const ProjectData& project) {
    PrintDocument(printer, PrintedReportHtml(project, std::time(nullptr)),
                  QString::fromStdString(project.projectTitle));
}

} // namespace velmora
