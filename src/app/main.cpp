#include "app/MainWindow.h"
#include "app/PdfCommand.h"

#include <QApplication>
#include <QTimer>
#include <QWindow>
#include <cstdlib>
#include <iostream>

int main(int argc, char** argv) {
    // The platform is chosen as the application is made, so the command line is read before.
    QStringList given;
    for (int k = 1; k < argc; ++k) given << QString::fromLocal8Bit(argv[k]);
    const bool pdf = velmora::IsPdfCommand(given);
    if (pdf) velmora::PrepareForPdfCommand();
    QApplication application(argc, argv);
    application.setApplicationName("Velmora");
    if (pdf) return velmora::RunPdfCommand(application.arguments().mid(1), std::cerr);
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
