#pragma once

// Where the program keeps what it remembers between sessions: the recent files and the windows'
// sizes and places.

#include <QSettings>

namespace velmora {

inline QSettings ProgramSettings() {
    return QSettings(QStringLiteral("Local AppWizard-Generated Applications"),
                     QStringLiteral("Velmora"));
}

} // namespace velmora
