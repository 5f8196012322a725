#include "FileIo.h"

#include "FileIoNames.h"

#include <cstdint>
#include <cstdio>
#include <random>

namespace velmora::cli {

std::size_t NameStart(const std::string& path) {
#if defined(_WIN32)
    const std::size_t separator = path.find_last_of("/\\");
#else
    const std::size_t separator = path.rfind('/');
#endif
    return separator == std::string::npos ? 0 : separator + 1;
}

std::string TargetMark(const std::string& path) {
    std::uint64_t hash = 14695981039346656037u; // FNV-1a
    for (std::size_t k = NameStart(path); k < path.size(); ++k)
        hash = (hash ^ static_cast<unsigned char>(path[k])) * 1099511628211u;
    char mark[16];
    std::snprintf(mark, sizeof mark, "%08x", static_cast<unsigned>(hash ^ (hash >> 32)));
    return mark;
}

std::string TemporaryPathFor(const std::string& path, long processId) {
    // Two writers of the same process, threads, differ by the random part.
    thread_local std::mt19937 random(std::random_device{}());
    char name[64];
    std::snprintf(name, sizeof name, ".velmora-%s-%ld-%08x.tmp", TargetMark(path).c_str(),
                  processId, static_cast<unsigned>(random()));
    return path.substr(0, NameStart(path)) + name;
}

std::string TemporaryPathFor(const std::string& path) {
    return TemporaryPathFor(path, CurrentProcessId());
}

FileWrite WriteFileAtomically(const std::string& path, std::string_view bytes) {
    return WriteFileAtomically(path, [bytes](const auto& write) { write(bytes); });
}

} // namespace velmora::cli
