// The test seams themselves: a modal dialog is answered, message boxes are recorded.
#include "GuiTestSupport.h"

#include <QDialog>
#include <QTest>

using namespace velmora;

class SeamsTest : public QObject {
    Q_OBJECT
private slots:
    void modalDialogsAreAnswered() {
        QDialog dialog;
        test::WhenModalShows([](QWidget* modal) { static_cast<QDialog*>(modal)->accept(); });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    }
    void messageBoxesAreRecordedAndAnswered() {
        test::MessageRecorder messages;
        messages.Answer(QMessageBox::No);
        QCOMPARE(ShowMessage(nullptr, "Save?", "Velmora", QMessageBox::Question,
                             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel),
                 QMessageBox::No);
        QCOMPARE(ShowMessage(nullptr, "Done.", "Export LCCA", QMessageBox::Information),
                 QMessageBox::Ok);
        QCOMPARE(messages.shown.size(), 2);
        QCOMPARE(messages.shown[1].caption, QString("Export LCCA"));
        QCOMPARE(messages.shown[1].icon, QMessageBox::Information);
    }
};

QTEST_MAIN(SeamsTest)
#include "SeamsTest.moc"
