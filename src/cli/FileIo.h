#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora::cli {

// The whole file, or nothing with `error` set to the reason (the system's wording).
std::optional<std::string> ReadFileBytes(const std::string& path, std::string& error);

// Writes `bytes` to a temporary file beside `path`, flushes it to disk and renames it over
// `path`, so a failed write leaves an existing file as it was. Returns the reason on failure,
// an empty string on success.
std::string WriteFileAtomically(const std::string& path, std::string_view bytes);

} // namespace velmora::cli
