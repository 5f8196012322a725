#pragma once

// What the file handling of each system shares: where a name starts in a path, and the names of
// the temporary files a write leaves only when it is killed.

#include <cstddef>
#include <string>

namespace velmora::cli {

// Where the last part of `path` starts: after its last folder separator, of which Windows has
// two.
std::size_t NameStart(const std::string& path);

// The mark of a target's own name in the names of its temporary files: short, so that a name of
// the longest length the file system allows still leaves room for them.
std::string TargetMark(const std::string& path);

long CurrentProcessId();

// A random name repeats only by a one in four billion chance; a few tries settle it.
inline constexpr int kNameTries = 8;

} // namespace velmora::cli
