#include "app/ExampleProjects.h"

#include "model/ProjectFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSet>
#include <algorithm>

namespace velmora {

QStringList ExampleFolders() {
    QStringList candidates{QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../share/velmora/examples")};
#ifdef VELMORA_SOURCE_EXAMPLES
    candidates << QStringLiteral(VELMORA_SOURCE_EXAMPLES);
#endif
    QStringList folders;
    for (const QString& folder : candidates)
        if (QDir(folder).exists()) folders << QDir(folder).canonicalPath();
    folders.removeDuplicates();
    return folders;
}

QList<ExampleProject> FindExampleProjects(const QStringList& folders) {
    QList<ExampleProject> examples;
    QSet<QString> names;
    for (const QString& folder : folders) {
        const QDir dir(folder);
        for (const QString& name : dir.entryList({QStringLiteral("*.vlm")}, QDir::Files)) {
            if (names.contains(name)) continue;
            QFile file(dir.filePath(name));
            if (!file.open(QIODevice::ReadOnly)) continue;
            ProjectData project;
            const QByteArray bytes = file.read(qint64(kMaxProjectFileBytes));
            if (!DecodeProject(bytes.toStdString(), project).ok()) continue;
            names.insert(name);
            examples.append({QString::fromStdString(project.projectTitle), dir.filePath(name)});
        }
    }
    std::ranges::sort(examples, [](const ExampleProject& a, const ExampleProject& b) {
        return QString::localeAwareCompare(a.title, b.title) < 0;
    });
    return examples;
}

} // namespace velmora
