#include "forms/FormLayout.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>

namespace velmora {

void ShowReadOnly(QLineEdit* edit) {
    edit->setReadOnly(true);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    edit->setPalette(palette);
}

// The text, and the frame and margins that the edit's minimum size adds to its font's widest
// character.
int WidthFor(const QLineEdit* edit, const QString& text) {
    const QFontMetrics metrics = edit->fontMetrics();
    return metrics.horizontalAdvance(text) + edit->minimumSizeHint().width() - metrics.maxWidth();
}

QLabel* Label(const QString& text, Qt::Alignment alignment) {
    auto* label = new QLabel(text);
    label->setAlignment(alignment | Qt::AlignVCenter);
    return label;
}

void AddRow(QGridLayout* grid, int row, int column, const QString& label, QWidget* control,
            const QString& unit) {
    if (!label.isEmpty()) grid->addWidget(Label(label), row, column);
    if (control) grid->addWidget(control, row, column + 1);
    if (!unit.isEmpty()) grid->addWidget(Label(unit), row, column + 2);
}

QGridLayout* PanelGrid(QWidget* form) {
    auto* grid = new QGridLayout(new QWidget(form));
    grid->setContentsMargins(0, 0, 0, 0);
    return grid;
}

QGroupBox* FrameCells(QWidget* form, QGridLayout* grid, const QString& title, int row, int column,
                      int rowSpan, int columnSpan) {
    auto* box = new QGroupBox(title, form);
    // The style keeps room for the title and the border in the box's margins; the outer ring of
    // cells takes that room and a layout's spacing more, to keep the controls off the line (the
    // grid adds no spacing of its own next to cells that hold nothing).
    const QMargins frame = box->contentsMargins();
    const int across = form->style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing);
    const int down = form->style()->pixelMetric(QStyle::PM_LayoutVerticalSpacing);
    grid->setRowMinimumHeight(row, frame.top() + down);
    grid->setRowMinimumHeight(row + rowSpan - 1, frame.bottom() + down);
    grid->setColumnMinimumWidth(column, frame.left() + across);
    grid->setColumnMinimumWidth(column + columnSpan - 1, frame.right() + across);
    grid->addWidget(box, row, column, rowSpan, columnSpan);
    // Behind the controls, which must get the clicks.
    box->lower();
    return box;
}

} // namespace velmora
