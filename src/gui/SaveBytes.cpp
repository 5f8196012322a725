#include "gui/SaveBytes.h"

#include <QSaveFile>

namespace velmora {

QString SaveBytes(const QString& path, std::string_view bytes) {
    QSaveFile file(path);
    const auto size = qint64(bytes.size());
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes.data(), size) != size ||
        !file.commit())
        return file.errorString();
    return {};
}

} // namespace velmora
