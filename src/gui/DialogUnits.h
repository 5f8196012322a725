#pragma once

// Form sizes are given in dialog units, which follow the form's font: a quarter of the average
// character width across and an eighth of the character height down.

#include <QSize>

class QFont;
class QWidget;

namespace velmora {

QSize DialogUnitSize(const QFont& font, int width, int height);

// The opening size of `form`, drawn at `width` by `height` dialog units: no larger than the
// screen it opens on, unless its layout asks for more.
QSize FormSize(const QWidget& form, int width, int height);

} // namespace velmora
