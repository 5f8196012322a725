#pragma once

// The printed report of a project: what "Export All Data" writes, typeset as tables, with the
// pieces apart so that tests can read the document and count the pages.

#include <QRectF>
#include <QString>
#include <ctime>
#include <functional>
#include <span>

class QPainter;
class QPrinter;

namespace velmora {

struct ProjectData;
namespace risk {
struct RiskAnalysis;
}

// The report as HTML: every input of `project` and the costs of a Compute Costs run on a copy of
// it, as the export would write them at `time`. A project that Compute Costs refuses gets its
// inputs and the refusal in place of the costs; a gridlocked option is noted under the costs.
QString PrintedReportHtml(const ProjectData& project, std::time_t time);

// A page printed after the report's text, such as a page of charts: `title` at its head, and
// `paint` draws into `area`, the rest of the page above the footer, in the printer's pixels.
struct PrintedPage {
    QString title;
    std::function<void(QPainter& painter, const QRectF& area)> paint;
};

// Prints `html` on `printer`, page after page, then each of `pages`, with the page number and
// `footer` at the foot of each page. Returns the number of pages printed; 0 when the printer
// could not start.
int PrintDocument(QPrinter& printer, const QString& html, const QString& footer,
                  std::span<const PrintedPage> pages = {});

// Asks nothing: prints the report of `project` on `printer` as it is set up, then the page of
// its cost charts (unless Compute Costs refuses it), then the page of `risk`, results of a risk
// analysis of the project as it stands.
void PrintProject(QPrinter& printer, const ProjectData& project,
                  const risk::RiskAnalysis* risk = nullptr);

} // namespace velmora
