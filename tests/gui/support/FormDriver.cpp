#include "FormDriver.h"

#include "GuiTestSupport.h"
#include "forms/DescriptionEdit.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace velmora::test {

FormDriver::FormDriver(InputForm& form) : form(form) {
    if (!form.isVisible()) form.show();
    QApplication::setActiveWindow(&form);
    if (!QTest::qWaitForWindowActive(&form)) QTest::qFail("form not active", __FILE__, __LINE__);
}

void FormDriver::Focus(int id) {
    form.Control(id)->setFocus(Qt::TabFocusReason);
}

void FormDriver::Type(int id, const QString& text) {
    Focus(id);
    QWidget* control = form.Control(id);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) edit->selectAll();
    if (auto* description = qobject_cast<DescriptionEdit*>(control)) description->selectAll();
    if (text.isEmpty()) QTest::keyClick(control, Qt::Key_Delete);
    // QTest types ASCII only; other characters arrive as the key events of a keyboard layout
    // that has them.
    for (QChar c : text) {
        if (c == u'\n') {
            QTest::keyClick(control, Qt::Key_Return);
        } else if (c.unicode() < 128) {
            QTest::keyClick(control, c.toLatin1());
        } else {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(control, &press);
            QApplication::sendEvent(control, &release);
        }
    }
}

void FormDriver::Enter(int id, const QString& text) {
    if (auto* list = qobject_cast<QComboBox*>(form.Control(id))) {
        Focus(id);
        list->setCurrentIndex(text.toInt());
    } else {
        Type(id, text);
    }
    QTest::keyClick(form.Control(id), Qt::Key_Tab);
}

void FormDriver::Key(int key, Qt::KeyboardModifiers modifiers) {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &form;
    QTest::keyClick(target, Qt::Key(key), modifiers);
}

void FormDriver::Click(int id) {
    QTest::mouseClick(form.Control(id), Qt::LeftButton);
}

QString FormDriver::Text(int id) const {
    QWidget* control = form.Control(id);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) return edit->text();
    if (auto* list = qobject_cast<QComboBox*>(control)) return list->currentText();
    if (auto* description = qobject_cast<DescriptionEdit*>(control)) return description->Text();
    return static_cast<QLabel*>(control)->text();
}

bool FormDriver::HasFocus(int id) const {
    return QApplication::focusWidget() == form.Control(id);
}

QList<int> FormDriver::TabRing() {
    QWidget* start = QApplication::focusWidget();
    QList<int> ids;
    do {
        int id = 0;
        while (id < 2000 && form.Control(id) != QApplication::focusWidget()) ++id;
        ids.append(id < 2000 ? id : 0);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    } while (QApplication::focusWidget() != start && ids.size() < 500);
    return ids;
}

bool RunForm(bool (*edit)(ProjectData&, QWidget*), ProjectData& project,
             const std::function<void(FormDriver&)>& drive, Close close) {
    WhenModalShows([&](QWidget* modal) {
        FormDriver driver(*static_cast<InputForm*>(modal));
        drive(driver);
        if (!modal->isVisible()) return; // the drive closed it
        if (close == Close::Accept || close == Close::Cancel)
            driver.Click(close == Close::Accept ? 1 : 2);
        else if (close == Close::CloseBox)
            modal->close();
        else
            driver.Key(close == Close::Enter ? Qt::Key_Return : Qt::Key_Escape);
        // A form that refused to close would hang the test; end it so the test fails instead.
        if (modal->isVisible()) {
            QTest::qFail("the form did not close", __FILE__, __LINE__);
            static_cast<QDialog*>(modal)->done(QDialog::Rejected);
        }
    });
    return edit(project, nullptr);
}

} // namespace velmora::test
