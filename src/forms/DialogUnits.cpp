#include "DialogUnits.h"

#include <QFontMetrics>

namespace velmora {

QSize DialogUnitSize(const QFont& font, int width, int height) {
    const QFontMetrics metrics(font);
    const double across = metrics.horizontalAdvance(QStringLiteral(
                              "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                          52.0;
    return QSize(int(width * across / 4 + 0.5), int(height * metrics.height() / 8.0 + 0.5));
}

} // namespace velmora
