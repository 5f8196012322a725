#include "GuiTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTest>
#include <QTimer>
#include <QWidget>

namespace velmora::test {

MessageRecorder::MessageRecorder() {
    SetMessageHook([this](const ShownMessage& message) {
        shown.append(message);
        if (!answers_.empty()) {
            const auto answer = answers_.front();
            answers_.pop_front();
            return answer;
        }
        if (message.buttons & QMessageBox::Ok) return QMessageBox::Ok;
        for (int bit = 1; bit; bit <<= 1)
            if (message.buttons & bit) return static_cast<QMessageBox::StandardButton>(bit);
        return QMessageBox::Ok;
    });
}

MessageRecorder::~MessageRecorder() {
    SetMessageHook({});
}

FileDialogAnswers::FileDialogAnswers() {
    SetFileDialogHook([this](const FileDialogRequest& request) {
        requests.append(request);
        if (answers_.empty()) return QString();
        const QString answer = answers_.front();
        answers_.pop_front();
        return answer;
    });
}

FileDialogAnswers::~FileDialogAnswers() {
    SetFileDialogHook({});
}

HelpRecorder::HelpRecorder() {
    SetHelpTopicHandler([this](const QString& topic) { topics.append(topic); });
    SetPopupHelpHandler([this](quint32 contextId, const QString& text) {
        popups.append({contextId, text});
    });
}

HelpRecorder::~HelpRecorder() {
    SetHelpTopicHandler({});
    SetPopupHelpHandler({});
}

void WhenModalShows(std::function<void(QWidget* modal)> action) {
    auto* timer = new QTimer(qApp);
    auto* clock = new QElapsedTimer;
    clock->start();
    QWidget* before = QApplication::activeModalWidget();
    timer->setInterval(0);
    QObject::connect(timer, &QTimer::timeout, [timer, clock, before, action] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal != before && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            delete clock;
            action(modal);
        } else if (clock->elapsed() > 10000) {
            timer->stop();
            timer->deleteLater();
            delete clock;
            QTest::qFail("no modal form appeared", __FILE__, __LINE__);
            if (QWidget* stuck = QApplication::activeModalWidget()) stuck->close();
        }
    });
    timer->start();
}

void SaveScreenshot(QWidget* widget, const QString& name) {
    // Only on request (scripts/screenshots.sh), so that a test run never rewrites tracked files,
    // and two runs of one test in parallel never write one picture at the same time.
    const QString dir = qEnvironmentVariable("VELMORA_SCREENSHOT_DIR");
    if (dir.isEmpty()) return;
    QDir().mkpath(dir);
    QVERIFY(widget->grab().save(dir + "/" + name + ".png"));
}

} // namespace velmora::test
