#include "Cli.h"

#include <cstdio>
#include <cwchar>
#include <iostream>
#if defined(_WIN32)
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>
#endif

namespace {

// The arguments as UTF-8, as the program reads and writes names everywhere. Windows hands a
// program its arguments in the machine's code page, which cannot hold every name a user gives,
// and keeps them whole only in its wide command line.
std::vector<std::string> Arguments(int argc, char** argv) {
#if defined(_WIN32)
    int count = 0;
    if (wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
        std::vector<std::string> arguments;
        for (int k = 1; k < count; ++k) {
            const int length = static_cast<int>(std::wcslen(wide[k]));
            const int n =
                ::WideCharToMultiByte(CP_UTF8, 0, wide[k], length, nullptr, 0, nullptr, nullptr);
            std::string argument(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
            ::WideCharToMultiByte(CP_UTF8, 0, wide[k], length, argument.data(), n, nullptr,
                                  nullptr);
            arguments.push_back(std::move(argument));
        }
        ::LocalFree(wide);
        return arguments;
    }
#endif
    return {argv + 1, argv + argc};
}

#if defined(_WIN32)
// Messages name files in UTF-8, which a console shows as such only in its UTF-8 code page; the
// console the user typed in gets its own code page back at the end.
class Utf8Console {
public:
    Utf8Console() : previous_(::GetConsoleOutputCP()) {
        if (previous_ != 0) ::SetConsoleOutputCP(CP_UTF8);
    }
    Utf8Console(const Utf8Console&) = delete;
    Utf8Console& operator=(const Utf8Console&) = delete;
    ~Utf8Console() {
        if (previous_ != 0) ::SetConsoleOutputCP(previous_);
    }

private:
    UINT previous_;
};
#endif

} // namespace

int main(int argc, char** argv) {
#if defined(_WIN32)
    const Utf8Console console;
#endif
    try {
        return velmora::cli::Run(Arguments(argc, argv), std::cout, std::cerr);
    } catch (...) {
        // Run reports its own failures; only copying the arguments is left, and that fails
        // only for want of memory.
        std::fputs("velmora-cli: out of memory\n", stderr);
        return velmora::cli::kFileError;
    }
}
