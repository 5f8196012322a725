#pragma once

// A printed document put together from blocks: text typeset from HTML and figures drawn through
// QPainter, one after the other down the page. A block never straddles two pages when it fits
// on one, so a table keeps its heading and its total; every page carries the footer
// "<title> - Page k of n".

#include <QSizeF>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QPainter;
class QPrinter;
class QRectF;
class QTextDocument;

namespace velmora {

class PrintedPages {
public:
    using Paint = std::function<void(QPainter& painter, const QRectF& area)>;

    explicit PrintedPages(QPrinter& printer);
    ~PrintedPages();

    // The room above the footer, in the printer's pixels.
    QSizeF Body() const { return body_; }

    void AddText(const QString& html);
    // A figure `height` pixels high across the whole width; `paint` draws it into its area.
    void AddFigure(double height, Paint paint);
    // What follows starts on a page of its own.
    void NewPage();

    // Lays the blocks out and prints them. Returns the number of pages printed; 0 when the
    // printer could not start.
    int Print(const QString& footer);

private:
    struct Block {
        std::unique_ptr<QTextDocument> text;
        double height = 0.0;
        Paint paint;
        bool newPage = false;
    };
    struct Placed {
        const Block* block;
        int page;
        double top;
        int textPage; // the page of a text too long for one page; 0 otherwise
    };

    std::vector<Placed> Layout() const;

    QPrinter& printer_;
    QSizeF body_;
    double footerHeight_ = 0.0;
    std::vector<Block> blocks_;
};

} // namespace velmora
