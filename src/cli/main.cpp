#include "Cli.h"

#include "FileIo.h"

#include <cstdio>
#include <iostream>
#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

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
        return velmora::cli::Run(velmora::cli::ProgramArguments(argc, argv), std::cout, std::cerr);
    } catch (...) {
        // Run reports its own failures; only copying the arguments is left, and that fails
        // only for want of memory.
        std::fputs("velmora-cli: out of memory\n", stderr);
        return velmora::cli::kFileError;
    }
}
