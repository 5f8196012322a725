#pragma once

// A window's size and position kept between sessions in the program's settings, and always
// brought back within the screen it opens on.

#include <QSize>
#include <QString>

class QWidget;

namespace velmora {

// Gives `window` the geometry saved under `key`, or `preferred` centred on its screen; either
// way no larger than the screen's available area.
void RestoreGeometry(QWidget* window, const QString& key, QSize preferred);
void SaveGeometry(const QWidget* window, const QString& key);

} // namespace velmora
