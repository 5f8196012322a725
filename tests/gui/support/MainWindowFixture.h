#pragma once

// The whole application as its command line starts it, on cleared settings, with a folder of
// its own for the files a test writes.

#include "FormDriver.h"
#include "GuiTestSupport.h"
#include "app/CommandForm.h"
#include "app/MainWindow.h"
#include "app/ProjectDocument.h"
#include "model/ProjectFile.h"

#include <QApplication>
#include <QPrintDialog>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

namespace velmora::test {

inline QByteArray Encoded(const ProjectData& project) {
    return QByteArray::fromStdString(EncodeProject(project).bytes);
}

class MainWindowFixture : public QObject {
protected:
    std::unique_ptr<MainWindow> app;
    std::unique_ptr<QTemporaryDir> dir;

    MainWindow* Frame() const { return app.get(); }
    CommandForm& View() const { return *app->Form(); }
    ProjectData& Project() const { return app->Document().Project(); }
    QString Path(const QString& name) const { return dir->filePath(name); }
    QString Caption() const { return Frame()->windowTitle(); }
    void Trigger(QAction* MainWindow::Actions::*action) { (app->Commands().*action)->trigger(); }

    bool Start(const QStringList& arguments = {}) {
        app.reset();
        app = std::make_unique<MainWindow>();
        return app->Start(arguments);
    }
    void StartClean() {
        QSettings("Local AppWizard-Generated Applications", "Velmora").clear();
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(Start());
    }
    void Activate() {
        QApplication::setActiveWindow(Frame());
        QVERIFY(QTest::qWaitForWindowActive(Frame()));
    }
    void Stop() {
        if (app) Frame()->hide();
        app.reset();
    }

    QString MakeProjectFile(const QString& name, double length, int switches = 0) {
        ProjectData project;
        project.projectLength = length;
        project.initialWzInclusion = project.rehabWzInclusion = switches;
        WriteAll(Path(name), Encoded(project));
        return Path(name);
    }

    // Presses a button of the command form; the form it opens gets `drive`, then `close`
    // (1 accepts, 2 cancels).
    void Press(int button, int close = 2, const std::function<void(QDialog*)>& drive = {}) {
        QTimer closer;
        closer.setInterval(0);
        QObject::connect(&closer, &QTimer::timeout, [&] {
            auto* form = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!form) return;
            closer.stop();
            if (drive) drive(form);
            close == 1 ? form->accept() : form->reject();
        });
        closer.start();
        View().Button(button)->click();
    }

    static bool ShowsPrintDialog(const std::function<void()>& act) {
        bool shown = false;
        WhenModalShows([&](QWidget* modal) {
            shown = qobject_cast<QPrintDialog*>(modal) != nullptr;
            static_cast<QDialog*>(modal)->reject();
        });
        act();
        return shown;
    }

    void SetSwitches(int initial, int rehab, int close) {
        Press(1000, close, [&](QDialog* form) {
            FormDriver driver(*static_cast<InputForm*>(form));
            driver.Enter(1067, QString::number(initial));
            driver.Enter(1068, QString::number(rehab));
        });
    }
};

} // namespace velmora::test
