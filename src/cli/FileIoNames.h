#pragma once

// What the file handling of each system shares: where a name starts in a path, and the names of
// the temporary files a write leaves only when it is killed.

#include <cstddef>
#include <string>
#include <utility>

namespace velmora::cli {

// Where the last part of `path` starts: after its last folder separator, of which Windows has
// two.
std::size_t NameStart(const std::string& path);

// The mark of a target's own name in the names of its temporary files: short, so that a name of
// the longest length the file system allows still leaves room for them.
std::string TargetMark(const std::string& path);

long CurrentProcessId();

void RemoveFile(const std::string& path);

// A temporary file's name, removed again unless it has taken the target's place: a failed
// write, or one that throws, leaves nothing behind.
class TemporaryName {
public:
    TemporaryName() = default;
    TemporaryName(const TemporaryName&) = delete;
    TemporaryName& operator=(const TemporaryName&) = delete;
    ~TemporaryName() {
        if (!path_.empty()) RemoveFile(path_);
    }
    const std::string& get() const { return path_; }
    void Set(std::string path) { path_ = std::move(path); }
    void Keep() { path_.clear(); }

private:
    std::string path_;
};

// A random name repeats only by a one in four billion chance; a few tries settle it.
inline constexpr int kNameTries = 8;

} // namespace velmora::cli
