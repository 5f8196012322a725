#pragma once

// Drives the Risk Analysis window as a user would: an example project opened, settings typed and
// left, table cells edited through their editors, a run waited for.

#include "../../core/CoreTestSupport.h"
#include "GuiTestSupport.h"
#include "model/ProjectFile.h"
#include "views/RiskAnalysisWindow.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

namespace velmora::test {

using W = RiskAnalysisWindow;

// One of examples/, with its risk definitions or without.
inline ProjectData Example(const QString& name, bool withDefinitions = true) {
    ProjectData project;
    const std::string bytes =
        ReadFile(std::string(VELMORA_EXAMPLES "/") + name.toStdString() + ".vlm");
    [&] { QVERIFY(DecodeProject(bytes, project).ok()); }();
    if (!withDefinitions) project.riskDefinitions.clear();
    return project;
}

inline QTableView* Table(W& w, int id = W::kInputs) {
    return static_cast<QTableView*>(w.Control(id));
}

inline QString Cell(QTableView* table, int row, int column) {
    return table->model()->index(row, column).data().toString();
}

// Opens the cell's editor, types `text` and presses Enter.
inline void EditCell(QTableView* table, int row, int column, const QString& text) {
    const QModelIndex at = table->model()->index(row, column);
    table->setCurrentIndex(at);
    table->edit(at);
    auto* editor = qobject_cast<QLineEdit*>(table->indexWidget(at));
    QVERIFY(editor);
    editor->setText(text);
    QTest::keyClick(editor, Qt::Key_Return);
}

inline void Click(W& w, int id) {
    static_cast<QPushButton*>(w.Control(id))->click();
}

// Types into a settings box and leaves it, as Tab would.
inline void Enter(W& w, int id, const QString& text) {
    auto* edit = static_cast<QLineEdit*>(w.Control(id));
    edit->setText(text);
    emit edit->editingFinished();
}

// Runs and waits for the end; false when a message came instead or it did not end in 50 s.
inline bool RunToEnd(W& w) {
    MessageRecorder messages;
    QSignalSpy finished(&w, &W::runFinished);
    Click(w, W::kRun);
    const bool ended = finished.wait(50000);
    for (const ShownMessage& m : messages.shown) qWarning("%s", qPrintable(m.text));
    return ended && messages.shown.isEmpty();
}

} // namespace velmora::test
