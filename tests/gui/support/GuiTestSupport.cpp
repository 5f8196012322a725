#include "GuiTestSupport.h"

#include "views/ComputedCostsForm.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QWidget>

namespace velmora::test {
namespace {

// The modal windows a WhenModalShows action has taken.
QList<QPointer<QWidget>>& Answered() {
    static QList<QPointer<QWidget>> answered;
    return answered;
}

// A modal window that no action takes would keep its test waiting for the CTest timeout and say
// nothing of why. Left unanswered for a few seconds, it fails the test with its title instead
// and is closed, so the test goes on to its end.
class ModalWatchdog : public QObject {
protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() != QEvent::Show || !object->isWidgetType()) return false;
        auto* widget = static_cast<QWidget*>(object);
        if (!widget->isWindow() || !widget->isModal()) return false;
        QTimer::singleShot(3000, this, [shown = QPointer<QWidget>(widget)] {
            if (!shown || !shown->isVisible() || Answered().contains(shown)) return;
            const QString why =
                QStringLiteral("A modal window nobody answers: \"%1\"").arg(shown->windowTitle());
            QTest::qFail(qPrintable(why), __FILE__, __LINE__);
            shown->close();
        });
        return false;
    }
};

void WatchModalWindows() {
    qApp->installEventFilter(new ModalWatchdog);
}
Q_COREAPP_STARTUP_FUNCTION(WatchModalWindows)

} // namespace

MessageRecorder::MessageRecorder() {
    previous_ = SetMessageHook([this](const ShownMessage& message) {
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
    SetMessageHook(std::move(previous_));
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
    SetPopupHelpHandler([this](quint32, const QString& text) { popups.append(text); });
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
        const bool shown = modal && modal != before && modal->isVisible();
        if (!shown && clock->elapsed() <= 10000) return;
        timer->stop();
        timer->deleteLater();
        delete clock;
        if (shown) {
            Answered().append(modal);
            return action(modal);
        }
        QTest::qFail("no modal form appeared", __FILE__, __LINE__);
        if (QWidget* stuck = QApplication::activeModalWidget()) stuck->close();
    });
    timer->start();
}

void SaveScreenshot(QWidget* widget, const QString& name) {
    // Only on request: a test run must never rewrite tracked files.
    const QString dir = qEnvironmentVariable("VELMORA_SCREENSHOT_DIR");
    if (dir.isEmpty()) return;
    QDir().mkpath(dir);
    QVERIFY(widget->grab().save(dir + "/" + name + ".png"));
}

QString WorkbookCell(const QString& path, int sheet, const QString& ref) {
    QProcess unzip;
    unzip.start("unzip", {"-p", path, QString("xl/worksheets/sheet%1.xml").arg(sheet)});
    unzip.waitForFinished();
    const QString xml = QString::fromUtf8(unzip.readAllStandardOutput());
    const QRegularExpressionMatch cell =
        QRegularExpression(
            QString("<c r=\"%1\"[^>/]*>(?:<v>([^<]*)</v>|<is><t[^>]*>([^<]*)</t>)").arg(ref))
            .match(xml);
    return cell.captured(1) + cell.captured(2);
}

// What `program` prints on stdout; fails the test when it does not run to a success.
QString Output(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    const bool ran = process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit;
    if (!ran || process.exitCode() != 0)
        QTest::qFail(qPrintable(program + " failed: " + process.errorString() + " " +
                                QString::fromLocal8Bit(process.readAllStandardError())),
                     __FILE__, __LINE__);
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString PdfText(const QString& path) {
    return Output("pdftotext", {"-layout", path, "-"});
}

int PdfPages(const QString& path) {
    const QRegularExpressionMatch pages =
        QRegularExpression("^Pages:\\s*(\\d+)$", QRegularExpression::MultilineOption)
            .match(Output("pdfinfo", {path}));
    return pages.hasMatch() ? pages.captured(1).toInt() : -1;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QStringList ResultCells(const ComputedCostsForm& form, bool overlays) {
    // Per option: agency of stages 0 to 3 and subtotal, user delay likewise, maintenance, total.
    static const int kIds[24] = {1013, 1015, 1016, 1017, 1018, 1019, 1024, 1025,
                                 1026, 1023, 1035, 1014, 1020, 1021, 1022, 1027,
                                 1028, 1029, 1031, 1032, 1033, 1030, 1036, 1034};
    // The "Excluded" text over each user delay field, in the same order.
    static const QHash<int, int> kOverlays{{1019, 1068}, {1024, 1070}, {1025, 1071}, {1026, 1072},
                                           {1023, 1073}, {1029, 1076}, {1031, 1077}, {1032, 1078},
                                           {1033, 1079}, {1030, 1080}};
    QStringList cells;
    for (int id : kIds) {
        auto* overlay = static_cast<QLabel*>(form.Control(kOverlays.value(id)));
        const bool excluded = overlays && overlay && !overlay->isHidden();
        if (excluded && !form.Control(id)->isHidden()) return {"both the number and Excluded"};
        cells << (excluded ? overlay->text() : static_cast<QLineEdit*>(form.Control(id))->text());
    }
    return cells;
}

} // namespace velmora::test
