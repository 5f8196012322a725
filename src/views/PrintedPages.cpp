#include "views/PrintedPages.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>
#include <cmath>

namespace velmora {
namespace {

QFont PrintFont() {
    QFont font;
    font.setPointSizeF(9);
    return font;
}

} // namespace

PrintedPages::PrintedPages(QPrinter& printer) : printer_(printer) {
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    footerHeight_ = 2 * QFontMetricsF(PrintFont(), &printer).height();
    body_ = QSizeF(page.width(), page.height() - footerHeight_);
}

PrintedPages::~PrintedPages() = default;

void PrintedPages::AddText(const QString& html) {
    Block block;
    block.text = std::make_unique<QTextDocument>();
    // Laid out in the printer's own units, so that the text measures on paper as it prints.
    block.text->documentLayout()->setPaintDevice(&printer_);
    block.text->setDefaultFont(PrintFont());
    block.text->setDocumentMargin(0);
    block.text->setHtml(html);
    block.text->setTextWidth(body_.width());
    block.height = block.text->documentLayout()->documentSize().height();
    if (block.height > body_.height()) {
        // Too long for one page: the text breaks itself into pages between its lines.
        block.text->setPageSize(body_);
        block.height = block.text->pageCount() * body_.height();
    }
    blocks_.push_back(std::move(block));
}

void PrintedPages::AddFigure(double height, Paint paint) {
    Block block;
    block.height = std::min(height, body_.height());
    block.paint = std::move(paint);
    blocks_.push_back(std::move(block));
}

void PrintedPages::NewPage() {
    Block block;
    block.newPage = true;
    blocks_.push_back(std::move(block));
}

std::vector<PrintedPages::Placed> PrintedPages::Layout() const {
    std::vector<Placed> placed;
    int page = 0;
    double y = 0.0;
    const double gap = QFontMetricsF(PrintFont(), &printer_).height() * 0.8;
    for (const Block& block : blocks_) {
        if (block.newPage) {
            if (y > 0.0) ++page, y = 0.0;
            continue;
        }
        const double top = y > 0.0 ? y + gap : 0.0;
        if (block.height <= body_.height()) {
            if (top + block.height > body_.height()) ++page, y = 0.0;
            const double at = y > 0.0 ? top : 0.0;
            placed.push_back({&block, page, at, 0});
            y = at + block.height;
            continue;
        }
        // A text longer than a page (a long description) goes on pages of its own, broken
        // between lines as the text's own pages break it.
        if (y > 0.0) ++page;
        const int pages = block.text->pageCount();
        for (int k = 0; k < pages; ++k) placed.push_back({&block, page + k, 0.0, k});
        page += pages - 1;
        y = body_.height();
    }
    return placed;
}

int PrintedPages::Print(const QString& footer) {
    const std::vector<Placed> placed = Layout();
    const int total = placed.empty() ? 1 : placed.back().page + 1;
    QPainter painter;
    if (!painter.begin(&printer_)) return 0;
    int page = 0;
    const auto printFooter = [&] {
        painter.setFont(PrintFont());
        painter.setPen(Qt::black);
        painter.drawText(QRectF(0, body_.height(), body_.width(), footerHeight_),
                         Qt::AlignHCenter | Qt::AlignBottom,
                         QStringLiteral("%1 - Page %2 of %3").arg(footer).arg(page + 1).arg(total));
    };
    for (const Placed& p : placed) {
        while (page < p.page) {
            printFooter();
            printer_.newPage();
            ++page;
        }
        painter.save();
        if (p.block->text) {
            // A text's own page k starts k body heights down its layout.
            const double from = p.textPage * body_.height();
            const double height = std::min(p.block->height - from, body_.height());
            const QRectF shown(0, from, body_.width(), height);
            painter.translate(0, p.top - from);
            painter.setClipRect(shown);
            QAbstractTextDocumentLayout::PaintContext context;
            context.clip = shown;
            p.block->text->documentLayout()->draw(&painter, context);
        } else {
            p.block->paint(painter, QRectF(0, p.top, body_.width(), p.block->height));
        }
        painter.restore();
    }
    printFooter();
    return total;
}

} // namespace velmora
