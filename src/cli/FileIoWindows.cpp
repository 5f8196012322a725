// The file handling of Windows: names are UTF-8 in the program and wide for the system, a
// replaced file keeps its hidden and system attributes, and the names of devices (NUL, CON,
// COM1, ...) are refused in every folder, as Windows opens the device there.

#include "FileIo.h"
#include "FileIoNames.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <optional>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

namespace velmora::cli {
namespace {

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (ok()) ::CloseHandle(handle_);
    }
    bool ok() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE get() const { return handle_; }
    // Closes now, so that a failure to close is seen.
    bool Close() {
        const bool closed = ::CloseHandle(handle_) != 0;
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE handle_;
};

const std::string kNotARegularFile = "Not a regular file";

std::string Narrow(const std::wstring& wide) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(std::max(n, 0)), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), narrow.data(), n,
                          nullptr, nullptr);
    return narrow;
}

// The wording of a system error: the C library's where the same error exists on every system,
// so that a message reads alike everywhere, and Windows' own otherwise.
std::string Reason(DWORD code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
        return std::strerror(ENOENT);
    case ERROR_ACCESS_DENIED:
        return std::strerror(EACCES);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return std::strerror(ENOSPC);
    case ERROR_FILENAME_EXCED_RANGE:
        return std::strerror(ENAMETOOLONG);
    default:
        break;
    }
    wchar_t* text = nullptr;
    const DWORD n = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string reason = n > 0 ? Narrow(std::wstring(text, n)) : std::string();
    ::LocalFree(text);
    while (!reason.empty() && std::strchr(" .\r\n", reason.back())) reason.pop_back();
    return reason.empty() ? "Windows error " + std::to_string(code) : reason;
}

std::string LastReason() {
    return Reason(::GetLastError());
}

// The name as Windows takes it; nullopt when `path` is not UTF-8.
std::optional<std::wstring> Wide(const std::string& path) {
    if (path.empty()) return std::wstring();
    const int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(),
                                        static_cast<int>(path.size()), nullptr, 0);
    if (n <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), static_cast<int>(path.size()),
                          wide.data(), n);
    return wide;
}

// Whether the last part of `path` names a device: NUL, CON, PRN, AUX, COM1 to COM9 or LPT1 to
// LPT9, in any case, also with an extension or trailing spaces ("nul.txt", "COM1 ").
bool NamesADevice(const std::string& path) {
    std::string name = path.substr(NameStart(path));
    name = name.substr(0, name.find_first_of(".:"));
    while (!name.empty() && name.back() == ' ') name.pop_back();
    std::ranges::transform(name, name.begin(), [](unsigned char c) { return std::toupper(c); });
    if (name == "NUL" || name == "CON" || name == "PRN" || name == "AUX" || name == "CONIN$" ||
        name == "CONOUT$")
        return true;
    return name.size() == 4 && (name.starts_with("COM") || name.starts_with("LPT")) &&
           name[3] >= '1' && name[3] <= '9';
}

// Opens `path` for `access`, folders included, without keeping other readers and writers out.
HANDLE Open(const std::wstring& path, DWORD access) {
    return ::CreateFileW(path.c_str(), access,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// Why the open file is neither read nor replaced, or nothing when it is a regular file.
std::string Refusal(HANDLE file, BY_HANDLE_FILE_INFORMATION& info) {
    if (::GetFileType(file) != FILE_TYPE_DISK) return kNotARegularFile;
    if (!::GetFileInformationByHandle(file, &info)) return LastReason();
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::strerror(EISDIR);
    return {};
}

// Removes the temporary files of writers to `target` that no longer run: what a run killed
// before its rename left. Another writer's file stays as long as its process runs.
void RemoveLeftovers(const std::string& target) {
    const std::string folder = target.substr(0, NameStart(target));
    const std::string prefix = ".velmora-" + TargetMark(target) + "-";
    const std::optional<std::wstring> pattern = Wide(folder + prefix + "*.tmp");
    if (!pattern) return;
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileW(pattern->c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = Narrow(found.cFileName);
        if (!name.starts_with(prefix)) continue;
        unsigned long writer = 0;
        const char* digits = name.data() + prefix.size();
        const auto [end, ec] = std::from_chars(digits, name.data() + name.size(), writer);
        if (ec != std::errc() || *end != '-' || writer == 0) continue;
        const HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(writer));
        const bool ended = process ? ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0
                                   : ::GetLastError() == ERROR_INVALID_PARAMETER;
        if (process) ::CloseHandle(process);
        if (ended)
            if (const std::optional<std::wstring> leftover = Wide(folder + name))
                ::DeleteFileW(leftover->c_str());
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

// Writes the complete content to a fresh temporary file beside `target` and flushes it to disk;
// the reason it failed, or nothing.
std::string WriteTemporary(const std::string& target, const Producer& produce,
                           TemporaryName& temp) {
    HANDLE created = INVALID_HANDLE_VALUE;
    for (int tries = 0; created == INVALID_HANDLE_VALUE; ++tries) {
        std::string path = TemporaryPathFor(target);
        const std::optional<std::wstring> wide = Wide(path);
        if (!wide) return std::strerror(EILSEQ);
        created = ::CreateFileW(wide->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
        if (created != INVALID_HANDLE_VALUE)
            temp.Set(std::move(path));
        else if (::GetLastError() != ERROR_FILE_EXISTS || tries == kNameTries)
            return LastReason();
    }
    Handle file(created);
    DWORD failure = ERROR_SUCCESS;
    produce([&](std::string_view piece) {
        while (failure == ERROR_SUCCESS && !piece.empty()) {
            const auto chunk = static_cast<DWORD>(std::min<std::size_t>(piece.size(), 1u << 30));
            DWORD written = 0;
            if (!::WriteFile(file.get(), piece.data(), chunk, &written, nullptr))
                failure = ::GetLastError();
            piece.remove_prefix(written);
        }
    });
    if (failure != ERROR_SUCCESS) return Reason(failure);
    if (!::FlushFileBuffers(file.get()) || !file.Close()) return LastReason();
    return {};
}

// Puts the temporary file in the target's place. Another writer, or a virus scanner, may hold
// the target open for a moment: the move is tried again for a short while before it fails.
// (ReplaceFileW would keep more of the old file, but leaves files of its own behind when two
// writers replace one target at once.)
DWORD Replace(const std::wstring& target, const std::wstring& temp) {
    DWORD error = ERROR_SUCCESS;
    for (int tries = 0; tries < 50; ++tries) {
        if (::MoveFileExW(temp.c_str(), target.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return ERROR_SUCCESS;
        error = ::GetLastError();
        if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION &&
            error != ERROR_LOCK_VIOLATION)
            return error;
        ::Sleep(static_cast<DWORD>(1 + tries / 10));
    }
    return error;
}

} // namespace

long CurrentProcessId() {
    return static_cast<long>(::GetCurrentProcessId());
}

FileRead ReadFileBytes(const std::string& path, const FileLimit& limit) {
    if (NamesADevice(path)) return {{}, kNotARegularFile};
    const std::optional<std::wstring> wide = Wide(path);
    if (!wide) return {{}, std::strerror(EILSEQ)};
    Handle file(Open(*wide, GENERIC_READ));
    if (!file.ok()) return {{}, LastReason()};
    BY_HANDLE_FILE_INFORMATION info{};
    if (std::string refusal = Refusal(file.get(), info); !refusal.empty())
        return {{}, std::move(refusal)};
    const std::uint64_t size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
    if (size > limit.bytes) return {{}, limit.tooLarge};
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(size));
    char buffer[65536];
    for (;;) {
        DWORD n = 0;
        if (!::ReadFile(file.get(), buffer, sizeof buffer, &n, nullptr)) return {{}, LastReason()};
        if (n == 0) break;
        // The file may grow while it is read.
        if (bytes.size() + n > limit.bytes) return {{}, limit.tooLarge};
        bytes.append(buffer, n);
    }
    return {std::move(bytes), {}};
}

FileWrite WriteFileAtomically(const std::string& path, const Producer& produce) {
    if (NamesADevice(path)) return {kNotARegularFile};
    const std::optional<std::wstring> wide = Wide(path);
    if (!wide) return {std::strerror(EILSEQ)};
    std::string target = path;
    // What the new file keeps of the old one's attributes.
    DWORD kept = 0;
    if (Handle existing(Open(*wide, 0)); existing.ok()) {
        BY_HANDLE_FILE_INFORMATION info{};
        if (std::string refusal = Refusal(existing.get(), info); !refusal.empty())
            return {std::move(refusal)};
        if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) return {std::strerror(EACCES)};
        kept = info.dwFileAttributes &
               (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
        // A symbolic link is kept, and the file it leads to replaced.
        const DWORD linkAttributes = ::GetFileAttributesW(wide->c_str());
        if (linkAttributes != INVALID_FILE_ATTRIBUTES &&
            (linkAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            std::wstring final(32768, L'\0');
            const DWORD n = ::GetFinalPathNameByHandleW(existing.get(), final.data(),
                                                        static_cast<DWORD>(final.size()), 0);
            if (n == 0 || n >= final.size()) return {LastReason()};
            final.resize(n);
            target = Narrow(final);
        }
    } else if (const DWORD error = ::GetLastError(); error != ERROR_FILE_NOT_FOUND) {
        return {Reason(error)};
    }

    RemoveLeftovers(target);
    TemporaryName temp;
    if (std::string reason = WriteTemporary(target, produce, temp); !reason.empty())
        return {std::move(reason)};
    const std::wstring tempWide = *Wide(temp.get()), targetWide = *Wide(target);
    if (kept != 0 && !::SetFileAttributesW(tempWide.c_str(), kept)) return {LastReason()};
    if (const DWORD error = Replace(targetWide, tempWide); error != ERROR_SUCCESS) {
        // A folder made in the target's place meanwhile is refused as a folder is at the start.
        const DWORD attributes = ::GetFileAttributesW(targetWide.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return {std::strerror(EISDIR)};
        return {Reason(error)};
    }
    temp.Keep();
    return {};
}

bool SameFile(const std::string& a, const std::string& b) {
    const std::optional<std::wstring> first = Wide(a), second = Wide(b);
    if (!first || !second) return false;
    Handle one(Open(*first, 0)), other(Open(*second, 0));
    BY_HANDLE_FILE_INFORMATION x{}, y{};
    return one.ok() && other.ok() && ::GetFileInformationByHandle(one.get(), &x) &&
           ::GetFileInformationByHandle(other.get(), &y) &&
           x.dwVolumeSerialNumber == y.dwVolumeSerialNumber &&
           x.nFileIndexHigh == y.nFileIndexHigh && x.nFileIndexLow == y.nFileIndexLow;
}

void RemoveFile(const std::string& path) {
    if (const std::optional<std::wstring> wide = Wide(path)) ::DeleteFileW(wide->c_str());
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!wide) return {argv + std::min(argc, 1), argv + argc};
    std::vector<std::string> arguments;
    for (int k = 1; k < count; ++k) arguments.push_back(Narrow(wide[k]));
    ::LocalFree(wide);
    return arguments;
}

void UseBinaryStandardOutput() {
    std::fflush(stdout);
    ::_setmode(::_fileno(stdout), _O_BINARY);
}

} // namespace velmora::cli
