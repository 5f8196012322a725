#pragma once

// Every closure window of a stage at a glance: start hour across, length down, each cell
// coloured by the window's total from the cheapest (pale) to the dearest (dark). Windows that
// break a limit are crossed out, the cheapest feasible one is outlined, the project's own window
// dashed. A click selects a window; each cell's tooltip gives its figures.

#include "planner/WorkZonePlanner.h"

#include <QWidget>
#include <array>
#include <optional>

namespace velmora {

class PlannerHeatMap : public QWidget {
    Q_OBJECT
public:
    explicit PlannerHeatMap(QWidget* parent = nullptr);

    // `search` must outlive its showing; null shows an empty grid.
    void SetSearch(const planner::StageSearch* search);
    void SetSelected(ClosureWindow window);
    // The window of the cell at `point`, if any.
    std::optional<ClosureWindow> WindowAt(QPoint point) const;
    // The centre of `window`'s cell, for a click.
    QPoint CellCentre(ClosureWindow window) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void windowClicked(ClosureWindow window);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    // The grid's place in the widget: its top left corner and the size of one cell.
    struct Grid {
        double left, top, width, height;
    };
    Grid Layout() const;
    QRectF CellRect(ClosureWindow window) const;
    const planner::Candidate* CandidateOf(ClosureWindow window) const;

    const planner::StageSearch* search_ = nullptr;
    // By length (1 to 24 at 0 to 23) and start hour: the window's candidate, -1 for none, and
    // its place in the ranking of the priced ones, from 0 (cheapest) to 1.
    std::array<std::array<int, 24>, 24> index_{};
    std::array<std::array<double, 24>, 24> shade_{};
    ClosureWindow selected_{20, 6};
};

} // namespace velmora
