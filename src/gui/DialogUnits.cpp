#include "gui/DialogUnits.h"

#include <QFontMetrics>
#include <QScreen>
#include <QWidget>

namespace velmora {

QSize DialogUnitSize(const QFont& font, int width, int height) {
    const QFontMetrics metrics(font);
    const double across = metrics.horizontalAdvance(QStringLiteral(
                              "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                          52.0;
    return QSize(int(width * across / 4 + 0.5), int(height * metrics.height() / 8.0 + 0.5));
}

QSize FormSize(const QWidget& form, int width, int height) {
    // A font wider than the one the forms were drawn for would otherwise push them off a small
    // screen.
    return DialogUnitSize(form.font(), width, height)
        .boundedTo(form.screen()->availableGeometry().size())
        .expandedTo(form.sizeHint());
}

} // namespace velmora
