#pragma once

// The example projects that come with Velmora, for Help > Open Example.

#include <QList>
#include <QString>
#include <QStringList>

namespace velmora {

struct ExampleProject {
    QString title; // the project's own title, as the menu lists it
    QString path;
};

// Where the examples are: the installed data folder beside the program's bin folder, then, in a
// build tree, the source tree's examples. A folder that does not exist is left out.
QStringList ExampleFolders();

// Every project file that opens in `folders`, by title. A file name met twice is taken from the
// first folder only, so an installed copy hides the source tree's.
QList<ExampleProject> FindExampleProjects(const QStringList& folders);

} // namespace velmora
