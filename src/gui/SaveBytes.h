#pragma once

#include <QString>
#include <string_view>

namespace velmora {

// Writes `bytes` to `path` through a temporary file that replaces it only once complete, so a
// failed write (no permission, disk full) leaves an existing file whole. Returns the reason of a
// failure, an empty text on success.
QString SaveBytes(const QString& path, std::string_view bytes);

} // namespace velmora
