#pragma once

#include "model/ProjectFile.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::cli {

// The most bytes a file of one kind holds, and how a refusal of a larger one reads.
struct FileLimit {
    std::uintmax_t bytes;
    const char* tooLarge;
};
inline constexpr FileLimit kProjectFileLimit{kMaxProjectFileBytes,
                                             "Larger than any project file (64 MiB)"};
// Far above any real definitions: a larger file is another one given by mistake.
inline constexpr FileLimit kRiskDefinitionsFileLimit{
    64u << 20, "Larger than any risk definitions file (64 MiB)"};

// The whole file, or the reason it was not read (the system's wording where it has one). Only
// regular files within `limit` are read; anything else (a device, a FIFO, a directory) is
// refused before a byte is read, and without waiting for a writer.
struct FileRead {
    std::string bytes;
    std::string error;
    bool ok() const { return error.empty(); }
};
FileRead ReadFileBytes(const std::string& path, const FileLimit& limit = kProjectFileLimit);

// Writes `bytes` to a temporary file beside `path`, flushes it to disk and renames it over
// `path`, so a failed write leaves an existing file as it was, and no temporary file. A symbolic
// link is followed: its target is replaced and the link kept. An existing file keeps its
// permissions and owner; one that is not a regular file, or that the user may not write, is
// refused and left alone. Writers to the same target at the same time, threads or processes,
// each write a temporary file of their own: each succeeds, and the last rename wins.
struct FileWrite {
    std::string error; // the reason the file was left as it was
    bool ok() const { return error.empty(); }
};
FileWrite WriteFileAtomically(const std::string& path, std::string_view bytes);

// The same for content too large to hold at once: `produce` hands it piece by piece to the
// function it is given, and may be called more than once.
using Producer = std::function<void(const std::function<void(std::string_view)>& write)>;
FileWrite WriteFileAtomically(const std::string& path, const Producer& produce);

// A fresh name beside `path` where WriteFileAtomically gives the content a name before it takes
// the place of `path`: ".velmora-" and a mark of the target's own name, the writer's process id
// and a random part. A run killed in between leaves it there, and the next write to `path`
// removes it once no process of that id runs.
std::string TemporaryPathFor(const std::string& path, long processId);
std::string TemporaryPathFor(const std::string& path); // this process's

// Both names exist and lead to the same file (through links, hard ones included).
bool SameFile(const std::string& a, const std::string& b);

// The arguments after the program's name, as UTF-8 like every name the program handles. Windows
// hands a program its arguments in the machine's code page, which cannot hold every name a user
// gives, and keeps them whole only in its wide command line.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Standard output passes bytes through as they are, as a file written in their place would hold
// them: Windows would otherwise write CR LF for every LF of a report or workbook sent to "-".
void UseBinaryStandardOutput();

} // namespace velmora::cli
