// The file handling of POSIX systems: descriptors, rename(2) and the kernel's own temporary files.

#include "FileIo.h"
#include "FileIoNames.h"

#include "model/ProjectFile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora::cli {
namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    // Closes now, so that a failure to close is seen: some file systems report a failed write
    // only then.
    int Close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

private:
    int fd_;
};

std::string Reason(int code) {
    return std::strerror(code);
}

// Why a name that is not a regular file is neither read nor replaced.
std::string NotARegularFile(const struct stat& status) {
    return S_ISDIR(status.st_mode) ? Reason(EISDIR) : "Not a regular file";
}

// Follows symbolic links from `path` to the name of the file they lead to, which need not exist
// yet. Anything else that stops the walk is left for the write itself to report.
std::optional<std::string> FollowLinks(std::string path, int& error) {
    for (int hops = 0; hops < 40; ++hops) { // as many as the kernel follows
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
        char target[4096];
        const ssize_t n = ::readlink(path.c_str(), target, sizeof target);
        if (n < 0 || n == sizeof target) {
            error = n < 0 ? errno : ENAMETOOLONG;
            return std::nullopt;
        }
        const std::size_t slash = path.rfind('/');
        const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
        path = target[0] == '/' ? std::string(target, n) : folder + std::string(target, n);
    }
    error = ELOOP;
    return std::nullopt;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, std::string_view bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno != EINTR) return false;
        if (n > 0) done += static_cast<std::size_t>(n);
    }
    return true;
}

// Writes the complete content to a fresh temporary file beside `target`, whose name `temp`
// takes. With `anonymous` the file gets that name only once it is complete and on disk
// (O_TMPFILE), so a run killed while writing leaves nothing behind; nullopt when the file
// system, or a missing /proc, does not allow that.
std::optional<std::string> WriteTemporary(const std::string& target, const Producer& produce,
                                          const struct stat* existing, mode_t mode, bool anonymous,
                                          TemporaryName& temp) {
    int fd = -1;
    if (anonymous) {
        fd = ::open(FolderOf(target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        if (fd < 0) return std::nullopt;
    } else {
        for (int tries = 0; fd < 0; ++tries) {
            std::string path = TemporaryPathFor(target);
            fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (fd >= 0)
                temp.Set(std::move(path));
            else if (errno != EEXIST || tries == kNameTries)
                return Reason(errno);
        }
    }
    Descriptor file(fd);
    // Not every user may give a file to its owner; it then stays the writer's.
    if (existing && ::fchown(fd, existing->st_uid, existing->st_gid) != 0) {
    }
    bool written = ::fchmod(fd, mode) == 0;
    produce([&](std::string_view piece) { written = written && WriteAll(fd, piece); });
    if (!written || ::fsync(fd) != 0) return Reason(errno);
    if (anonymous) {
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        for (int tries = 0; temp.get().empty(); ++tries) {
            std::string path = TemporaryPathFor(target);
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0)
                temp.Set(std::move(path));
            else if (errno != EEXIST || tries == kNameTries)
                return std::nullopt;
        }
    }
    if (file.Close() != 0) return Reason(errno);
    return std::string();
}

// Removes the temporary files of writers to `target` that no longer run: what a run killed
// before its rename left. Another writer's file stays as long as its process runs, here or
// in another process; a process id the system has since given again only keeps a leftover
// until that process ends.
void RemoveLeftovers(const std::string& target) {
    const std::string prefix = ".velmora-" + TargetMark(target) + "-";
    DIR* folder = ::opendir(FolderOf(target).c_str());
    if (!folder) return;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string_view name = entry->d_name;
        if (!name.starts_with(prefix) || !name.ends_with(".tmp")) continue;
        long writer = 0;
        const char* digits = name.data() + prefix.size();
        const auto [end, ec] = std::from_chars(digits, name.data() + name.size(), writer);
        if (ec != std::errc() || *end != '-' || writer <= 0) continue;
        if (::kill(static_cast<pid_t>(writer), 0) != 0 && errno == ESRCH)
            ::unlinkat(::dirfd(folder), entry->d_name, 0);
    }
    ::closedir(folder);
}

} // namespace

FileRead ReadFileBytes(const std::string& path, const FileLimit& limit) {
    // Without O_NONBLOCK, opening a FIFO would wait for a writer before fstat could refuse it.
    Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0) return {{}, Reason(errno)};
    if (!S_ISREG(status.st_mode)) return {{}, NotARegularFile(status)};
    if (static_cast<std::uintmax_t>(status.st_size) > limit.bytes) return {{}, limit.tooLarge};
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(status.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(file.get(), buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            return {{}, Reason(errno)};
        }
        // The file may grow while it is read.
        if (bytes.size() + static_cast<std::size_t>(n) > limit.bytes) return {{}, limit.tooLarge};
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return {std::move(bytes), {}};
}

long CurrentProcessId() {
    return static_cast<long>(::getpid());
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return {argv + std::min(argc, 1), argv + argc};
}

void UseBinaryStandardOutput() {}

void RemoveFile(const std::string& path) {
    ::unlink(path.c_str());
}

FileWrite WriteFileAtomically(const std::string& path, const Producer& produce) {
    int error = 0;
    const std::optional<std::string> target = FollowLinks(path, error);
    if (!target) return {Reason(error)};

    struct stat existing {};
    const bool exists = ::stat(target->c_str(), &existing) == 0;
    mode_t mode;
    if (exists) {
        if (!S_ISREG(existing.st_mode)) return {NotARegularFile(existing)};
        // For root access() allows every file; one without any write permission bit is still
        // not replaced behind its owner's back.
        if (::access(target->c_str(), W_OK) != 0) return {Reason(errno)};
        if ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return {Reason(EACCES)};
        mode = existing.st_mode & 07777;
    } else {
        // The mask can only be read by setting it: two writers doing so at once could leave
        // the process with a mask of 0.
        static std::mutex umaskGuard;
        const std::lock_guard lock(umaskGuard);
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }

    RemoveLeftovers(*target);
    TemporaryName temp;
    const struct stat* owner = exists ? &existing : nullptr;
    std::optional<std::string> reason = WriteTemporary(*target, produce, owner, mode, true, temp);
    if (!reason) reason = WriteTemporary(*target, produce, owner, mode, false, temp);
    if (reason->empty() && ::rename(temp.get().c_str(), target->c_str()) != 0)
        reason = Reason(errno);
    if (reason->empty()) temp.Keep();
    return {*reason};
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat first {
    }, second{};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

} // namespace velmora::cli
