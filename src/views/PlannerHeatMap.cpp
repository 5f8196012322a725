#include "views/PlannerHeatMap.h"

#include "report/NumberText.h"
#include "views/PlannerTables.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>
#include <algorithm>
#include <cmath>

namespace velmora {
namespace {

// Pale yellow for the cheapest windows through orange to a dark red for the dearest: one hue
// family, so that dark reads as dear without a legend.
QColor ShadeColour(double t) {
    static const QColor kStops[] = {QColor(0xff, 0xf7, 0xd6), QColor(0xf4, 0x9a, 0x3c),
                                    QColor(0x8c, 0x1d, 0x04)};
    const double x = std::clamp(t, 0.0, 1.0) * 2.0;
    const int k = std::min(1, int(x));
    const double f = x - k;
    const QColor &a = kStops[k], &b = kStops[k + 1];
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * f),
                            float(a.greenF() + (b.greenF() - a.greenF()) * f),
                            float(a.blueF() + (b.blueF() - a.blueF()) * f));
}

const QColor kUnpriced(0xb0, 0xb0, 0xb0);
const QColor kCheapest(0x1a, 0x80, 0x3c);
const QColor kProject(0x1f, 0x4e, 0x9c);

int LengthRow(ClosureWindow window) {
    return planner::WindowHours(window) - 1;
}

} // namespace

PlannerHeatMap::PlannerHeatMap(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    for (auto& row : index_) row.fill(-1);
}

QSize PlannerHeatMap::sizeHint() const {
    const int line = fontMetrics().height();
    return {6 * line + 24 * 22, 4 * line + 24 * 14};
}

QSize PlannerHeatMap::minimumSizeHint() const {
    const int line = fontMetrics().height();
    return {6 * line + 24 * 12, 4 * line + 24 * 8};
}

void PlannerHeatMap::SetSearch(const planner::StageSearch* search) {
    search_ = search;
    for (auto& row : index_) row.fill(-1);
    if (search_) {
        const auto& all = search_->candidates;
        const auto priced = std::count_if(all.begin(), all.end(),
                                          [](const planner::Candidate& c) { return c.priced(); });
        // Ranked by total regardless of limits: the colour says what a window costs, the cross
        // whether it may be used.
        std::vector<std::pair<double, int>> totals;
        for (int k = 0; k < int(all.size()); ++k) {
            const planner::Candidate& c = all[std::size_t(k)];
            const int row = LengthRow(c.window);
            for (int start = 0; start < 24; ++start)
                if (row < 23 ? start == c.window.start : true) index_[row][start] = k;
            if (c.priced()) totals.push_back({c.total, k});
        }
        std::sort(totals.begin(), totals.end());
        std::vector<double> place(all.size(), 1.0);
        for (std::size_t r = 0; r < totals.size(); ++r)
            place[std::size_t(totals[r].second)] = priced > 1 ? double(r) / double(priced - 1) : 0;
        for (int row = 0; row < 24; ++row)
            for (int start = 0; start < 24; ++start)
                if (index_[row][start] >= 0)
                    shade_[row][start] = place[std::size_t(index_[row][start])];
    }
    update();
}

void PlannerHeatMap::SetSelected(ClosureWindow window) {
    selected_ = window;
    update();
}

const planner::Candidate* PlannerHeatMap::CandidateOf(ClosureWindow window) const {
    const int k = index_[LengthRow(window)][window.start];
    return search_ && k >= 0 ? &search_->candidates[std::size_t(k)] : nullptr;
}

PlannerHeatMap::Grid PlannerHeatMap::Layout() const {
    const int line = fontMetrics().height();
    const double left = 2.5 * line + fontMetrics().horizontalAdvance(QStringLiteral("24")),
                 top = 2.2 * line;
    return {left, top, (width() - left - 4) / 24.0, (height() - top - 1.8 * line) / 24.0};
}

QRectF PlannerHeatMap::CellRect(ClosureWindow window) const {
    const Grid g = Layout();
    const int row = LengthRow(window);
    if (row == 23) return {g.left, g.top + 23 * g.height, 24 * g.width, g.height};
    return {g.left + window.start * g.width, g.top + row * g.height, g.width, g.height};
}

std::optional<ClosureWindow> PlannerHeatMap::WindowAt(QPoint point) const {
    const Grid g = Layout();
    const int start = int(std::floor((point.x() - g.left) / g.width));
    const int row = int(std::floor((point.y() - g.top) / g.height));
    if (start < 0 || start > 23 || row < 0 || row > 23) return std::nullopt;
    if (row == 23) return ClosureWindow{0, 0};
    return ClosureWindow{start, (start + row + 1) % 24};
}

QPoint PlannerHeatMap::CellCentre(ClosureWindow window) const {
    return CellRect(window).center().toPoint();
}

void PlannerHeatMap::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    const Grid g = Layout();
    const QFontMetrics fm = fontMetrics();
    const int line = fm.height();
    p.setPen(palette().text().color());
    p.drawText(QRectF(g.left, 0, 24 * g.width, line), Qt::AlignCenter,
               QStringLiteral("Start hour"));
    const int every = g.width * 2 >= fm.horizontalAdvance(QStringLiteral("00")) * 2.4 ? 2 : 3;
    for (int start = 0; start < 24; start += every)
        p.drawText(QRectF(g.left + start * g.width - 10, line, g.width + 20, line), Qt::AlignCenter,
                   QString::number(start));
    p.save();
    p.translate(line * 0.9, g.top + 12 * g.height);
    p.rotate(-90);
    p.drawText(QRectF(-8 * line, -line, 16 * line, line * 1.5), Qt::AlignCenter,
               QStringLiteral("Hours closed"));
    p.restore();
    const int rowsEvery = g.height >= fm.height() * 0.95 ? 1 : 2;
    for (int row = 0; row < 24; ++row)
        if ((row + 1) % rowsEvery == 0 || row == 0)
            p.drawText(
                QRectF(line * 1.3, g.top + row * g.height, g.left - line * 1.3 - 4, g.height),
                Qt::AlignRight | Qt::AlignVCenter, QString::number(row + 1));

    const QBrush hatch(QColor(40, 40, 40, 150), Qt::BDiagPattern);
    for (int row = 0; row < 24; ++row)
        for (int start = 0; start < (row == 23 ? 1 : 24); ++start) {
            const ClosureWindow window =
                row == 23 ? ClosureWindow{0, 0} : ClosureWindow{start, (start + row + 1) % 24};
            const QRectF cell = CellRect(window);
            const planner::Candidate* c = CandidateOf(window);
            if (!c) {
                p.fillRect(cell, palette().window());
                continue;
            }
            p.fillRect(cell, c->priced() ? ShadeColour(shade_[row][start]) : kUnpriced);
            if (!c->priced()) {
                p.setPen(QPen(QColor(60, 60, 60), 1));
                p.drawLine(cell.topLeft(), cell.bottomRight());
                p.drawLine(cell.topRight(), cell.bottomLeft());
            } else if (!c->feasible()) {
                p.fillRect(cell, hatch);
            }
        }
    p.setPen(QPen(palette().mid().color(), 0.5));
    for (int row = 0; row <= 24; ++row)
        p.drawLine(QPointF(g.left, g.top + row * g.height),
                   QPointF(g.left + 24 * g.width, g.top + row * g.height));
    for (int start = 0; start <= 24; ++start)
        p.drawLine(QPointF(g.left + start * g.width, g.top),
                   QPointF(g.left + start * g.width, g.top + (start % 24 ? 23 : 24) * g.height));

    p.setBrush(Qt::NoBrush);
    const auto outline = [&](ClosureWindow window, const QPen& pen, double inset) {
        p.setPen(pen);
        p.drawRect(CellRect(window).adjusted(inset, inset, -inset, -inset));
    };
    if (search_) {
        const planner::Candidate& best = search_->candidates.front();
        if (best.feasible()) outline(best.window, QPen(kCheapest, 3), 1.5);
        QPen dashed(kProject, 2, Qt::DashLine);
        outline(search_->projectWindow.window, dashed, 1);
    }
    QPen selection(palette().text().color(), hasFocus() ? 2 : 1.5);
    outline(selected_, selection, -1);

    // The key under the grid.
    const double y = g.top + 24 * g.height + 0.4 * line;
    double x = g.left;
    const auto key = [&](const QString& text, auto swatch) {
        const QRectF box(x, y + 2, line, line - 4);
        swatch(box);
        p.setPen(palette().text().color());
        p.drawText(QPointF(x + line + 4, y + fm.ascent()), text);
        x += line + 12 + fm.horizontalAdvance(text);
    };
    key(QStringLiteral("cheap"), [&](QRectF b) { p.fillRect(b, ShadeColour(0)); });
    key(QStringLiteral("dear"), [&](QRectF b) { p.fillRect(b, ShadeColour(1)); });
    key(QStringLiteral("breaks a limit"), [&](QRectF b) {
        p.fillRect(b, ShadeColour(0.3));
        p.fillRect(b, hatch);
    });
    key(QStringLiteral("cheapest feasible"), [&](QRectF b) {
        p.setPen(QPen(kCheapest, 3));
        p.drawRect(b.adjusted(1.5, 1.5, -1.5, -1.5));
    });
    key(QStringLiteral("project's"), [&](QRectF b) {
        p.setPen(QPen(kProject, 2, Qt::DashLine));
        p.drawRect(b.adjusted(1, 1, -1, -1));
    });
}

void PlannerHeatMap::mousePressEvent(QMouseEvent* event) {
    if (const auto window = WindowAt(event->position().toPoint())) {
        setFocus(Qt::MouseFocusReason);
        emit windowClicked(*window);
    }
}

void PlannerHeatMap::keyPressEvent(QKeyEvent* event) {
    // Arrows walk the grid: across to another start hour, down to a longer closure.
    int start = selected_.start, hours = planner::WindowHours(selected_);
    switch (event->key()) {
    case Qt::Key_Left:
        start = (start + 23) % 24;
        break;
    case Qt::Key_Right:
        start = (start + 1) % 24;
        break;
    case Qt::Key_Up:
        hours = std::max(1, hours - 1);
        break;
    case Qt::Key_Down:
        hours = std::min(24, hours + 1);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    emit windowClicked(hours == 24 ? ClosureWindow{0, 0}
                                   : ClosureWindow{start, (start + hours) % 24});
}

bool PlannerHeatMap::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QWidget::event(event);
    auto* help = static_cast<QHelpEvent*>(event);
    const auto window = WindowAt(help->pos());
    const planner::Candidate* c = window ? CandidateOf(*window) : nullptr;
    if (!c) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    QString text = PlannerWindowText(c->window);
    if (c->priced())
        text += QStringLiteral(": total %1 per mile, %2 days, longest queue %3 mi")
                    .arg(PlannerDollars(c->total), QString::fromStdString(WholeNumber(c->days)),
                         QString::fromStdString(Fixed(c->maxQueueMiles, 2)));
    if (!c->feasible())
        text +=
            QStringLiteral("\nBreaks: ") + QString::fromStdString(planner::BrokenText(c->broken));
    QToolTip::showText(help->globalPos(), text, this);
    return true;
}

} // namespace velmora
