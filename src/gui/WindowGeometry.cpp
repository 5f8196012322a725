#include "gui/WindowGeometry.h"

#include "gui/ProgramSettings.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace velmora {
namespace {

QString Key(const QString& key) {
    return QStringLiteral("Windows/") + key;
}

} // namespace

void RestoreGeometry(QWidget* window, const QString& key, QSize preferred) {
    const QScreen* screen = window->parentWidget() ? window->parentWidget()->screen()
                                                   : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QByteArray saved = ProgramSettings().value(Key(key)).toByteArray();
    if (saved.isEmpty() || !window->restoreGeometry(saved)) {
        // The frame takes a few pixels more than the window's own size.
        window->resize(preferred.boundedTo(area.size() - QSize(16, 40)));
        window->move(area.center() - window->rect().center());
    }
    // A geometry saved on a larger screen, or one since unplugged, comes back onto this one.
    QRect r = window->geometry();
    r.setSize(r.size().boundedTo(area.size() - QSize(16, 40)));
    r.moveLeft(std::clamp(r.left(), area.left(), std::max(area.left(), area.right() - r.width())));
    r.moveTop(std::clamp(r.top(), area.top(), std::max(area.top(), area.bottom() - r.height())));
    window->setGeometry(r);
}

void SaveGeometry(const QWidget* window, const QString& key) {
    ProgramSettings().setValue(Key(key), window->saveGeometry());
}

} // namespace velmora
