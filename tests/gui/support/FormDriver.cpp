#include "FormDriver.h"

#include "CDescriptionEdit.h"
#include "FormNumbers.h"
#include "GuiTestSupport.h"
#include "model/SavedFields.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace velmora::test {

FormDriver::FormDriver(CInputDlg& form) : form(form) {
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
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->selectAll();
        if (text.isEmpty()) QTest::keyClick(edit, Qt::Key_Delete);
    } else if (auto* description = qobject_cast<CDescriptionEdit*>(control)) {
        description->selectAll();
        if (text.isEmpty()) QTest::keyClick(description, Qt::Key_Delete);
    }
    Keys(id, text);
}

void FormDriver::Keys(int id, const QString& text) {
    QWidget* control = form.Control(id);
    // QTest types ASCII only; other characters arrive as the key events of a keyboard layout
    // that has them.
    for (QChar c : text) {
        if (c.unicode() < 128) {
            QTest::keyClick(control, c.toLatin1());
            continue;
        }
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(control, &press);
        QApplication::sendEvent(control, &release);
    }
}

void FormDriver::Enter(int id, const QString& text) {
    Type(id, text);
    QTest::keyClick(form.Control(id), Qt::Key_Tab);
}

void FormDriver::Choose(int id, int index) {
    Focus(id);
    static_cast<QComboBox*>(form.Control(id))->setCurrentIndex(index);
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
    if (auto* description = qobject_cast<CDescriptionEdit*>(control)) return description->Text();
    return static_cast<QLabel*>(control)->text();
}

bool FormDriver::HasFocus(int id) const {
    return QApplication::focusWidget() == form.Control(id);
}

QList<int> FormDriver::TabWalk(int steps) {
    auto idOf = [this](QWidget* w) {
        for (int id = 0; id < 2000; ++id)
            if (form.Control(id) == w) return id;
        return -1;
    };
    QList<int> ids;
    for (int i = 0; i < steps; ++i) {
        ids.append(idOf(QApplication::focusWidget()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    return ids;
}

void CheckBounds(FormDriver& driver, MessageRecorder& messages, int id, const QStringList& accepted,
                 const QStringList& refused, const QString& message, const QString& caption,
                 const QString& reset) {
    messages.shown.clear();
    for (const QString& value : accepted) {
        driver.Enter(id, value);
        QCOMPARE(messages.shown.size(), 0);
        QCOMPARE(driver.Text(id), value);
    }
    for (const QString& value : refused) {
        driver.Enter(id, value);
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].text, message);
        QCOMPARE(messages.shown[0].caption, caption);
        QCOMPARE(messages.shown[0].icon, QMessageBox::Warning);
        QCOMPARE(messages.shown[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(driver.Text(id), reset);
        QVERIFY2(driver.HasFocus(id), "the focus goes back to the refused field");
        messages.shown.clear();
    }
}

void CheckAcceptStores(bool (*edit)(ProjectData&, QWidget*), const QList<FieldEntry>& entries) {
    ProjectData project;
    MessageRecorder messages;
    auto isList = [](FormDriver& d, int id) {
        return qobject_cast<QComboBox*>(d.form.Control(id));
    };
    QVERIFY(RunForm(
        edit, project,
        [&](FormDriver& d) {
            for (const auto& e : entries) {
                if (isList(d, e.id))
                    d.Choose(e.id, e.typed.toInt());
                else
                    d.Enter(e.id, e.typed);
            }
        },
        Close::Accept));
    QCOMPARE(messages.shown.size(), 0);

    // Every saved field as text, by name: numbers in the form's own notation.
    auto fields = [](const ProjectData& p) {
        QHash<QString, QString> out;
        ForEachSavedField(p, [&](const FieldName& name, const auto& field) {
            using T = std::decay_t<decltype(field)>;
            QString text;
            if constexpr (std::is_same_v<T, double>)
                text = FormatDouble(field);
            else if constexpr (std::is_same_v<T, std::int32_t>)
                text = QString::number(field);
            else
                text = QString::fromStdString(field);
            out.insert(QString::fromStdString(name.str()), text);
        });
        return out;
    };
    QHash<QString, QString> expected = fields(ProjectData{});
    QVERIFY(RunForm(
        edit, project,
        [&](FormDriver& d) {
            for (const auto& e : entries) {
                QVERIFY2(expected.contains(e.field), e.field);
                expected[e.field] = isList(d, e.id) ? e.typed : e.shown;
                QCOMPARE(d.Text(e.id), e.shown);
            }
        },
        Close::Accept));
    const QHash<QString, QString> stored = fields(project);
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QVERIFY2(stored[it.key()] == it.value(),
                 qPrintable(it.key() + " holds " + stored[it.key()] + ", not " + it.value()));
}

bool RunForm(bool (*edit)(ProjectData&, QWidget*), ProjectData& project,
             const std::function<void(FormDriver&)>& drive, Close close) {
    WhenModalShows([&](QWidget* modal) {
        FormDriver driver(*static_cast<CInputDlg*>(modal));
        drive(driver);
        switch (close) {
        case Close::Accept:
            driver.Click(1);
            break;
        case Close::Enter:
            driver.Key(Qt::Key_Return);
            break;
        case Close::Cancel:
            driver.Click(2);
            break;
        case Close::Escape:
            driver.Key(Qt::Key_Escape);
            break;
        case Close::CloseBox:
            modal->close();
            break;
        }
        // A form that refused to close would hang the test; end it so the test fails
        // instead.
        if (modal->isVisible()) {
            QTest::qFail("the form did not close", __FILE__, __LINE__);
            static_cast<QDialog*>(modal)->done(QDialog::Rejected);
        }
    });
    return edit(project, nullptr);
}

} // namespace velmora::test
