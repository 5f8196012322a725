#include "app/MainWindow.h"

#include <QApplication>
#include <QTimer>
#include <QWindow>
#include <cstdlib>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    application.setApplicationName("Velmora");
    application.setWindowIcon(QIcon(":/icons/velmora.png"));
    velmora::MainWindow window;
    const QStringList arguments = application.arguments().mid(1);
    if (!window.Start(arguments)) return window.ExitCode();
    if (arguments.contains("--quit-after-show")) {
        // Painting happens as the window is exposed, so an exposed window is a shown one. The
        // process then ends at once: what is timed is the start, not the tear-down.
        auto* poll = new QTimer(&application);
        QObject::connect(poll, &QTimer::timeout, [&window] {
            if (!window.windowHandle()->isExposed()) return;
            QApplication::sync();
            std::_Exit(0);
        });
        poll->start(1);
    }
    return application.exec();
}
