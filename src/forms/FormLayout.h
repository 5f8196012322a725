#pragma once

// Layout pieces the forms share: labels, label-control-unit rows, read-only boxes, and titled
// frames drawn behind blocks of grid cells.

#include <QString>
#include <Qt>

class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QWidget;

namespace velmora {

QLabel* Label(const QString& text, Qt::Alignment alignment = Qt::AlignLeft);
// One labelled row of a grid: label, control, unit (any may be null), from `column` on.
void AddRow(QGridLayout* grid, int row, int column, const QString& label, QWidget* control,
            const QString& unit = {});
// A box that shows what the form derives or keeps elsewhere: it cannot be typed into, and it
// stands on the form's background instead of an edit's.
void ShowReadOnly(QLineEdit* edit);
// The width at which `edit` shows `text` whole.
int WidthFor(const QLineEdit* edit, const QString& text);

// A grid on a panel of its own in `form`, which the form adds as grid->parentWidget(). A grid
// nested straight in another layout never grows past the height of its rows of fixed-height
// boxes; on a panel, row stretch spreads spare height over them.
QGridLayout* PanelGrid(QWidget* form);
// A titled frame drawn behind a block of cells of `grid`, so that rows of controls can run
// through several frames and line up. The outer ring of the block belongs to the frame: its
// first row holds the title, its last row and its first and last columns the border; put
// nothing there.
QGroupBox* FrameCells(QWidget* form, QGridLayout* grid, const QString& title, int row, int column,
                      int rowSpan, int columnSpan);

} // namespace velmora
