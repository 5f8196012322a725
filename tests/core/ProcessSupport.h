#pragma once

// What the tests of files shared by several processes need: velmora-cli started as a process of
// its own, and an environment variable set for a while.

#include "FileIoNames.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#if defined(_WIN32)
#include <windows.h>
#else
#include <spawn.h>
#include <sys/wait.h>
#endif

namespace velmora::test {

// velmora-cli run as a process of its own, started at once.
class CliProcess {
public:
    explicit CliProcess(const std::vector<std::string>& args) {
#if defined(_WIN32)
        std::wstring line = L"\"" + std::filesystem::path(VELMORA_CLI).wstring() + L"\"";
        for (const std::string& arg : args)
            line += L" \"" +
                    std::filesystem::path(std::u8string(arg.begin(), arg.end())).wstring() + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        EXPECT_TRUE(::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                     nullptr, &startup, &process));
        ::CloseHandle(process.hThread);
        handle_ = process.hProcess;
        id_ = static_cast<long>(process.dwProcessId);
#else
        std::vector<char*> argv{const_cast<char*>(VELMORA_CLI)};
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        pid_t child = -1;
        EXPECT_EQ(::posix_spawn(&child, VELMORA_CLI, nullptr, nullptr, argv.data(), environ), 0);
        id_ = child;
#endif
    }
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;
    // Its exit status.
    int Wait() {
#if defined(_WIN32)
        DWORD status = 1;
        ::WaitForSingleObject(handle_, INFINITE);
        ::GetExitCodeProcess(handle_, &status);
        ::CloseHandle(handle_);
        return static_cast<int>(status);
#else
        int status = -1;
        ::waitpid(static_cast<pid_t>(id_), &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    }
    long Id() const {
        return id_;
    }

private:
    long id_ = -1;
#if defined(_WIN32)
    HANDLE handle_ = nullptr;
#endif
};

// The id of a process that has ended, as a run killed before its rename leaves it.
inline long EndedProcessId() {
    static int count = 0;
    const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                       ("velmora-ended-" + std::to_string(cli::CurrentProcessId()) +
                                        "-" + std::to_string(++count) + ".vlm");
    CliProcess process({"new", file.string()});
    EXPECT_EQ(process.Wait(), 0);
    std::filesystem::remove(file);
    return process.Id();
}

// Sets an environment variable for as long as it lives.
class Environment {
public:
    Environment(const char* name, const char* value) : name_(name) {
#if defined(_WIN32)
        ::_putenv_s(name, value);
#else
        ::setenv(name, value, 1);
#endif
    }
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;
    ~Environment() {
#if defined(_WIN32)
        ::_putenv_s(name_, "");
#else
        ::unsetenv(name_);
#endif
    }

private:
    const char* name_;
};

} // namespace velmora::test
