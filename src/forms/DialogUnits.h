#pragma once

// Form sizes are given in dialog units, which follow the form's font: a quarter of the average
// character width across and an eighth of the character height down.

#include <QSize>

class QFont;

namespace velmora {

QSize DialogUnitSize(const QFont& font, int width, int height);

} // namespace velmora
