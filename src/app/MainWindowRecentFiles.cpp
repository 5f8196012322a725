// The recent-file list of the main window: the File menu's entries and their place in the
// platform's settings.

#include "app/MainWindow.h"
#include "gui/ProgramSettings.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace velmora {
namespace {

const QString kRecentGroup = QStringLiteral("Recent File List");

// The recent-file entry as the menu shows it: the bare name for a file in the working folder,
// the full path otherwise; an "&" doubled, which the menu would otherwise take for the mark of
// the entry's key.
QString MenuName(const QString& path) {
    const QFileInfo info(path);
    return QDir::toNativeSeparators(info.absolutePath() == QDir::currentPath() ? info.fileName()
                                                                               : path)
        .replace(u'&', QStringLiteral("&&"));
}

} // namespace

void MainWindow::OpenRecentFile(int k) {
    if (k >= recentFiles_.size()) return;
    const QString path = recentFiles_[k];
    if (OpenFile(path) || QFileInfo::exists(path)) return;
    recentFiles_.removeAll(path);
    ShowRecentFiles();
    SaveRecentFiles();
}

void MainWindow::AddToRecentFiles(const QString& path) {
    recentFiles_.removeAll(path);
    recentFiles_.prepend(path);
    while (recentFiles_.size() > kRecentFiles) recentFiles_.removeLast();
    ShowRecentFiles();
    SaveRecentFiles();
}

void MainWindow::ShowRecentFiles() {
    recentPlaceholder_->setVisible(recentFiles_.isEmpty());
    for (int k = 0; k < kRecentFiles; ++k) {
        QAction* entry = actions_.recent[k];
        entry->setVisible(k < recentFiles_.size());
        if (k < recentFiles_.size())
            entry->setText(QString("&%1 %2").arg(k + 1).arg(MenuName(recentFiles_[k])));
    }
}

void MainWindow::LoadRecentFiles() {
    QSettings settings = ProgramSettings();
    for (int k = 1; k <= kRecentFiles; ++k) {
        const QString path =
            settings.value(QString("%1/File%2").arg(kRecentGroup).arg(k)).toString();
        if (!path.isEmpty()) recentFiles_.append(path);
    }
}

void MainWindow::SaveRecentFiles() const {
    QSettings settings = ProgramSettings();
    settings.remove(kRecentGroup);
    for (int k = 0; k < recentFiles_.size(); ++k)
        settings.setValue(QString("%1/File%2").arg(kRecentGroup).arg(k + 1), recentFiles_[k]);
}

} // namespace velmora
